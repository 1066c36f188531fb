#include "shell/chrome/NativeMessagePump.h"

#include "shell/chrome/NativeWin.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

using namespace NativeWin;

namespace {

Qt::Edges edgesOf(long code)
{
    switch (code) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

Qt::CursorShape cursorOf(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

// One axis of a window: where it starts and how long it is.
struct Span
{
    int start;
    int length;
};

// The span after one of its edges (the low one, or the high one) was dragged by delta.
Span dragged(Span span, bool moved, bool lowEdge, int delta, int minimum, int maximum)
{
    if (!moved)
        return span;
    const int length = qBound(minimum, span.length + (lowEdge ? -delta : delta), maximum);
    return {lowEdge ? span.start + span.length - length : span.start, length};
}

qint64 packedPoint(const QPoint &point)
{
    return (qint64(quint16(point.y())) << 16) | quint16(point.x());
}

} // namespace

NativeMessagePump::NativeMessagePump(QWindow *window, QObject *parent)
    : QObject(parent)
    , window(window)
{
    window->installEventFilter(this);
    connect(window, &QWindow::screenChanged, this, [this](QScreen *newScreen) {
        watchScreen(newScreen);
        checkDpi();
    });
    watchScreen(window->screen());
    lastDpi = screenDpi();
}

NativeMessagePump::~NativeMessagePump()
{
    restoreCursor();
}

bool NativeMessagePump::send(quint32 message, quint64 wParam, qint64 lParam, long *result) const
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || !window || !window->handle())
        return false;
    MSG msg = {Handle(window->winId()), message, wParam, lParam};
    return dispatcher->filterNativeEvent(messageEventType(), &msg, result);
}

long NativeMessagePump::hitTest(const QPoint &globalPos) const
{
    long code = HTCLIENT;
    if (!send(WM_NCHITTEST, 0, packedPoint(globalPos), &code))
        return HTCLIENT;
    return code;
}

bool NativeMessagePump::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    long ignored = 0;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mousePress(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return mouseMove(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return mouseRelease();
    case QEvent::MouseButtonDblClick:
        return mouseDoubleClick(static_cast<QMouseEvent *>(event));
    case QEvent::Leave:
        if (drag == Drag::None)
            restoreCursor();
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        send(WM_NCACTIVATE, event->type() == QEvent::FocusIn ? 1 : 0, 0, &ignored);
        return false;
    default:
        return false;
    }
}

// A press outside the client area belongs to the frame: the widgets never see it.
bool NativeMessagePump::mousePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const long code = hitTest(event->globalPos());
    if (code != HTCAPTION && edgesOf(code) == Qt::Edges())
        return false;
    // A maximized window stays where it is.
    if (window->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return true;
    drag = Drag::Pending;
    dragCode = code;
    pressPos = event->globalPos();
    pressGeometry = window->geometry();
    return true;
}

bool NativeMessagePump::mouseMove(QMouseEvent *event)
{
    switch (drag) {
    case Drag::Pending:
        if (event->buttons() & Qt::LeftButton)
            beginDrag(event->globalPos());
        return true;
    case Drag::Manual:
        dragTo(event->globalPos());
        return true;
    case Drag::None:
        if (event->buttons() == Qt::NoButton)
            showCursorFor(hitTest(event->globalPos()));
        return false;
    }
    return false;
}

bool NativeMessagePump::mouseRelease()
{
    if (drag == Drag::None)
        return false;
    drag = Drag::None;
    return true;
}

// The window manager takes over at the first movement with the button held, when the button
// is sure to be down still (a quick click would leave it dragging after the release), and
// moves the window from where the pointer is then. Without a window manager the pump follows
// the pointer itself, from the press.
void NativeMessagePump::beginDrag(const QPoint &globalPos)
{
    const Qt::Edges edges = edgesOf(dragCode);
    const bool bySystem = edges == Qt::Edges() ? window->startSystemMove() : window->startSystemResize(edges);
    drag = bySystem ? Drag::None : Drag::Manual;
    if (!bySystem)
        dragTo(globalPos);
}

void NativeMessagePump::dragTo(const QPoint &globalPos)
{
    const QPoint delta = globalPos - pressPos;
    if (dragCode == HTCAPTION)
        window->setPosition(pressGeometry.topLeft() + delta);
    else
        window->setGeometry(resizedGeometry(delta));
}

// The press geometry with the dragged edges moved, kept within the window's track sizes.
QRect NativeMessagePump::resizedGeometry(const QPoint &delta) const
{
    MINMAXINFO info = {};
    info.ptMinTrackSize = {window->minimumWidth(), window->minimumHeight()};
    info.ptMaxTrackSize = {window->maximumWidth(), window->maximumHeight()};
    long ignored = 0;
    send(WM_GETMINMAXINFO, 0, lParamOf(&info), &ignored);

    const Qt::Edges edges = edgesOf(dragCode);
    const QRect &from = pressGeometry;
    const Span x = dragged({from.x(), from.width()}, edges & (Qt::LeftEdge | Qt::RightEdge), edges & Qt::LeftEdge,
                           delta.x(), info.ptMinTrackSize.x, info.ptMaxTrackSize.x);
    const Span y = dragged({from.y(), from.height()}, edges & (Qt::TopEdge | Qt::BottomEdge), edges & Qt::TopEdge,
                           delta.y(), info.ptMinTrackSize.y, info.ptMaxTrackSize.y);
    return QRect(x.start, y.start, x.length, y.length);
}

// A double click on the caption maximizes or restores, unless the window swallows it.
bool NativeMessagePump::mouseDoubleClick(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || hitTest(event->globalPos()) != HTCAPTION)
        return false;
    long result = 0;
    if (send(WM_NCLBUTTONDBLCLK, quint64(HTCAPTION), packedPoint(event->globalPos()), &result))
        return true;
    if (window->windowStates().testFlag(Qt::WindowMaximized))
        window->showNormal();
    else
        window->showMaximized();
    return true;
}

void NativeMessagePump::showCursorFor(long code)
{
    const Qt::Edges edges = edgesOf(code);
    if (edges == Qt::Edges()) {
        restoreCursor();
        return;
    }
    if (cursorOverridden) {
        QGuiApplication::changeOverrideCursor(cursorOf(edges));
        return;
    }
    QGuiApplication::setOverrideCursor(cursorOf(edges));
    cursorOverridden = true;
}

void NativeMessagePump::restoreCursor()
{
    if (!cursorOverridden)
        return;
    QGuiApplication::restoreOverrideCursor();
    cursorOverridden = false;
}

void NativeMessagePump::watchScreen(QScreen *newScreen)
{
    if (screen)
        disconnect(screen, nullptr, this, nullptr);
    screen = newScreen;
    if (screen)
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, &NativeMessagePump::checkDpi);
}

int NativeMessagePump::screenDpi() const
{
    return screen ? qRound(screen->logicalDotsPerInchY() * screen->devicePixelRatio()) : 96;
}

void NativeMessagePump::checkDpi()
{
    const int dpi = screenDpi();
    if (dpi == lastDpi)
        return;
    lastDpi = dpi;
    RECT suggested = toRect(window->geometry());
    long ignored = 0;
    send(WM_DPICHANGED, (quint64(dpi) << 16) | quint64(dpi), lParamOf(&suggested), &ignored);
}
