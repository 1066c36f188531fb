#include "link/ComBuffer_List.h"

ComBuffer_List::ComBuffer_List(QObject* parent)
    : QObject(parent)
{
}

ComBuffer_List::~ComBuffer_List()
{
    qDeleteAll(m_frames);
}

void ComBuffer_List::push(QByteArray* frame)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_frames.append(frame);
    m_changed.notify_all();
}

QByteArray* ComBuffer_List::waitFront()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_frames.isEmpty())
        m_changed.wait(lock);
    return m_frames.isEmpty() ? nullptr : m_frames.first();
}

QByteArray* ComBuffer_List::front()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_frames.isEmpty() ? nullptr : m_frames.first();
}

QByteArray* ComBuffer_List::pop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_frames.isEmpty() ? nullptr : m_frames.takeFirst();
}

void ComBuffer_List::clear()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_frames.isEmpty())
        m_changed.notify_all();
    qDeleteAll(m_frames);
    m_frames.clear();
}

void ComBuffer_List::wake()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.notify_all();
}

int ComBuffer_List::count()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_frames.size();
}
