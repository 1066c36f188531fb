#include "link/ComRecvThread.h"

#include "link/ComDevice.h"

ComRecvThread::ComRecvThread(ComDevice* device)
    : QThread(device)
    , m_device(device)
{
}

void ComRecvThread::run()
{
    // While disconnected the step has nothing to do until the device stops this thread.
    while (!isInterruptionRequested()) {
        if (m_device->status()->test(COM_STATUS_CONNECTED))
            m_device->receiveStep();
        else
            msleep(5);
    }
}
