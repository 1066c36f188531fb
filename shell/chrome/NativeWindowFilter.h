#ifndef NATIVEWINDOWFILTER_H
#define NATIVEWINDOWFILTER_H

#include <QAbstractNativeEventFilter>
#include <QWindow>

class NativeWindowHelper;

// Routes every window message to the helper registered for the message's window handle.
// One instance per process, installed on the first registration.
class NativeWindowFilter : public QAbstractNativeEventFilter
{
public:
    ~NativeWindowFilter() override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;

    // Registers the window's current handle for the helper; a null helper unregisters the window.
    static void registerHelper(QWindow *window, NativeWindowHelper *helper);

private:
    NativeWindowFilter() = default;
    static void installInstance();

    static NativeWindowFilter *instance;
};

#endif // NATIVEWINDOWFILTER_H
