#ifndef NATIVEWINDOWTESTER_H
#define NATIVEWINDOWTESTER_H

#include <QMargins>
#include <QPoint>

// What the native window layer asks of the window it serves.
class NativeWindowTester
{
public:
    // Resize border widths, in logical pixels.
    virtual QMargins resizeMargins() const = 0;
    // How far a maximized window reaches beyond the work area, in logical pixels.
    virtual QMargins maximizedMargins() const = 0;
    // True when the window-local point, outside every resize zone, drags the window.
    virtual bool hitTest(const QPoint &pos) const = 0;
    virtual ~NativeWindowTester() = default;
};

#endif // NATIVEWINDOWTESTER_H
