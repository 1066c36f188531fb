#include "AppFolder.h"
#include "ScriptedPrompt.h"

#include "common/Global_Variables.h"
#include "mainwindow/MainWindow.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestTitleBand : public QObject
{
    Q_OBJECT
private slots:
    void widgetsTheStyleSheetSelects();
    void closeButtonEndsTheEventLoop_data();
    void closeButtonEndsTheEventLoop();
};

void TestTitleBand::widgetsTheStyleSheetSelects()
{
    AppFolder folder;
    ScriptedPrompt prompt;
    MainWindow window;
    QCOMPARE(appDirPath, folder.path());
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QVERIFY(window.isWindow());
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("centralWidget"));

    auto *appBar = window.findChild<QWidget *>(QStringLiteral("appBar"));
    QVERIFY(appBar);
    QVERIFY(appBar->findChild<QPushButton *>(QStringLiteral("labIco")));
    auto *title = appBar->findChild<QLabel *>(QStringLiteral("labTitle"));
    QVERIFY(title);
    QCOMPARE(title->text(), QStringLiteral("Velkor采集系统"));

    // The symbol-font codes stay the texts; the buttons show icons, since that font is not here.
    const QList<QPair<const char *, QString>> captions{
        {"btnMenu_Min", "0"}, {"btnMenu_Max", "1"}, {"btnMenu_Close", "r"}};
    for (const auto &caption : captions) {
        auto *button = appBar->findChild<QPushButton *>(caption.first);
        QVERIFY2(button, caption.first);
        QCOMPARE(button->text(), caption.second);
        QVERIFY2(!button->icon().pixmap(16, 16).isNull(), caption.first);
        QCOMPARE(button->font().family(), QStringLiteral("Marlett"));
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
}

void TestTitleBand::closeButtonEndsTheEventLoop_data()
{
    QTest::addColumn<bool>("dialogOpen");
    QTest::newRow("window alone") << false;
    QTest::newRow("a dialog still open") << true;
}

// The program's exit status is the event loop's result: 0 once the main window has been closed
// after the operator confirmed, even while another top-level window is open.
void TestTitleBand::closeButtonEndsTheEventLoop()
{
    QFETCH(bool, dialogOpen);
    AppFolder folder;
    ScriptedPrompt prompt;
    prompt.expectYes();
    QDialog dialog;
    if (dialogOpen)
        dialog.show();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *close = window.findChild<QPushButton *>(QStringLiteral("btnMenu_Close"));
    QVERIFY(close);

    QTimer::singleShot(0, close, &QPushButton::click);
    QTimer giveUp; // ends the loop only if the close did nothing
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QCOMPARE(prompt.count(), 1);
}

QTEST_MAIN(TestTitleBand)
#include "tst_titleband.moc"
