#include "AppFolder.h"
#include "ScriptedPrompt.h"

#include "mainwindow/MainWindow.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QtTest>

// Renders the main window as the program starts it, styled, at 1200 x 680. The picture is kept
// where AMT_SCREENSHOT_DIR points, for a look by eye.
class TestScreenshot : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void chineseTextHasGlyphs();
    void mainWindowAt1200x680();

private:
    AppFolder folder;
    ScriptedPrompt prompt;
};

void TestScreenshot::initTestCase()
{
    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    // The theme of screens up to 1000 pixels high, whatever the display the test runs on: the
    // high-DPI theme's controls do not fit into 1200 x 680.
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(QRect(0, 0, 1366, 768)));
    qApp->setStyleSheet(preprocessor.process(QStringLiteral("style.css")));
}

// Each character drawn on its own: missing glyphs would all draw the same empty box.
void TestScreenshot::chineseTextHasGlyphs()
{
    MainWindow window;
    const QFont font = window.findChild<QLabel *>(QStringLiteral("labTitle"))->font();
    QList<QImage> drawn;
    for (const QChar character : QStringLiteral("采集系统工程")) {
        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(image.rect(), Qt::AlignCenter, QString(character));
        painter.end();
        QVERIFY2(!drawn.contains(image), qPrintable(QString(character)));
        drawn << image;
    }
}

void TestScreenshot::mainWindowAt1200x680()
{
    MainWindow window;
    window.resize(1200, 680);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.size(), QSize(1200, 680));

    QTemporaryDir fallback;
    const QString dir = qEnvironmentVariableIsSet("AMT_SCREENSHOT_DIR") ? qEnvironmentVariable("AMT_SCREENSHOT_DIR")
                                                                        : fallback.path();
    auto *tabBar = window.findChild<QTabBar *>(QStringLiteral("tabBar"));
    const QStringList pages{"projects", "settings", "sampling"};
    for (int page = 0; page < pages.size(); ++page) {
        tabBar->setCurrentIndex(page);
        QCoreApplication::processEvents();
        const QPixmap picture = window.grab();
        QCOMPARE(picture.size(), QSize(1200, 680));
        QVERIFY(picture.save(QStringLiteral("%1/mainwindow-%2.png").arg(dir, pages.at(page))));
    }
}

QTEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
