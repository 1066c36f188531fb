#ifndef FAKENATIVEBACKEND_H
#define FAKENATIVEBACKEND_H

#include "shell/chrome/NativeWin.h"

#include <QHash>
#include <QList>

// Window services for tests: plays an old or a new system version, records what the code
// sets, and fails where a test says so. Installed for its lifetime.
class FakeNativeBackend : public NativeWin::Backend
{
public:
    struct PositionCall
    {
        NativeWin::Handle hwnd;
        QRect rect; // x, y, cx, cy as passed
        quint32 flags;
    };

    FakeNativeBackend() { NativeWin::setBackend(this); }
    ~FakeNativeBackend() override { NativeWin::setBackend(nullptr); }

    void playWindows7() { version = QOperatingSystemVersion::Windows7; }

    // Script.
    QOperatingSystemVersion version = QOperatingSystemVersion::Windows10;
    QPoint cursor;
    int frameWidth = 8;
    bool monitorFails = false;
    QRect workArea = QRect(0, 0, 1920, 1040);
    bool placementFails = false;
    quint32 showCmd = NativeWin::SW_SHOWNORMAL;
    NativeWin::Result compositionResult = 0;
    bool compositionEnabled = true;
    QVariant compositionSetting; // invalid: no such value
    QHash<NativeWin::Handle, quint32> styles;

    // Record.
    QList<NativeWin::Handle> styleWrites;
    QList<PositionCall> positionCalls;
    QList<NativeWin::Handle> framesExtended;

    QOperatingSystemVersion systemVersion() override { return version; }
    QPoint cursorPos() override { return cursor; }
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
};

#endif // FAKENATIVEBACKEND_H
