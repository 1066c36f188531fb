#ifndef COMBUFFER_ARRAY_H
#define COMBUFFER_ARRAY_H

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QWaitCondition>

// The receive buffer of a device: bytes received and not yet consumed.
class ComBuffer_Array : public QObject
{
    Q_OBJECT
public:
    explicit ComBuffer_Array(QObject* parent = nullptr);

    void append(const QByteArray& bytes);
    // The buffer itself (not a copy), read and edited in place by the received callback.
    QByteArray* waitData();
    QByteArray* data();
    void take(int n);
    void clear();
    void wake();

private:
    QByteArray m_bytes;
    QMutex m_mutex;
    QWaitCondition m_changed;
};

#endif // COMBUFFER_ARRAY_H
