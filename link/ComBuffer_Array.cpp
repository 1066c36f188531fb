#include "link/ComBuffer_Array.h"

#include <QIODevice>
#include <QMutexLocker>

#include <limits>

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

qint64 ComBuffer_Array::appendFrom(QIODevice* source, qint64 max)
{
    QMutexLocker lock(&m_mutex);
    const qint64 read = readOnto(&m_bytes, source, max);
    if (read > 0)
        m_changed.wakeAll();
    return read;
}

bool ComBuffer_Array::isEmpty()
{
    QMutexLocker lock(&m_mutex);
    return m_bytes.isEmpty();
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

qint64 ComBuffer_Array::readOnto(QByteArray* bytes, QIODevice* source, qint64 max)
{
    const int start = bytes->size();
    const qint64 room = std::numeric_limits<int>::max() - qint64(start);
    const qint64 count = qMin(qMin(max, source->bytesAvailable()), room);
    if (count <= 0)
        return 0;
    bytes->resize(start + int(count));
    const qint64 read = qMax<qint64>(source->read(bytes->data() + start, count), 0);
    bytes->resize(start + int(read));
    return read;
}
