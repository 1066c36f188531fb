#include "common/Global_Variables.h"
#include "mainwindow/MainWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestTitleBand : public QObject
{
    Q_OBJECT
private slots:
    void widgetsTheStyleSheetSelects();
    void closeButtonEndsTheEventLoop();
};

void TestTitleBand::widgetsTheStyleSheetSelects()
{
    appDirPath.clear();
    MainWindow window;
    QCOMPARE(appDirPath, QCoreApplication::applicationDirPath());
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

// The program's exit status is the event loop's result: 0 once the main window has been closed.
void TestTitleBand::closeButtonEndsTheEventLoop()
{
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
}

QTEST_MAIN(TestTitleBand)
#include "tst_titleband.moc"
