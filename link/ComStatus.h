#ifndef COMSTATUS_H
#define COMSTATUS_H

#include <QObject>

#include <condition_variable>
#include <mutex>

constexpr quint8 COM_STATUS_OPENED = 1;
constexpr quint8 COM_STATUS_CONNECTED = 2;
constexpr quint8 COM_STATUS_SENDING = 4;
constexpr quint8 COM_STATUS_RECEIVING = 8;

// The flag set of a device. Each operation holds the mutex for its whole run; the waits serve
// the optional worker threads only. Standard-library locks, which the thread sanitizer sees
// (the toolkit's own are built without it and would hide the order between threads).
class ComStatus : public QObject
{
    Q_OBJECT
public:
    explicit ComStatus(QObject* parent = nullptr);

    bool test(quint8 mask);
    void set(quint8 mask);
    void clear(quint8 mask);
    // Waits (once) while the flag is held by another step; false when not connected.
    bool acquire(quint8 flag);
    // The same without waiting: false also when the flag is already held. A step running on the
    // device's own thread uses it, so that a nested step can never wait for itself.
    bool tryAcquire(quint8 flag);
    quint8 flags();

private:
    std::condition_variable* conditionFor(quint8 flag);

    quint8 m_flags = 0;
    std::mutex m_mutex;
    std::condition_variable m_sendDone;
    std::condition_variable m_recvDone;
};

#endif // COMSTATUS_H
