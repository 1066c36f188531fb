#include "shell/chrome/NativeWindowFilter.h"

#include "shell/chrome/NativeWin.h"
#include "shell/chrome/NativeWindowHelper.h"

#include <QCoreApplication>
#include <QHash>

NativeWindowFilter *NativeWindowFilter::instance = nullptr;

namespace {
QHash<NativeWindowHelper *, WId> handlesByHelper;
QHash<QWindow *, WId> handlesByWindow;
QHash<WId, NativeWindowHelper *> helpersByHandle;

void dropHelper(NativeWindowHelper *helper)
{
    if (helper)
        handlesByHelper.remove(helper);
}
} // namespace

NativeWindowFilter::~NativeWindowFilter()
{
    if (instance == this)
        instance = nullptr;
}

void NativeWindowFilter::installInstance()
{
    if (instance || !QCoreApplication::instance())
        return;
    instance = new NativeWindowFilter;
    QCoreApplication::instance()->installNativeEventFilter(instance);
    // Deleted with the application, while the event dispatcher it is installed in still exists.
    qAddPostRoutine([] { delete instance; });
}

void NativeWindowFilter::registerHelper(QWindow *window, NativeWindowHelper *helper)
{
    Q_CHECK_PTR(window);
    // Unregistering never installs a filter: it also runs while the application is torn down.
    if (!helper) {
        const WId handle = handlesByWindow.take(window);
        dropHelper(helpersByHandle.take(handle));
        return;
    }
    installInstance();

    const WId newHandle = window->winId();
    const WId oldHandle = handlesByHelper.value(helper, 0);
    if (newHandle == oldHandle)
        return;
    helpersByHandle.insert(newHandle, helper);
    helpersByHandle.remove(oldHandle);
    handlesByHelper.insert(helper, newHandle);
    handlesByWindow.insert(window, newHandle);
}

bool NativeWindowFilter::nativeEventFilter(const QByteArray &eventType, void *message, long *result)
{
    // Other event types (the X server's events among them) carry records of their own.
    if (eventType != NativeWin::messageEventType())
        return false;
    auto *msg = static_cast<NativeWin::MSG *>(message);
    NativeWindowHelper *helper = helpersByHandle.value(WId(msg->hwnd), nullptr);
    if (!helper)
        return false;
    return helper->handleNativeEvent(msg, result);
}
