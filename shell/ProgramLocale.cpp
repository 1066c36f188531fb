#include "shell/ProgramLocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator *installProgramLocale(QCoreApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::location(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}
