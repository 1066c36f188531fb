#include "link/ComBuffer_Array.h"

#include <QMutexLocker>

ComBuffer_Array::ComBuffer_Array(QObject* parent)
    : QObject(parent)
{
}

void ComBuffer_Array::append(const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    m_bytes.append(bytes);
    m_changed.wakeAll();
}

QByteArray* ComBuffer_Array::waitData()
{
    QMutexLocker lock(&m_mutex);
    if (m_bytes.isEmpty())
        m_changed.wait(&m_mutex);
    return &m_bytes;
}

QByteArray* ComBuffer_Array::data()
{
    return &m_bytes;
}

void ComBuffer_Array::take(int n)
{
    QMutexLocker lock(&m_mutex);
    if (n >= m_bytes.size())
        m_bytes.clear();
    else if (n > 0)
        m_bytes.remove(0, n);
}

void ComBuffer_Array::clear()
{
    QMutexLocker lock(&m_mutex);
    if (!m_bytes.isEmpty())
        m_changed.wakeAll();
    m_bytes.clear();
}

void ComBuffer_Array::wake()
{
    QMutexLocker lock(&m_mutex);
    m_changed.wakeAll();
}
