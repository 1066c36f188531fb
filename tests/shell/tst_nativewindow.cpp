#include "FakeNativeBackend.h"

#include "shell/chrome/NativeWindowHelper.h"
#include "shell/chrome/NativeWindowTester.h"

#include <QAbstractEventDispatcher>
#include <QScreen>
#include <QtTest>


using namespace NativeWin;

Q_DECLARE_METATYPE(QMargins)

namespace {

class ScriptedTester : public NativeWindowTester
{
public:
    QMargins resize = QMargins(3, 3, 3, 3);
    QMargins maximized;
    int bandHeight = 50; // window-local points above it are caption area

    QMargins resizeMargins() const override { return resize; }
    QMargins maximizedMargins() const override { return maximized; }
    bool hitTest(const QPoint &pos) const override { return pos.y() < bandHeight; }
};

struct Answer
{
    bool handled;
    long result;
};

Answer sendTo(Handle hwnd, quint32 message, quint64 wParam = 0, qint64 lParam = 0)
{
    MSG msg = {hwnd, message, wParam, lParam};
    long result = -1;
    const bool handled = QAbstractEventDispatcher::instance()->filterNativeEvent(messageEventType(), &msg, &result);
    return {handled, result};
}

// A created (not shown) window at (100, 100) with the fake window services; serve() gives it its helper.
struct Served
{
    FakeNativeBackend backend;
    ScriptedTester tester;
    QWindow window;
    NativeWindowHelper *helper = nullptr;

    explicit Served(const QSize &size = QSize(1000, 700), Qt::WindowFlags flags = Qt::FramelessWindowHint)
    {
        window.setFlags(Qt::Window | flags);
        window.setGeometry(QRect(QPoint(100, 100), size));
        window.create();
    }

    NativeWindowHelper *serve()
    {
        helper = new NativeWindowHelper(&window, &tester);
        return helper;
    }

    void fixWidth(int width)
    {
        window.setMinimumWidth(width);
        window.setMaximumWidth(width);
    }

    Handle handle() { return Handle(window.winId()); }

    Answer send(quint32 message, quint64 wParam = 0, qint64 lParam = 0)
    {
        return sendTo(handle(), message, wParam, lParam);
    }

    long hitAt(const QPoint &local)
    {
        backend.cursor = window.geometry().topLeft() + local;
        return send(WM_NCHITTEST).result;
    }
};

} // namespace

class TestNativeWindow : public QObject
{
    Q_OBJECT
private slots:
    void hitTest_data();
    void hitTest();
    void calcSize_data();
    void calcSize();
    void minMaxInfo();
    void dpiRule_data();
    void dpiRule();
    void captionDoubleClick_data();
    void captionDoubleClick();
    void activation_data();
    void activation();
    void styleWord_data();
    void styleWord();
    void styleLeftAloneOnOldVersion();
    void framedWindowIsLeftAlone();
    void routingFollowsRecreatedHandle();
    void foreignEventTypeIsNotRead();
};

void TestNativeWindow::hitTest_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<bool>("fixedWidth");
    QTest::addColumn<QPoint>("local");
    QTest::addColumn<long>("expected");

    const QSize normal(1000, 700);
    const QMargins three(3, 3, 3, 3);
    const QMargins none;
    QTest::newRow("left zone ends at 3") << normal << three << false << QPoint(3, 300) << HTLEFT;
    QTest::newRow("x 4 is client") << normal << three << false << QPoint(4, 300) << HTCLIENT;
    QTest::newRow("right zone starts at 997") << normal << three << false << QPoint(997, 300) << HTRIGHT;
    QTest::newRow("x 996 is client") << normal << three << false << QPoint(996, 300) << HTCLIENT;
    QTest::newRow("top zone ends at 3") << normal << three << false << QPoint(500, 3) << HTTOP;
    QTest::newRow("y 4 is caption") << normal << three << false << QPoint(500, 4) << HTCAPTION;
    QTest::newRow("bottom zone starts at 697") << normal << three << false << QPoint(500, 697) << HTBOTTOM;
    QTest::newRow("y 696 is client") << normal << three << false << QPoint(500, 696) << HTCLIENT;
    QTest::newRow("top left") << normal << three << false << QPoint(2, 1) << HTTOPLEFT;
    QTest::newRow("top right") << normal << three << false << QPoint(998, 0) << HTTOPRIGHT;
    QTest::newRow("bottom left") << normal << three << false << QPoint(0, 699) << HTBOTTOMLEFT;
    QTest::newRow("bottom right") << normal << three << false << QPoint(999, 698) << HTBOTTOMRIGHT;
    QTest::newRow("margins 0: left frame") << normal << none << false << QPoint(8, 300) << HTLEFT;
    QTest::newRow("margins 0: past left frame") << normal << none << false << QPoint(9, 300) << HTCLIENT;
    QTest::newRow("margins 0: right frame") << normal << none << false << QPoint(992, 300) << HTRIGHT;
    QTest::newRow("margins 0: top frame") << normal << none << false << QPoint(500, 8) << HTTOP;
    QTest::newRow("margins 0: bottom frame") << normal << none << false << QPoint(500, 692) << HTBOTTOM;
    QTest::newRow("fixed width: left") << normal << three << true << QPoint(3, 300) << HTCLIENT;
    QTest::newRow("fixed width: right") << normal << three << true << QPoint(997, 300) << HTCLIENT;
    QTest::newRow("fixed width: top") << normal << three << true << QPoint(500, 3) << HTTOP;
    QTest::newRow("fixed width: bottom") << normal << three << true << QPoint(500, 697) << HTBOTTOM;
    QTest::newRow("fixed width: corner") << normal << three << true << QPoint(0, 0) << HTCLIENT;
    QTest::newRow("too low for both zones") << QSize(1000, 5) << three << false << QPoint(500, 2) << HTCAPTION;
    QTest::newRow("too low, at the left") << QSize(1000, 5) << three << false << QPoint(1, 2) << HTCAPTION;
}

void TestNativeWindow::hitTest()
{
    QFETCH(QSize, size);
    QFETCH(QMargins, margins);
    QFETCH(bool, fixedWidth);
    QFETCH(QPoint, local);
    QFETCH(long, expected);

    Served served(size);
    served.tester.resize = margins;
    if (fixedWidth)
        served.fixWidth(size.width());
    served.serve();
    served.backend.cursor = served.window.geometry().topLeft() + local;
    const Answer answer = served.send(WM_NCHITTEST);
    QVERIFY(answer.handled);
    QCOMPARE(answer.result, expected);
}

void TestNativeWindow::calcSize_data()
{
    QTest::addColumn<quint32>("showCmd");
    QTest::addColumn<bool>("placementFails");
    QTest::addColumn<bool>("monitorFails");
    QTest::addColumn<QMargins>("maximizedMargins");
    QTest::addColumn<quint64>("wParam");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<QRect>("expected"); // left, top, right, bottom as a QRect's four values

    const QRect proposed(100, 100, 1100, 800);
    QTest::newRow("normal window keeps the proposal")
        << SW_SHOWNORMAL << false << false << QMargins() << quint64(1) << true << proposed;
    QTest::newRow("maximized fills the work area")
        << SW_SHOWMAXIMIZED << false << false << QMargins() << quint64(1) << true << QRect(0, 0, 1920, 1040);
    QTest::newRow("maximized margins reach beyond it")
        << SW_SHOWMAXIMIZED << false << false << QMargins(8, 7, 6, 5) << quint64(1) << true
        << QRect(-8, -7, 1926, 1045);
    QTest::newRow("placement failure counts as normal")
        << SW_SHOWMAXIMIZED << true << false << QMargins() << quint64(1) << true << proposed;
    QTest::newRow("monitor failure: the screen's area")
        << SW_SHOWMAXIMIZED << false << true << QMargins() << quint64(1) << true << QRect(0, 0, 800, 600);
    QTest::newRow("wParam 0 is not handled")
        << SW_SHOWMAXIMIZED << false << false << QMargins() << quint64(0) << false << proposed;
}

void TestNativeWindow::calcSize()
{
    QFETCH(quint32, showCmd);
    QFETCH(bool, placementFails);
    QFETCH(bool, monitorFails);
    QFETCH(QMargins, maximizedMargins);
    QFETCH(quint64, wParam);
    QFETCH(bool, handled);
    QFETCH(QRect, expected);

    Served served;
    served.backend.showCmd = showCmd;
    served.backend.placementFails = placementFails;
    served.backend.monitorFails = monitorFails;
    served.tester.maximized = maximizedMargins;
    served.serve();
    QCOMPARE(served.window.screen()->availableGeometry(), QRect(0, 0, 800, 600));

    NCCALCSIZE_PARAMS params = {};
    params.rgrc[0] = {100, 100, 1100, 800};
    const Answer answer = served.send(WM_NCCALCSIZE, wParam, lParamOf(&params));
    QCOMPARE(answer.handled, handled);
    if (handled)
        QCOMPARE(answer.result, 0L);
    const RECT &client = params.rgrc[0];
    QCOMPARE(QRect(client.left, client.top, client.right, client.bottom), expected);
}

void TestNativeWindow::minMaxInfo()
{
    Served served;
    served.backend.workArea = QRect(10, 20, 1900, 1000);
    served.tester.maximized = QMargins(8, 7, 6, 5);
    served.window.setMinimumSize(QSize(400, 300));
    served.window.setMaximumSize(QSize(1600, 1200));
    served.serve();

    MINMAXINFO info = {};
    const Answer answer = served.send(WM_GETMINMAXINFO, 0, lParamOf(&info));
    QVERIFY(answer.handled);
    QCOMPARE(answer.result, 0L);
    QCOMPARE(QPoint(info.ptMaxPosition.x, info.ptMaxPosition.y), QPoint(-8, -7));
    QCOMPARE(QSize(info.ptMaxSize.x, info.ptMaxSize.y), QSize(1900 + 14, 1000 + 12));
    QCOMPARE(QSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y), QSize(400, 300));
    QCOMPARE(QSize(info.ptMaxTrackSize.x, info.ptMaxTrackSize.y), QSize(1600, 1200));
}

void TestNativeWindow::dpiRule_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<double>("factor");
    QTest::newRow("96") << 96 << 1.0;
    QTest::newRow("120") << 120 << 1.0;
    QTest::newRow("143") << 143 << 1.0;
    QTest::newRow("144") << 144 << 2.0;
    QTest::newRow("192") << 192 << 2.0;
}

// From factor 1: the signal only when the factor changes, the move to the suggested rectangle always.
void TestNativeWindow::dpiRule()
{
    QFETCH(int, dpi);
    QFETCH(double, factor);

    Served served;
    NativeWindowHelper *helper = served.serve();
    QCOMPARE(helper->scaleFactor(), 1.0);
    QSignalSpy changed(helper, &NativeWindowHelper::scaleFactorChanged);
    served.backend.positionCalls.clear();

    RECT suggested = {50, 60, 1250, 960};
    const Answer answer = served.send(WM_DPICHANGED, (quint64(dpi) << 16) | quint64(dpi), lParamOf(&suggested));
    QVERIFY(!answer.handled);
    QCOMPARE(helper->scaleFactor(), factor);
    QCOMPARE(changed.count(), factor == 2.0 ? 1 : 0);
    if (!changed.isEmpty())
        QCOMPARE(changed.first().first().toDouble(), 2.0);
    QCOMPARE(served.backend.positionCalls.size(), 1);
    QCOMPARE(served.backend.positionCalls.first().hwnd, served.handle());
    QCOMPARE(served.backend.positionCalls.first().rect, QRect(50, 60, 1200, 900));
    QCOMPARE(served.backend.positionCalls.first().flags, 0x14u);

    // The resize margins scale with the factor.
    const int zone = int(3 * factor);
    QCOMPARE(served.hitAt(QPoint(zone, 300)), HTLEFT);
    QCOMPARE(served.hitAt(QPoint(zone + 1, 300)), HTCLIENT);
}

void TestNativeWindow::captionDoubleClick_data()
{
    QTest::addColumn<bool>("fixedWidth");
    QTest::addColumn<bool>("swallowed");
    QTest::newRow("resizable: the system maximizes") << false << false;
    QTest::newRow("fixed width: swallowed") << true << true;
}

void TestNativeWindow::captionDoubleClick()
{
    QFETCH(bool, fixedWidth);
    QFETCH(bool, swallowed);

    Served served;
    if (fixedWidth)
        served.fixWidth(1000);
    served.serve();
    const Answer answer = served.send(WM_NCLBUTTONDBLCLK, quint64(HTCAPTION));
    QCOMPARE(answer.handled, swallowed);
    if (swallowed)
        QCOMPARE(answer.result, 0L);
}

void TestNativeWindow::activation_data()
{
    QTest::addColumn<bool>("windows7");
    QTest::addColumn<Result>("queryResult");
    QTest::addColumn<bool>("queryAnswer");
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<bool>("compositionOff");

    QTest::newRow("Windows 10") << false << Result(0) << false << QVariant() << false;
    QTest::newRow("Windows 7, composition on") << true << Result(0) << true << QVariant() << false;
    QTest::newRow("Windows 7, composition off") << true << Result(0) << false << QVariant(1) << true;
    QTest::newRow("query fails, setting 1") << true << Result(-1) << false << QVariant(1) << false;
    QTest::newRow("query fails, setting 0") << true << Result(-1) << true << QVariant(0) << true;
    QTest::newRow("query fails, no setting") << true << Result(-1) << true << QVariant() << true;
    QTest::newRow("query fails, setting not a number") << true << Result(-1) << true << QVariant("on") << true;
}

// With composition off the helper answers the activation itself (result 1).
void TestNativeWindow::activation()
{
    QFETCH(bool, windows7);
    QFETCH(Result, queryResult);
    QFETCH(bool, queryAnswer);
    QFETCH(QVariant, setting);
    QFETCH(bool, compositionOff);

    Served served;
    if (windows7)
        served.backend.playWindows7();
    served.backend.compositionResult = queryResult;
    served.backend.compositionEnabled = queryAnswer;
    served.backend.compositionSetting = setting;
    served.serve();

    const Answer answer = served.send(WM_NCACTIVATE, 1);
    QCOMPARE(answer.handled, compositionOff);
    if (compositionOff)
        QCOMPARE(answer.result, 1L);
}

void TestNativeWindow::styleWord_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<quint32>("expected");
    // The existing word 0x0FFFFFFF keeps every bit outside caption, frame and buttons.
    QTest::newRow("all buttons") << 0 << 0x8FFFFFFFu;
    QTest::newRow("customized: minimize only")
        << int(Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint) << 0x8FF6FFFFu;
    QTest::newRow("customized: menu and maximize")
        << int(Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint) << 0x8FFDFFFFu;
}

void TestNativeWindow::styleWord()
{
    QFETCH(int, flags);
    QFETCH(quint32, expected);

    Served served(QSize(1000, 700), Qt::FramelessWindowHint | Qt::WindowFlags(flags));
    served.backend.styles.insert(served.handle(), 0x0FFFFFFF);
    served.serve();

    QCOMPARE(served.backend.styles.value(served.handle()), expected);
    QCOMPARE(served.backend.positionCalls.size(), 1);
    QCOMPARE(served.backend.positionCalls.first().flags, 0x227u);
    QCOMPARE(served.backend.framesExtended, QList<Handle>{served.handle()});

    // The same handle is styled once.
    served.window.show();
    QCOMPARE(served.backend.styleWrites.size(), 1);
}

void TestNativeWindow::styleLeftAloneOnOldVersion()
{
    Served served;
    served.backend.playWindows7();
    served.backend.styles.insert(served.handle(), 0x16CF0000);
    served.serve();

    QCOMPARE(served.backend.styles.value(served.handle()), 0x16CF0000u);
    QVERIFY(served.backend.styleWrites.isEmpty());
    QVERIFY(served.backend.positionCalls.isEmpty());
    QVERIFY(served.backend.framesExtended.isEmpty());
    QCOMPARE(served.hitAt(QPoint(500, 10)), HTCAPTION); // registered all the same
}

void TestNativeWindow::framedWindowIsLeftAlone()
{
    Served served(QSize(1000, 700), Qt::WindowFlags());
    served.serve();
    QVERIFY(served.backend.styleWrites.isEmpty());
    QVERIFY(!served.send(WM_NCHITTEST).handled);
}

void TestNativeWindow::routingFollowsRecreatedHandle()
{
    Served served;
    NativeWindowHelper *helper = served.serve();
    const Handle first = served.handle();
    QVERIFY(sendTo(first, WM_NCHITTEST).handled);

    served.window.destroy();
    served.window.show();
    const Handle second = served.handle();
    QVERIFY(second != first);
    QVERIFY(sendTo(second, WM_NCHITTEST).handled);
    QVERIFY(!sendTo(first, WM_NCHITTEST).handled);
    QCOMPARE(served.backend.styleWrites, (QList<Handle>{first, second}));

    delete helper;
    QVERIFY(!sendTo(second, WM_NCHITTEST).handled);
}

// Under X11 the filters also see the X server's events, whose records are not ours to read.
void TestNativeWindow::foreignEventTypeIsNotRead()
{
    Served served;
    served.serve();
    long result = 0;
    void *garbage = reinterpret_cast<void *>(quintptr(0x10));
    QVERIFY(!QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", garbage, &result));
    QCOMPARE(result, 0L);
}

QTEST_MAIN(TestNativeWindow)
#include "tst_nativewindow.moc"
