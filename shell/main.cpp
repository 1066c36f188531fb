#include "mainwindow/MainWindow.h"
#include "shell/ProgramLocale.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QApplication>
#include <QScreen>
#include <QTextCodec>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    installProgramLocale(app);

    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    const QScreen *screen = QGuiApplication::primaryScreen();
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(screen ? screen->geometry() : QRect()));
    const QString styleSheet = preprocessor.process(QStringLiteral("style.css"));
    app.setStyleSheet(styleSheet);

    // Declared last, so destroyed first: before the style sheet, the preprocessor and the application.
    MainWindow window;
    window.show();
    return app.exec();
}
