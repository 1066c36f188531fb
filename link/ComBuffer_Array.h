#ifndef COMBUFFER_ARRAY_H
#define COMBUFFER_ARRAY_H

#include <QByteArray>
#include <QObject>

#include <condition_variable>
#include <mutex>

class QIODevice;

// The receive buffer of a device: bytes received and not yet consumed.
class ComBuffer_Array : public QObject
{
    Q_OBJECT
public:
    explicit ComBuffer_Array(QObject* parent = nullptr);

    void append(const QByteArray& bytes);
    // Reads at most max bytes of the source straight onto the end; returns how many.
    qint64 appendFrom(QIODevice* source, qint64 max);
    bool isEmpty();
    // The buffer itself (not a copy), read and edited in place by the received callback.
    QByteArray* waitData();
    QByteArray* data();
    void take(int n);
    void clear();
    void wake();

    // Reads at most max bytes of the source onto the end of bytes, without a copy in between.
    static qint64 readOnto(QByteArray* bytes, QIODevice* source, qint64 max);

private:
    QByteArray m_bytes;
    std::mutex m_mutex; // a standard lock, seen by the thread sanitizer
    std::condition_variable m_changed;
};

#endif // COMBUFFER_ARRAY_H
