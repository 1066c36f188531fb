#ifndef NATIVEWIN_H
#define NATIVEWIN_H

#include <QByteArray>
#include <QOperatingSystemVersion>
#include <QPoint>
#include <QRect>
#include <QVariant>

// The window services the frameless window layer relies on: the records, constants and
// calls of a window system with non-client messages. On this platform they are answered by
// a Backend (the default one over Qt, or a fake in tests), and the messages come from
// NativeMessagePump. Fields are fixed-width; handles are plain numbers, 0 meaning none.
namespace NativeWin {

using Handle = quint64;
using Result = qint32; // negative: the call failed

// Event type under which NativeMessagePump hands a MSG to the native event filters.
inline const QByteArray messageEventType() { return QByteArrayLiteral("amt_window_message"); }

struct POINT
{
    qint32 x;
    qint32 y;
};

// Right and bottom are exclusive.
struct RECT
{
    qint32 left;
    qint32 top;
    qint32 right;
    qint32 bottom;
};

struct MSG
{
    Handle hwnd;
    quint32 message;
    quint64 wParam;
    qint64 lParam; // a number, or the address of the message's record
};

struct NCCALCSIZE_PARAMS
{
    RECT rgrc[3];
    quint64 lppos;
};

struct MINMAXINFO
{
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct MONITORINFO
{
    quint32 cbSize;
    RECT rcMonitor;
    RECT rcWork;
    quint32 dwFlags;
};
static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO is 40 bytes");

struct WINDOWPLACEMENT
{
    quint32 length;
    quint32 flags;
    quint32 showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

struct MARGINS
{
    qint32 cxLeftWidth;
    qint32 cxRightWidth;
    qint32 cyTopHeight;
    qint32 cyBottomHeight;
};

// Messages.
constexpr quint32 WM_GETMINMAXINFO = 0x24;
constexpr quint32 WM_NCCALCSIZE = 0x83;
constexpr quint32 WM_NCHITTEST = 0x84;
constexpr quint32 WM_NCACTIVATE = 0x86;
constexpr quint32 WM_NCLBUTTONDBLCLK = 0xA3;
constexpr quint32 WM_DPICHANGED = 0x2E0;

// Hit-test codes.
constexpr long HTCLIENT = 1;
constexpr long HTCAPTION = 2;
constexpr long HTLEFT = 10;
constexpr long HTRIGHT = 11;
constexpr long HTTOP = 12;
constexpr long HTTOPLEFT = 13;
constexpr long HTTOPRIGHT = 14;
constexpr long HTBOTTOM = 15;
constexpr long HTBOTTOMLEFT = 16;
constexpr long HTBOTTOMRIGHT = 17;

// Style bits.
constexpr quint32 WS_POPUP = 0x80000000;
constexpr quint32 WS_CAPTION = 0x00C00000;
constexpr quint32 WS_SYSMENU = 0x00080000;
constexpr quint32 WS_THICKFRAME = 0x00040000;
constexpr quint32 WS_MINIMIZEBOX = 0x00020000;
constexpr quint32 WS_MAXIMIZEBOX = 0x00010000;
constexpr int GWL_STYLE = -16;

// System metrics, monitor lookup, placement.
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr quint32 MONITOR_DEFAULTTONEAREST = 2;
constexpr quint32 SW_SHOWNORMAL = 1;
constexpr quint32 SW_SHOWMINIMIZED = 2;
constexpr quint32 SW_SHOWMAXIMIZED = 3;

// Window placement flags.
constexpr quint32 SWP_NOSIZE = 0x0001;
constexpr quint32 SWP_NOMOVE = 0x0002;
constexpr quint32 SWP_NOZORDER = 0x0004;
constexpr quint32 SWP_NOACTIVATE = 0x0010;
constexpr quint32 SWP_FRAMECHANGED = 0x0020;
constexpr quint32 SWP_NOOWNERZORDER = 0x0200;

constexpr quint16 hiWord(quint64 value) { return quint16((value >> 16) & 0xFFFF); }

inline RECT toRect(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
}

template<class T>
T *lParamAs(const MSG &msg)
{
    return reinterpret_cast<T *>(static_cast<quintptr>(msg.lParam));
}

template<class T>
qint64 lParamOf(T *record)
{
    return static_cast<qint64>(reinterpret_cast<quintptr>(record));
}

// What the window system answers. One backend serves the process.
class Backend
{
public:
    virtual ~Backend() = default;

    virtual QOperatingSystemVersion systemVersion() = 0;
    virtual QPoint cursorPos() = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual Handle MonitorFromWindow(Handle hwnd, quint32 flags) = 0;
    virtual bool GetMonitorInfoW(Handle monitor, MONITORINFO *info) = 0;
    virtual bool GetWindowPlacement(Handle hwnd, WINDOWPLACEMENT *placement) = 0;
    virtual quint32 GetWindowLongW(Handle hwnd, int index) = 0;
    virtual quint32 SetWindowLongW(Handle hwnd, int index, quint32 value) = 0;
    virtual bool SetWindowPos(Handle hwnd, Handle insertAfter, int x, int y, int cx, int cy, quint32 flags) = 0;
    virtual Result DwmIsCompositionEnabled(bool *enabled) = 0;
    virtual Result DwmExtendFrameIntoClientArea(Handle hwnd, const MARGINS *margins) = 0;
    // A value of the user's settings store; defaultValue when there is none.
    virtual QVariant registryValue(const QString &key, const QString &name, const QVariant &defaultValue) = 0;
};

// The backend in use: the one over Qt unless a test has installed another.
Backend &backend();
// Installs a backend (not owned); nullptr puts the Qt one back.
void setBackend(Backend *replacement);

} // namespace NativeWin

#endif // NATIVEWIN_H
