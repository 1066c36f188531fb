#include "shell/chrome/NativeWin.h"

#include "shell/chrome/QtNativeWindowBackend.h"

namespace NativeWin {

namespace {
QtNativeWindowBackend qtBackend;
Backend *current = &qtBackend;
} // namespace

Backend &backend()
{
    return *current;
}

void setBackend(Backend *replacement)
{
    current = replacement ? replacement : &qtBackend;
}

} // namespace NativeWin
