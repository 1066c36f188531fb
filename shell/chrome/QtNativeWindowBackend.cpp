#include "shell/chrome/QtNativeWindowBackend.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

using namespace NativeWin;

namespace {

// The X server draws no sizing frame around a frameless window; this is the border
// width a pointer finds when a window asks for no resize margins of its own.
constexpr int frameThickness = 4;

} // namespace

QWindow *QtNativeWindowBackend::windowOf(Handle hwnd)
{
    if (hwnd == 0)
        return nullptr;
    const QWindowList windows = QGuiApplication::allWindows();
    for (QWindow *window : windows) {
        if (window->handle() && Handle(window->winId()) == hwnd)
            return window;
    }
    return nullptr;
}

// Monitor handles are screen positions counted from 1.
QScreen *QtNativeWindowBackend::screenOf(Handle monitor)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (monitor == 0 || monitor > Handle(screens.size()))
        return nullptr;
    return screens.at(int(monitor - 1));
}

QOperatingSystemVersion QtNativeWindowBackend::systemVersion()
{
    return QOperatingSystemVersion::Windows10;
}

QPoint QtNativeWindowBackend::cursorPos()
{
    return QCursor::pos();
}

int QtNativeWindowBackend::GetSystemMetrics(int index)
{
    return (index == SM_CXFRAME || index == SM_CYFRAME) ? frameThickness : 0;
}

Handle QtNativeWindowBackend::MonitorFromWindow(Handle hwnd, quint32)
{
    QWindow *window = windowOf(hwnd);
    if (!window || !window->screen())
        return 0;
    return Handle(QGuiApplication::screens().indexOf(window->screen()) + 1);
}

bool QtNativeWindowBackend::GetMonitorInfoW(Handle monitor, MONITORINFO *info)
{
    QScreen *screen = screenOf(monitor);
    if (!screen || !info || info->cbSize != sizeof(MONITORINFO))
        return false;
    info->rcMonitor = toRect(screen->geometry());
    info->rcWork = toRect(screen->availableGeometry());
    info->dwFlags = screen == QGuiApplication::primaryScreen() ? 1 : 0;
    return true;
}

bool QtNativeWindowBackend::GetWindowPlacement(Handle hwnd, WINDOWPLACEMENT *placement)
{
    QWindow *window = windowOf(hwnd);
    if (!window || !placement || placement->length != sizeof(WINDOWPLACEMENT))
        return false;
    const Qt::WindowStates states = window->windowStates();
    placement->showCmd = states.testFlag(Qt::WindowMinimized)   ? SW_SHOWMINIMIZED
                         : states.testFlag(Qt::WindowMaximized) ? SW_SHOWMAXIMIZED
                                                                : SW_SHOWNORMAL;
    placement->rcNormalPosition = toRect(window->geometry());
    return true;
}

quint32 QtNativeWindowBackend::GetWindowLongW(Handle hwnd, int index)
{
    return index == GWL_STYLE ? styles.value(hwnd) : 0;
}

quint32 QtNativeWindowBackend::SetWindowLongW(Handle hwnd, int index, quint32 value)
{
    if (index != GWL_STYLE || !windowOf(hwnd))
        return 0;
    const quint32 previous = styles.value(hwnd);
    styles.insert(hwnd, value);
    return previous;
}

bool QtNativeWindowBackend::SetWindowPos(Handle hwnd, Handle, int x, int y, int cx, int cy, quint32 flags)
{
    QWindow *window = windowOf(hwnd);
    if (!window)
        return false;
    const bool move = !(flags & SWP_NOMOVE);
    const bool size = !(flags & SWP_NOSIZE);
    if (move && size)
        window->setGeometry(x, y, cx, cy);
    else if (move)
        window->setPosition(x, y);
    else if (size)
        window->resize(cx, cy);
    return true;
}

Result QtNativeWindowBackend::DwmIsCompositionEnabled(bool *enabled)
{
    if (enabled)
        *enabled = true;
    return 0;
}

Result QtNativeWindowBackend::DwmExtendFrameIntoClientArea(Handle hwnd, const MARGINS *)
{
    return windowOf(hwnd) ? 0 : -1;
}

QVariant QtNativeWindowBackend::registryValue(const QString &, const QString &, const QVariant &defaultValue)
{
    return defaultValue;
}
