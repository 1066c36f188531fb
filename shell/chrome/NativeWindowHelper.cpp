#include "shell/chrome/NativeWindowHelper.h"
#include "shell/chrome/NativeWindowHelper_p.h"

#include "shell/chrome/NativeMessagePump.h"
#include "shell/chrome/NativeWindowFilter.h"
#include "shell/chrome/NativeWindowTester.h"

#include <QScreen>

using namespace NativeWin;

namespace {

bool isWindows8OrNewer()
{
    const QOperatingSystemVersion version = backend().systemVersion();
    return version.type() == QOperatingSystemVersion::Windows8.type()
           && version >= QOperatingSystemVersion::Windows8;
}

constexpr quint32 styleMask = 0xFF30FFFF;
constexpr quint32 frameChangedFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;

} // namespace

NativeWindowHelperPrivate::NativeWindowHelperPrivate(NativeWindowHelper *owner, QWindow *window,
                                                     NativeWindowTester *tester)
    : owner(owner)
    , window(window)
    , tester(tester)
{
}

NativeWindowHelperPrivate::~NativeWindowHelperPrivate()
{
    if (window)
        NativeWindowFilter::registerHelper(window, nullptr);
}

void NativeWindowHelperPrivate::updateWindowStyle()
{
    Q_CHECK_PTR(window);
    const WId handle = window->winId();
    if (handle == 0 || handle == lastHandle)
        return;
    lastHandle = handle;
    NativeWindowFilter::registerHelper(window, owner);

    if (!isWindows8OrNewer())
        return;

    const quint32 style = (backend().GetWindowLongW(handle, GWL_STYLE) & styleMask) | styleBits();
    backend().SetWindowLongW(handle, GWL_STYLE, style);
    backend().SetWindowPos(handle, 0, 0, 0, 0, 0, frameChangedFlags);
    if (isCompositionEnabled()) {
        const MARGINS margins = {1, 1, 1, 1};
        backend().DwmExtendFrameIntoClientArea(handle, &margins);
    }
}

// The frame and button bits the style word should carry.
quint32 NativeWindowHelperPrivate::styleBits() const
{
    quint32 bits = isCompositionEnabled() ? (WS_POPUP | WS_THICKFRAME | WS_CAPTION) : (WS_POPUP | WS_THICKFRAME);
    const Qt::WindowFlags flags = window->flags();
    if (!flags.testFlag(Qt::CustomizeWindowHint))
        return bits | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (flags.testFlag(Qt::WindowSystemMenuHint))
        bits |= WS_SYSMENU;
    if (flags.testFlag(Qt::WindowMinimizeButtonHint))
        bits |= WS_MINIMIZEBOX;
    if (flags.testFlag(Qt::WindowMaximizeButtonHint))
        bits |= WS_MAXIMIZEBOX;
    return bits;
}

bool NativeWindowHelperPrivate::isCompositionEnabled()
{
    if (isWindows8OrNewer())
        return true;
    bool enabled = false;
    if (backend().DwmIsCompositionEnabled(&enabled) >= 0)
        return enabled;
    bool ok = false;
    const uint composition =
        backend()
            .registryValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\DWM"),
                           QStringLiteral("Composition"), 0)
            .toUInt(&ok);
    return ok && composition != 0;
}

QMargins NativeWindowHelperPrivate::scaled(const QMargins &margins) const
{
    return QMargins(qRound(margins.left() * scaleFactor), qRound(margins.top() * scaleFactor),
                    qRound(margins.right() * scaleFactor), qRound(margins.bottom() * scaleFactor));
}

QMargins NativeWindowHelperPrivate::scaledResizeMargins() const
{
    return tester ? scaled(tester->resizeMargins()) : QMargins();
}

QMargins NativeWindowHelperPrivate::scaledMaximizedMargins() const
{
    return tester ? scaled(tester->maximizedMargins()) : QMargins();
}

QRect NativeWindowHelperPrivate::availableGeometry() const
{
    const Handle monitor = backend().MonitorFromWindow(window->winId(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(MONITORINFO);
    if (monitor != 0 && backend().GetMonitorInfoW(monitor, &info))
        return QRect(QPoint(info.rcWork.left, info.rcWork.top), QPoint(info.rcWork.right - 1, info.rcWork.bottom - 1));
    return window->screen()->availableGeometry();
}

bool NativeWindowHelperPrivate::isMaximized() const
{
    Q_CHECK_PTR(window);
    if (!window->handle())
        return false;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(WINDOWPLACEMENT);
    if (!backend().GetWindowPlacement(window->winId(), &placement))
        return false;
    return placement.showCmd == SW_SHOWMAXIMIZED;
}

bool NativeWindowHelperPrivate::isResizableHorizontally() const
{
    return window->minimumSize().width() < window->maximumSize().width();
}

bool NativeWindowHelperPrivate::isResizableVertically() const
{
    return window->minimumSize().height() < window->maximumSize().height();
}

long NativeWindowHelperPrivate::hitTest(int x, int y) const
{
    Q_CHECK_PTR(window);
    QMargins m = scaledResizeMargins();
    if (m.left() < 1)
        m.setLeft(backend().GetSystemMetrics(SM_CXFRAME));
    if (m.right() < 1)
        m.setRight(backend().GetSystemMetrics(SM_CXFRAME));
    if (m.top() < 1)
        m.setTop(backend().GetSystemMetrics(SM_CYFRAME));
    if (m.bottom() < 1)
        m.setBottom(backend().GetSystemMetrics(SM_CYFRAME));

    const QPoint p = window->mapFromGlobal(QPoint(x, y));
    const int width = window->geometry().width();
    const int height = window->geometry().height();
    const long zone = zoneCode(p.y() <= m.top(), p.y() + m.bottom() > height - 1, p.x() <= m.left(),
                               p.x() + m.right() > width - 1);
    if (zone != 0)
        return zone;
    if (!tester)
        return HTCAPTION;
    return tester->hitTest(p) ? HTCAPTION : HTCLIENT;
}

// The code of a resize zone, HTCLIENT where the window cannot be resized that way,
// 0 where the caption test decides (no zone, or opposite zones on a tiny window).
long NativeWindowHelperPrivate::zoneCode(bool top, bool bottom, bool left, bool right) const
{
    if ((top && bottom) || (left && right) || !(top || bottom || left || right))
        return 0;
    const bool horizontal = isResizableHorizontally();
    const bool vertical = isResizableVertically();
    const bool both = horizontal && vertical;
    if (top && left)
        return both ? HTTOPLEFT : HTCLIENT;
    if (top && right)
        return both ? HTTOPRIGHT : HTCLIENT;
    if (bottom && left)
        return both ? HTBOTTOMLEFT : HTCLIENT;
    if (bottom && right)
        return both ? HTBOTTOMRIGHT : HTCLIENT;
    if (top)
        return vertical ? HTTOP : HTCLIENT;
    if (bottom)
        return vertical ? HTBOTTOM : HTCLIENT;
    if (left)
        return horizontal ? HTLEFT : HTCLIENT;
    return horizontal ? HTRIGHT : HTCLIENT;
}

NativeWindowHelper::NativeWindowHelper(QWindow *window, NativeWindowTester *tester)
    : QObject(window)
    , d_ptr(new NativeWindowHelperPrivate(this, window, tester))
{
    Q_CHECK_PTR(window);
    Q_CHECK_PTR(tester);
    setUp();
}

NativeWindowHelper::NativeWindowHelper(QWindow *window)
    : QObject(window)
    , d_ptr(new NativeWindowHelperPrivate(this, window, nullptr))
{
    Q_CHECK_PTR(window);
    setUp();
}

NativeWindowHelper::~NativeWindowHelper() = default;

void NativeWindowHelper::setUp()
{
    Q_D(NativeWindowHelper);
    d->scaleFactor = d->window->screen() ? d->window->screen()->devicePixelRatio() : 1.0;
    if (!d->window->flags().testFlag(Qt::FramelessWindowHint))
        return;
    d->window->installEventFilter(this);
    new NativeMessagePump(d->window, this);
    d->updateWindowStyle();
}

double NativeWindowHelper::scaleFactor() const
{
    Q_D(const NativeWindowHelper);
    return d->scaleFactor;
}

bool NativeWindowHelper::eventFilter(QObject *watched, QEvent *event)
{
    Q_D(NativeWindowHelper);
    if (watched == d->window && (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show))
        d->updateWindowStyle();
    return QObject::eventFilter(watched, event);
}

bool NativeWindowHelper::handleNativeEvent(MSG *msg, long *result)
{
    Q_D(NativeWindowHelper);
    Q_CHECK_PTR(d->window);
    const QPoint cursor = backend().cursorPos();
    switch (msg->message) {
    case WM_NCCALCSIZE:
        return handleCalcSize(msg, result);
    case WM_NCHITTEST:
        *result = d->hitTest(cursor.x(), cursor.y());
        return true;
    case WM_NCACTIVATE:
        if (NativeWindowHelperPrivate::isCompositionEnabled())
            return false;
        *result = 1;
        return true;
    case WM_GETMINMAXINFO:
        return handleMinMaxInfo(msg, result);
    case WM_NCLBUTTONDBLCLK:
        // A window that cannot grow both ways is not maximized by the caption.
        if (d->isResizableHorizontally() && d->isResizableVertically())
            return false;
        *result = 0;
        return true;
    case WM_DPICHANGED:
        return handleDpiChanged(msg);
    default:
        return false;
    }
}

bool NativeWindowHelper::handleCalcSize(MSG *msg, long *result)
{
    Q_D(NativeWindowHelper);
    if (msg->wParam != 1)
        return false;
    // Not maximized: the proposed rectangle stays, so the whole window is client area.
    if (d->isMaximized()) {
        const QRect work = d->availableGeometry();
        const QMargins mm = d->scaledMaximizedMargins();
        RECT &client = lParamAs<NCCALCSIZE_PARAMS>(*msg)->rgrc[0];
        client.left = work.left() - mm.left();
        client.top = work.top() - mm.top();
        client.right = work.right() + 1 + mm.right();
        client.bottom = work.bottom() + 1 + mm.bottom();
    }
    *result = 0;
    return true;
}

bool NativeWindowHelper::handleMinMaxInfo(MSG *msg, long *result)
{
    Q_D(NativeWindowHelper);
    const QRect work = d->availableGeometry();
    const QMargins mm = d->scaledMaximizedMargins();
    MINMAXINFO *info = lParamAs<MINMAXINFO>(*msg);
    info->ptMaxPosition = {-mm.left(), -mm.top()};
    info->ptMaxSize = {work.width() + mm.left() + mm.right(), work.height() + mm.top() + mm.bottom()};
    info->ptMinTrackSize = {d->window->minimumSize().width(), d->window->minimumSize().height()};
    info->ptMaxTrackSize = {d->window->maximumSize().width(), d->window->maximumSize().height()};
    *result = 0;
    return true;
}

// Scale factor 2 from a vertical DPI above 143 on; the toolkit's own handling follows.
bool NativeWindowHelper::handleDpiChanged(MSG *msg)
{
    Q_D(NativeWindowHelper);
    const double factor = hiWord(msg->wParam) > 143 ? 2.0 : 1.0;
    const double previous = d->scaleFactor;
    d->scaleFactor = factor;
    if (!qFuzzyCompare(previous, factor))
        emit scaleFactorChanged(factor);
    const RECT *suggested = lParamAs<RECT>(*msg);
    backend().SetWindowPos(d->window->winId(), 0, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return false;
}
