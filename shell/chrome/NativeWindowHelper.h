#ifndef NATIVEWINDOWHELPER_H
#define NATIVEWINDOWHELPER_H

#include "shell/chrome/NativeWin.h"

#include <QObject>
#include <QScopedPointer>
#include <QWindow>

class NativeWindowTester;
class NativeWindowHelperPrivate;

// Serves one frameless native window: gives it a style that keeps the system's resize,
// snap and maximize behaviour and answers its non-client messages. Lives as the window's child.
class NativeWindowHelper : public QObject
{
    Q_OBJECT
public:
    NativeWindowHelper(QWindow *window, NativeWindowTester *tester);
    explicit NativeWindowHelper(QWindow *window);
    ~NativeWindowHelper() override;

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool handleNativeEvent(NativeWin::MSG *msg, long *result);
    double scaleFactor() const;

signals:
    void scaleFactorChanged(double factor);

private:
    void setUp();
    bool handleCalcSize(NativeWin::MSG *msg, long *result);
    bool handleMinMaxInfo(NativeWin::MSG *msg, long *result);
    bool handleDpiChanged(NativeWin::MSG *msg);

    QScopedPointer<NativeWindowHelperPrivate> d_ptr;
    Q_DECLARE_PRIVATE(NativeWindowHelper)
};

#endif // NATIVEWINDOWHELPER_H
