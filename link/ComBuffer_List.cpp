#include "link/ComBuffer_List.h"

#include <QMutexLocker>

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
    QMutexLocker lock(&m_mutex);
    m_frames.append(frame);
    m_changed.wakeAll();
}

QByteArray* ComBuffer_List::waitFront()
{
    QMutexLocker lock(&m_mutex);
    if (m_frames.isEmpty())
        m_changed.wait(&m_mutex);
    return m_frames.isEmpty() ? nullptr : m_frames.first();
}

QByteArray* ComBuffer_List::front()
{
    QMutexLocker lock(&m_mutex);
    return m_frames.isEmpty() ? nullptr : m_frames.first();
}

QByteArray* ComBuffer_List::pop()
{
    QMutexLocker lock(&m_mutex);
    return m_frames.isEmpty() ? nullptr : m_frames.takeFirst();
}

void ComBuffer_List::clear()
{
    QMutexLocker lock(&m_mutex);
    if (!m_frames.isEmpty())
        m_changed.wakeAll();
    qDeleteAll(m_frames);
    m_frames.clear();
}

void ComBuffer_List::wake()
{
    QMutexLocker lock(&m_mutex);
    m_changed.wakeAll();
}

int ComBuffer_List::count()
{
    QMutexLocker lock(&m_mutex);
    return m_frames.size();
}
