#include "FakeNativeBackend.h"

#include "shell/chrome/FramelessHelper.h"
#include "shell/chrome/NativeWindowHelper.h"

#include <QAbstractEventDispatcher>
#include <QWindow>
#include <QtTest>

using namespace NativeWin;

namespace {

// A top-level widget whose native window a test can throw away and make again.
class RecreatableWindow : public QWidget
{
public:
    using QWidget::create;
    using QWidget::destroy;
};

QWidget *child(QWidget *parent, const QRect &geometry, const QString &name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// A 400 x 300 frameless window, title band 50, resize margins 3:
//   plain (10,10 60x150)      a plain child reaching below the band
//   panel (100,0 200x100)     excluded, holding
//     label (0,0 50x40), button (60,0 50x40, included), frame (120,0 80x80) with inner (0,0 40x40)
//   both (320,0 40x40)        included and excluded
struct TitleBand
{
    FakeNativeBackend backend;
    RecreatableWindow window;
    FramelessHelper *helper;

    TitleBand()
    {
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 400, 300);
        child(&window, QRect(10, 10, 60, 150), "plain");
        QWidget *panel = child(&window, QRect(100, 0, 200, 100), "panel");
        child(panel, QRect(0, 0, 50, 40), "label");
        QWidget *button = child(panel, QRect(60, 0, 50, 40), "button");
        QWidget *frame = child(panel, QRect(120, 0, 80, 80), "frame");
        child(frame, QRect(0, 0, 40, 40), "inner");
        QWidget *both = child(&window, QRect(320, 0, 40, 40), "both");

        helper = new FramelessHelper(&window);
        helper->setResizeMargins(3, 3, 3, 3);
        helper->setTitleBarHeight(50);
        helper->addExcludedWidget(panel);
        helper->addIncludedWidget(button);
        helper->addIncludedWidget(both);
        helper->addExcludedWidget(both);
        window.show();
    }

    Handle handle() { return Handle(window.windowHandle()->winId()); }

    long send(quint32 message, quint64 wParam = 0, qint64 lParam = 0)
    {
        MSG msg = {handle(), message, wParam, lParam};
        long result = -1;
        if (!QAbstractEventDispatcher::instance()->filterNativeEvent(messageEventType(), &msg, &result))
            return 0;
        return result;
    }

    long hitAt(const QPoint &local)
    {
        backend.cursor = window.windowHandle()->geometry().topLeft() + local;
        return send(WM_NCHITTEST);
    }

    void changeDpi(int dpi)
    {
        RECT rect = toRect(window.geometry());
        send(WM_DPICHANGED, (quint64(dpi) << 16) | quint64(dpi), lParamOf(&rect));
    }
};

} // namespace

class TestFramelessHelper : public QObject
{
    Q_OBJECT
private slots:
    void titleBarHeightSignal();
    void titleBand_data();
    void titleBand();
    void walkStopsAt32Widgets_data();
    void walkStopsAt32Widgets();
    void maximizeButtonAndSignal();
    void newNativeHelperForRecreatedWindow();
    void helperDeletedBeforeItsWindow();
};

void TestFramelessHelper::titleBarHeightSignal()
{
    QWidget window;
    FramelessHelper helper(&window);
    QSignalSpy changed(&helper, &FramelessHelper::titleBarHeightChanged);
    helper.setTitleBarHeight(50);
    helper.setTitleBarHeight(50);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toInt(), 50);
    QCOMPARE(helper.titleBarHeight(), 50);
}

void TestFramelessHelper::titleBand_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QPoint>("local");
    QTest::addColumn<bool>("caption");

    QTest::newRow("bare window") << "" << QPoint(380, 45) << true;
    QTest::newRow("plain child") << "" << QPoint(30, 30) << true;
    QTest::newRow("plain child below the band") << "" << QPoint(30, 50) << false;
    QTest::newRow("label in excluded panel") << "" << QPoint(110, 20) << false;
    QTest::newRow("included button in excluded panel") << "" << QPoint(170, 20) << true;
    QTest::newRow("frame in excluded panel") << "" << QPoint(290, 45) << false;
    QTest::newRow("label deeper in excluded panel") << "" << QPoint(230, 20) << false;
    QTest::newRow("included and excluded") << "" << QPoint(340, 20) << true;
    QTest::newRow("band 0: bare window") << "band 0" << QPoint(380, 45) << false;
    QTest::newRow("band 0: plain child") << "band 0" << QPoint(30, 30) << false;
    QTest::newRow("negative band: bare window") << "band -1" << QPoint(380, 250) << true;
    QTest::newRow("negative band: plain child") << "band -1" << QPoint(30, 120) << true;
    QTest::newRow("factor 2: y 99") << "factor 2" << QPoint(30, 99) << true;
    QTest::newRow("factor 2: y 100") << "factor 2" << QPoint(30, 100) << false;
    QTest::newRow("window excluded: bare window") << "window excluded" << QPoint(380, 45) << true;
    QTest::newRow("window excluded: direct child") << "window excluded" << QPoint(30, 30) << false;
}

void TestFramelessHelper::titleBand()
{
    QFETCH(QString, setup);
    QFETCH(QPoint, local);
    QFETCH(bool, caption);

    TitleBand band;
    if (setup == "band 0")
        band.helper->setTitleBarHeight(0);
    if (setup == "band -1")
        band.helper->setTitleBarHeight(-1);
    if (setup == "window excluded")
        band.helper->addExcludedWidget(&band.window);
    if (setup == "factor 2") {
        QSignalSpy scaled(band.helper, &FramelessHelper::scaleFactorChanged);
        band.changeDpi(192);
        QCOMPARE(scaled.count(), 1);
        QCOMPARE(band.helper->scaleFactor(), 2.0);
    }
    QCOMPARE(band.hitAt(local), caption ? HTCAPTION : HTCLIENT);
}

void TestFramelessHelper::walkStopsAt32Widgets_data()
{
    QTest::addColumn<int>("excludedDepth");
    QTest::addColumn<bool>("caption");
    QTest::newRow("direct child") << 1 << false;
    QTest::newRow("31st descendant") << 31 << false;
    QTest::newRow("32nd descendant is not reached") << 32 << true;
    QTest::newRow("33rd descendant") << 33 << true;
}

// Forty widgets nested under one point: only the first 31 descendants take part.
void TestFramelessHelper::walkStopsAt32Widgets()
{
    QFETCH(int, excludedDepth);
    QFETCH(bool, caption);

    TitleBand band;
    QWidget *parent = &band.window;
    QWidget *excluded = nullptr;
    for (int depth = 1; depth <= 40; ++depth) {
        parent = child(parent, depth == 1 ? QRect(200, 150, 40, 30) : QRect(0, 0, 40, 30), QString());
        parent->show();
        if (depth == excludedDepth)
            excluded = parent;
    }
    band.helper->setTitleBarHeight(-1);
    band.helper->addExcludedWidget(excluded);
    QCOMPARE(band.hitAt(QPoint(210, 160)), caption ? HTCAPTION : HTCLIENT);
}

void TestFramelessHelper::maximizeButtonAndSignal()
{
    TitleBand band;
    QSignalSpy maximized(band.helper, &FramelessHelper::maximizedChanged);

    band.helper->triggerMaximizeButtonAction();
    QVERIFY(band.window.isMaximized());
    QCOMPARE(maximized.count(), 1);
    QCOMPARE(maximized.last().first().toBool(), true);
    QVERIFY(band.helper->isMaximized());

    band.helper->triggerMaximizeButtonAction();
    QVERIFY(!band.window.isMaximized());
    QCOMPARE(maximized.count(), 2);
    QCOMPARE(maximized.last().first().toBool(), false);

    // A minimized window that was maximized before is restored.
    band.window.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    band.helper->triggerMaximizeButtonAction();
    QVERIFY(!(band.window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
    QCOMPARE(maximized.count(), 4);
}

// The native helper lives with the native window; a new native window gets a new helper.
void TestFramelessHelper::newNativeHelperForRecreatedWindow()
{
    TitleBand band;
    const Handle first = band.handle();
    QCOMPARE(band.hitAt(QPoint(380, 45)), HTCAPTION);

    band.window.destroy();
    band.window.create();
    QVERIFY(band.handle() != first);
    QCOMPARE(band.hitAt(QPoint(380, 45)), HTCAPTION);
    QCOMPARE(band.hitAt(QPoint(1, 150)), HTLEFT);

    QSignalSpy scaled(band.helper, &FramelessHelper::scaleFactorChanged);
    band.changeDpi(192);
    QCOMPARE(scaled.count(), 1);
    QCOMPARE(band.helper->scaleFactor(), 2.0);
}

// Messages to a window whose frameless helper is gone reach nothing that went with it.
void TestFramelessHelper::helperDeletedBeforeItsWindow()
{
    TitleBand band;
    QCOMPARE(band.hitAt(QPoint(380, 45)), HTCAPTION);
    delete band.helper;
    QVERIFY(band.window.windowHandle()->findChildren<NativeWindowHelper *>().isEmpty());
    QCOMPARE(band.hitAt(QPoint(380, 45)), 0L);
}

QTEST_MAIN(TestFramelessHelper)
#include "tst_framelesshelper.moc"
