#include "FakeNativeBackend.h"

using namespace NativeWin;

int FakeNativeBackend::GetSystemMetrics(int index)
{
    return (index == SM_CXFRAME || index == SM_CYFRAME) ? frameWidth : 0;
}

Handle FakeNativeBackend::MonitorFromWindow(Handle hwnd, quint32 flags)
{
    if (monitorFails || hwnd == 0 || flags != MONITOR_DEFAULTTONEAREST)
        return 0;
    return 1;
}

bool FakeNativeBackend::GetMonitorInfoW(Handle monitor, MONITORINFO *info)
{
    if (monitor != 1 || info->cbSize != 40)
        return false;
    info->rcWork = toRect(workArea);
    return true;
}

bool FakeNativeBackend::GetWindowPlacement(Handle, WINDOWPLACEMENT *placement)
{
    if (placementFails || placement->length != sizeof(WINDOWPLACEMENT))
        return false;
    placement->showCmd = showCmd;
    return true;
}

quint32 FakeNativeBackend::GetWindowLongW(Handle hwnd, int index)
{
    return index == GWL_STYLE ? styles.value(hwnd) : 0;
}

quint32 FakeNativeBackend::SetWindowLongW(Handle hwnd, int index, quint32 value)
{
    if (index != GWL_STYLE)
        return 0;
    styleWrites.append(hwnd);
    const quint32 previous = styles.value(hwnd);
    styles.insert(hwnd, value);
    return previous;
}

bool FakeNativeBackend::SetWindowPos(Handle hwnd, Handle, int x, int y, int cx, int cy, quint32 flags)
{
    positionCalls.append({hwnd, QRect(x, y, cx, cy), flags});
    return true;
}

Result FakeNativeBackend::DwmIsCompositionEnabled(bool *enabled)
{
    *enabled = compositionEnabled;
    return compositionResult;
}

Result FakeNativeBackend::DwmExtendFrameIntoClientArea(Handle hwnd, const MARGINS *margins)
{
    if (margins->cxLeftWidth == 1 && margins->cxRightWidth == 1 && margins->cyTopHeight == 1
        && margins->cyBottomHeight == 1)
        framesExtended.append(hwnd);
    return 0;
}

QVariant FakeNativeBackend::registryValue(const QString &, const QString &name, const QVariant &defaultValue)
{
    if (name != QLatin1String("Composition") || !compositionSetting.isValid())
        return defaultValue;
    return compositionSetting;
}
