#include "shell/chrome/FramelessHelper.h"

#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

pid_t spawn(const std::vector<const char *> &command)
{
    pid_t pid = 0;
    std::vector<char *> argv;
    for (const char *word : command)
        argv.push_back(const_cast<char *>(word));
    argv.push_back(nullptr);
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : 0;
}

bool windowManagerRunning()
{
    const pid_t pid = spawn({"wmctrl", "-m"});
    int status = 0;
    return pid != 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Openbox on the display for the whole run. It has to be up before the application connects:
// the toolkit reads the window manager's abilities (system move and resize) when it connects.
class WindowManager
{
public:
    bool start()
    {
        if (windowManagerRunning())
            return true;
        pid = spawn({"openbox", "--sm-disable"});
        if (pid == 0)
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!windowManagerRunning()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // polling interval
        }
        return true;
    }

    ~WindowManager()
    {
        if (pid == 0)
            return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }

private:
    pid_t pid = 0;
};

bool xdo(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool pointerTo(const QPoint &point)
{
    return xdo({"mousemove", QString::number(point.x()), QString::number(point.y())});
}

// Moves the pointer off and back onto the point, so that whoever has taken over the drag
// (the window manager, once it has the pointer) sees motion ending there.
bool nudgeTo(const QPoint &point)
{
    return pointerTo(point + QPoint(1, 1)) && pointerTo(point);
}

// Where the X server has the window, also while the window manager drags it (the toolkit
// learns a move only when the drag ends).
QRect serverGeometry(const QWidget &window)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", QString::number(window.winId())});
    if (!xdotool.waitForFinished(10000))
        return QRect();
    QHash<QString, int> values;
    for (const QString &line : QString::fromLatin1(xdotool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        values.insert(line.section('=', 0, 0), line.section('=', 1).toInt());
    return QRect(values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT"));
}

// Counts the window's pointer events before the chrome sees them.
class PointerSpy : public QObject
{
public:
    int presses = 0;
    int dragMoves = 0;
    int releases = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            ++presses;
        else if (event->type() == QEvent::MouseMove && static_cast<QMouseEvent *>(event)->buttons())
            ++dragMoves;
        else if (event->type() == QEvent::MouseButtonRelease)
            ++releases;

        return false;
    }
};

// A frameless 600 x 400 window set up like the main window: resize margins 3, title band 50,
// a close button in the band kept out of the drag area.
struct ChromeWindow
{
    QWidget window;
    QPushButton *close;
    FramelessHelper *helper;
    PointerSpy spy;

    ChromeWindow()
    {
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.setMinimumSize(300, 200);
        window.setGeometry(200, 150, 600, 400);
        close = new QPushButton("r", &window);
        close->setGeometry(550, 0, 50, 50);
        helper = new FramelessHelper(&window);
        helper->setResizeMargins(3, 3, 3, 3);
        helper->setTitleBarHeight(50);
        helper->addExcludedWidget(close);
        window.show();
    }

    bool exposed()
    {
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.windowHandle()->installEventFilter(&spy);
        return true;
    }
};

} // namespace

class TestFramelessWindow : public QObject
{
    Q_OBJECT
private:
    void beginDrag(const QPoint &from, const QPoint &takeover);
    std::unique_ptr<ChromeWindow> chrome;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dragTitleBandMovesWindow();
    void dragRightEdgeWidensWindow();
    void pressOnCloseButtonDoesNotMove();
    void doubleClickMaximizesAndRestores();
};

void TestFramelessWindow::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display with a window manager");
}

void TestFramelessWindow::init()
{
    chrome = std::make_unique<ChromeWindow>();
    QVERIFY(chrome->exposed());
}

// A failed test leaves no button held down for the next one.
void TestFramelessWindow::cleanup()
{
    xdo({"mouseup", "1"});
    chrome.reset();
}

// Presses the button at the point and makes the first movement with it held, from which on
// the window manager drags.
void TestFramelessWindow::beginDrag(const QPoint &from, const QPoint &takeover)
{
    QVERIFY(pointerTo(from));
    QTRY_COMPARE(QCursor::pos(), from);
    QVERIFY(xdo({"mousedown", "1"}));
    QTRY_COMPARE(chrome->spy.presses, 1);
    QVERIFY(pointerTo(takeover));
    QTRY_VERIFY(chrome->spy.dragMoves > 0);
}

void TestFramelessWindow::dragTitleBandMovesWindow()
{
    const QPoint start = chrome->window.pos();
    const QPoint from = chrome->window.mapToGlobal(QPoint(300, 25));
    const QPoint takeover = from + QPoint(1, 0);
    const QPoint to = takeover + QPoint(120, 60);

    beginDrag(from, takeover);
    QTRY_VERIFY(nudgeTo(to) && serverGeometry(chrome->window).topLeft() == start + (to - takeover));
    QVERIFY(xdo({"mouseup", "1"}));
    QTRY_COMPARE(chrome->window.pos(), start + (to - takeover));
    QCOMPARE(chrome->window.size(), QSize(600, 400));
}

void TestFramelessWindow::dragRightEdgeWidensWindow()
{
    const QPoint start = chrome->window.pos();
    const QPoint from = chrome->window.mapToGlobal(QPoint(598, 200));
    const QPoint takeover = from + QPoint(1, 0);
    const QPoint to = takeover + QPoint(100, 0);

    QVERIFY(pointerTo(from - QPoint(20, 0)));
    QVERIFY(pointerTo(from));
    QTRY_VERIFY(QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::SizeHorCursor);
    beginDrag(from, takeover);
    QTRY_VERIFY(nudgeTo(to) && chrome->window.width() == 700);
    QVERIFY(xdo({"mouseup", "1"}));
    QTRY_COMPARE(chrome->window.size(), QSize(700, 400));
    QCOMPARE(chrome->window.pos(), start);

    QVERIFY(pointerTo(chrome->window.mapToGlobal(QPoint(300, 200))));
    QTRY_VERIFY(!QGuiApplication::overrideCursor());
}

void TestFramelessWindow::pressOnCloseButtonDoesNotMove()
{
    const QPoint start = chrome->window.pos();
    const QPoint button = chrome->close->mapToGlobal(chrome->close->rect().center());

    QVERIFY(pointerTo(button));
    QTRY_COMPARE(QCursor::pos(), button);
    QVERIFY(xdo({"mousedown", "1"}));
    QTRY_VERIFY(chrome->close->isDown());
    QVERIFY(pointerTo(button - QPoint(100, -40)));
    QTRY_VERIFY(chrome->spy.dragMoves > 0);
    QVERIFY(xdo({"mouseup", "1"}));
    QTRY_COMPARE(chrome->spy.releases, 1);
    QCOMPARE(chrome->window.pos(), start);
}

void TestFramelessWindow::doubleClickMaximizesAndRestores()
{
    const QRect normal = chrome->window.geometry();
    const QRect available = chrome->window.screen()->availableGeometry();
    QSignalSpy maximized(chrome->helper, &FramelessHelper::maximizedChanged);

    QVERIFY(pointerTo(chrome->window.mapToGlobal(QPoint(300, 25))));
    QVERIFY(xdo({"click", "--repeat", "2", "--delay", "80", "1"}));
    QTRY_VERIFY(chrome->window.isMaximized() && chrome->window.geometry() == available);
    QCOMPARE(maximized.count(), 1);
    QCOMPARE(maximized.last().first().toBool(), true);

    QVERIFY(pointerTo(chrome->window.mapToGlobal(QPoint(300, 25))));
    QVERIFY(xdo({"click", "--repeat", "2", "--delay", "80", "1"}));
    QTRY_VERIFY(!chrome->window.isMaximized() && chrome->window.geometry() == normal);
    QCOMPARE(maximized.count(), 2);
    QCOMPARE(maximized.last().first().toBool(), false);
}

int main(int argc, char *argv[])
{
    WindowManager windowManager;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // initTestCase skips
    else if (!windowManager.start())
        qFatal("openbox did not start");
    QApplication app(argc, argv);
    TestFramelessWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_framelesswindow.moc"
