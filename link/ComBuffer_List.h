#ifndef COMBUFFER_LIST_H
#define COMBUFFER_LIST_H

#include <QByteArray>
#include <QList>
#include <QObject>

#include <condition_variable>
#include <mutex>

// The send queue of a device: frames owned by the list while queued.
class ComBuffer_List : public QObject
{
    Q_OBJECT
public:
    explicit ComBuffer_List(QObject* parent = nullptr);
    ~ComBuffer_List() override;

    void push(QByteArray* frame);
    QByteArray* waitFront();
    QByteArray* front();
    QByteArray* pop();
    void clear();
    void wake();
    int count();

private:
    QList<QByteArray*> m_frames;
    std::mutex m_mutex; // a standard lock, seen by the thread sanitizer
    std::condition_variable m_changed;
};

#endif // COMBUFFER_LIST_H
