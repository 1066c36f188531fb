#ifndef COMRECVTHREAD_H
#define COMRECVTHREAD_H

#include <QThread>

class ComDevice;

// Runs the device's receive steps until interrupted.
class ComRecvThread : public QThread
{
    Q_OBJECT
public:
    explicit ComRecvThread(ComDevice* device);

protected:
    void run() override;

private:
    ComDevice* m_device;
};

#endif // COMRECVTHREAD_H
