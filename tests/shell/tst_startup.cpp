#include "shell/DialogPromptHandler.h"
#include "shell/ProgramLocale.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList styleSheetWarnings;
QtMessageHandler previousHandler = nullptr;

void recordStyleSheetWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(QStringLiteral("stylesheet"), Qt::CaseInsensitive))
        styleSheetWarnings.append(message);
    previousHandler(type, context, message);
}

// Texts of the buttons of the next modal dialog, which is then closed.
void closeNextModal(QStringList *buttonTexts)
{
    QTimer::singleShot(0, [buttonTexts] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            closeNextModal(buttonTexts);
            return;
        }
        for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
            if (button->isVisible())
                buttonTexts->append(button->text());
        }
        dialog->done(QDialog::Rejected);
    });
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void theme_data();
    void theme();
    void resourceStyleSheet_data();
    void resourceStyleSheet();
    void resourceStyleSheetsHaveCrLfLineEnds();
    void programLocale();
    void promptButtons_data();
    void promptButtons();
    void cleanup();

private:
    QTranslator *translator = nullptr;
};

void TestStartup::cleanup()
{
    delete translator;
    translator = nullptr;
    QLocale::setDefault(QLocale::c());
}

// Whatever the system's locale (the tests run in C), the program formats and labels in Chinese.
void TestStartup::programLocale()
{
    translator = installProgramLocale(*qApp);
    QVERIFY(translator);
    QDateEdit date(QDate(2000, 1, 1));
    QCOMPARE(date.text(), QStringLiteral("2000/1/1"));
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("取消"));
}

void TestStartup::promptButtons_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("buttons");

    const QStringList ok{QString::fromUtf8("确定")};
    QTest::newRow("information") << int(PromptRequest::Information) << ok;
    QTest::newRow("warning") << int(PromptRequest::Warning) << ok;
    QTest::newRow("critical") << int(PromptRequest::Critical) << ok;
    QTest::newRow("question") << int(PromptRequest::Question) << QStringList{"是", "否"};
    QTest::newRow("text") << int(PromptRequest::Text) << QStringList{"确定", "取消"};
}

void TestStartup::promptButtons()
{
    QFETCH(int, kind);
    QFETCH(QStringList, buttons);
    translator = installProgramLocale(*qApp);

    QStringList shown;
    closeNextModal(&shown);
    DialogPromptHandler().ask(nullptr, {PromptRequest::Kind(kind), QStringLiteral("提示"), QStringLiteral("?"), {}});
    shown.sort();
    buttons.sort();
    QCOMPARE(shown, buttons);
}

void TestStartup::theme_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QString>("theme");

    QTest::newRow("600 high") << QRect(0, 0, 800, 600) << "default";
    QTest::newRow("1000 high") << QRect(0, 0, 1600, 1000) << "default";
    QTest::newRow("1001 high") << QRect(0, 0, 1600, 1001) << "highdpi";
    QTest::newRow("1080 high") << QRect(0, 0, 1920, 1080) << "highdpi";
    QTest::newRow("1001 high, below another screen") << QRect(0, 1080, 1600, 1001) << "highdpi";
}

void TestStartup::theme()
{
    QFETCH(QRect, screen);
    QFETCH(QString, theme);
    QCOMPARE(themeForScreen(screen), theme);
}

void TestStartup::resourceStyleSheet_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("titlePixelSize");
    QTest::addColumn<bool>("largeMainWindow");

    QTest::newRow("default") << "default" << 24 << false;
    QTest::newRow("highdpi") << "highdpi" << 32 << true;
}

// Builds the style sheet as start-up does and applies it to a few widgets it selects by name.
void TestStartup::resourceStyleSheet()
{
    QFETCH(QString, theme);
    QFETCH(int, titlePixelSize);
    QFETCH(bool, largeMainWindow);

    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    preprocessor.defineVariable(QStringLiteral("$Theme"), theme);
    const QString styleSheet = preprocessor.process(QStringLiteral("style.css"));
    QVERIFY2(preprocessor.messages().isEmpty(), qPrintable(preprocessor.messages().join(QLatin1Char('\n'))));
    QVERIFY(styleSheet.contains(QStringLiteral("QLabel#labTitle")));
    QVERIFY2(!styleSheet.contains(QLatin1Char('$')), qPrintable(styleSheet));

    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    for (auto it = url.globalMatch(styleSheet); it.hasNext();) {
        const QString image = it.next().captured(1);
        QVERIFY2(!QImage(image).isNull(), qPrintable(image));
    }

    styleSheetWarnings.clear();
    previousHandler = qInstallMessageHandler(recordStyleSheetWarning);
    qApp->setStyleSheet(styleSheet);
    const auto restore = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    QMainWindow window;
    window.setObjectName(QStringLiteral("MainWindow"));
    auto *title = new QLabel(QStringLiteral("Velkor采集系统"), &window);
    title->setObjectName(QStringLiteral("labTitle"));
    window.setCentralWidget(title);
    window.show();
    qInstallMessageHandler(previousHandler);

    QVERIFY2(styleSheetWarnings.isEmpty(), qPrintable(styleSheetWarnings.join(QLatin1Char('\n'))));
    QCOMPARE(title->font().pixelSize(), titlePixelSize);
    QCOMPARE(title->font().family(), QStringLiteral("Microsoft YaHei"));
    QCOMPARE(window.minimumSize() == QSize(1366, 952), largeMainWindow);
}

void TestStartup::resourceStyleSheetsHaveCrLfLineEnds()
{
    for (const char *name : {"style.css", "Defs.qsse", "default.qsse", "highdpi.qsse"}) {
        QFile file(QStringLiteral(":/qss/") + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.count('\n') > 0 && bytes.count("\r\n") == bytes.count('\n'), name);
    }
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
