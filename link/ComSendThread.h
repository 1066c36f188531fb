#ifndef COMSENDTHREAD_H
#define COMSENDTHREAD_H

#include <QThread>

class ComDevice;

// Writes the device's queued frames until interrupted.
class ComSendThread : public QThread
{
    Q_OBJECT
public:
    explicit ComSendThread(ComDevice* device);

protected:
    void run() override;

private:
    ComDevice* m_device;
};

#endif // COMSENDTHREAD_H
