#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QLabel>
#include <QMainWindow>
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
};

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
