#include "link/ComSendThread.h"

#include "link/ComDevice.h"

ComSendThread::ComSendThread(ComDevice* device)
    : QThread(device)
    , m_device(device)
{
}

void ComSendThread::run()
{
    // While disconnected the step has nothing to do until the device stops this thread.
    while (!isInterruptionRequested()) {
        if (m_device->status()->test(COM_STATUS_CONNECTED))
            m_device->sendStep();
        else
            msleep(5);
    }
}
