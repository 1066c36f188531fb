#ifndef NATIVEWINDOWHELPER_P_H
#define NATIVEWINDOWHELPER_P_H

#include <QMargins>
#include <QRect>
#include <QWindow>

class NativeWindowHelper;
class NativeWindowTester;

class NativeWindowHelperPrivate
{
public:
    NativeWindowHelperPrivate(NativeWindowHelper *owner, QWindow *window, NativeWindowTester *tester);
    virtual ~NativeWindowHelperPrivate();

    void updateWindowStyle();
    long hitTest(int x, int y) const;
    bool isMaximized() const;
    QRect availableGeometry() const;
    QMargins scaledResizeMargins() const;
    QMargins scaledMaximizedMargins() const;
    static bool isCompositionEnabled();
    bool isResizableHorizontally() const;
    bool isResizableVertically() const;

    NativeWindowHelper *owner;
    QWindow *window;
    NativeWindowTester *tester;
    WId lastHandle = 0;
    double scaleFactor = 1.0;

private:
    QMargins scaled(const QMargins &margins) const;
    quint32 styleBits() const;
    long zoneCode(bool top, bool bottom, bool left, bool right) const;
};

#endif // NATIVEWINDOWHELPER_P_H
