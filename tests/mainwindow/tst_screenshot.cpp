#include "AppFolder.h"
#include "ScriptedPrompt.h"

#include "mainwindow/MainWindow.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

namespace {

// The theme of a window on a screen of this size.
void applyTheme(QSize screen)
{
    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(QRect(QPoint(0, 0), screen)));
    qApp->setStyleSheet(preprocessor.process(QStringLiteral("style.css")));
}

} // namespace

// Renders the main window as the program starts it, styled, at 1200 x 680. The picture is kept
// where AMT_SCREENSHOT_DIR points, for a look by eye.
class TestScreenshot : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void chineseTextHasGlyphs();
    void mainWindowAt1200x680();
    void settingsButtonsShareOneWidth_data();
    void settingsButtonsShareOneWidth();

private:
    AppFolder folder;
    ScriptedPrompt prompt;
};

void TestScreenshot::initTestCase()
{
    // The theme of screens up to 1000 pixels high, whatever the display the test runs on: the
    // high-DPI theme's controls do not fit into 1200 x 680.
    applyTheme(QSize(1366, 768));
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

void TestScreenshot::settingsButtonsShareOneWidth_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1050x650") << QSize(1050, 650) << QSize(1366, 768);
    QTest::newRow("1200x680") << QSize(1200, 680) << QSize(1366, 768);
    QTest::newRow("1900x1000") << QSize(1900, 1000) << QSize(1920, 1080);
}

// The buttons beside the settings page stand in one column of one width, each text whole.
void TestScreenshot::settingsButtonsShareOneWidth()
{
    QFETCH(QSize, window);
    QFETCH(QSize, screen);
    applyTheme(screen);
    MainWindow mainWindow;
    mainWindow.resize(window);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    mainWindow.findChild<QTabBar *>(QStringLiteral("tabBar"))->setCurrentIndex(1);
    QCoreApplication::processEvents();

    QMap<int, QStringList> byWidth;
    for (QToolButton *button : mainWindow.findChild<QWidget *>(QStringLiteral("btnsSystemConfig"))
                                   ->findChildren<QToolButton *>()) {
        if (!button->isVisible())
            continue;
        byWidth[button->width()] << button->text();
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    }
    QStringList widths;
    for (auto width = byWidth.cbegin(); width != byWidth.cend(); ++width)
        widths << QString("%1 px: %2").arg(width.key()).arg(width.value().join(", "));
    QVERIFY2(byWidth.size() == 1, qPrintable(widths.join("; ")));
    QVERIFY(byWidth.first().size() >= 4);
    applyTheme(QSize(1366, 768));
}

QTEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
