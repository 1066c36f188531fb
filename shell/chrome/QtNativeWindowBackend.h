#ifndef QTNATIVEWINDOWBACKEND_H
#define QTNATIVEWINDOWBACKEND_H

#include "shell/chrome/NativeWin.h"

#include <QHash>

class QScreen;
class QWindow;

// The window services over Qt: windows are found by their native handle, monitors are the
// screens, the style word is kept per window, composition is always on (the window manager
// composes frameless windows like the newer system versions) and there is no registry.
class QtNativeWindowBackend : public NativeWin::Backend
{
public:
    QOperatingSystemVersion systemVersion() override;
    QPoint cursorPos() override;
    int GetSystemMetrics(int index) override;
    NativeWin::Handle MonitorFromWindow(NativeWin::Handle hwnd, quint32 flags) override;
    bool GetMonitorInfoW(NativeWin::Handle monitor, NativeWin::MONITORINFO *info) override;
    bool GetWindowPlacement(NativeWin::Handle hwnd, NativeWin::WINDOWPLACEMENT *placement) override;
    quint32 GetWindowLongW(NativeWin::Handle hwnd, int index) override;
    quint32 SetWindowLongW(NativeWin::Handle hwnd, int index, quint32 value) override;
    bool SetWindowPos(NativeWin::Handle hwnd, NativeWin::Handle insertAfter, int x, int y, int cx, int cy,
                      quint32 flags) override;
    NativeWin::Result DwmIsCompositionEnabled(bool *enabled) override;
    NativeWin::Result DwmExtendFrameIntoClientArea(NativeWin::Handle hwnd, const NativeWin::MARGINS *margins) override;
    QVariant registryValue(const QString &key, const QString &name, const QVariant &defaultValue) override;

private:
    static QWindow *windowOf(NativeWin::Handle hwnd);
    static QScreen *screenOf(NativeWin::Handle monitor);

    QHash<NativeWin::Handle, quint32> styles;
};

#endif // QTNATIVEWINDOWBACKEND_H
