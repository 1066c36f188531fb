#include "link/ComBuffer_Array.h"

#include <QIODevice>

#include <limits>

ComBuffer_Array::ComBuffer_Array(QObject* parent)
    : QObject(parent)
{
}

void ComBuffer_Array::append(const QByteArray& bytes)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bytes.append(bytes);
    m_changed.notify_all();
}

qint64 ComBuffer_Array::appendFrom(QIODevice* source, qint64 max)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const qint64 read = readOnto(&m_bytes, source, max);
    if (read > 0)
        m_changed.notify_all();
    return read;
}

bool ComBuffer_Array::isEmpty()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_bytes.isEmpty();
}

QByteArray* ComBuffer_Array::waitData()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_bytes.isEmpty())
        m_changed.wait(lock);
    return &m_bytes;
}

QByteArray* ComBuffer_Array::data()
{
    return &m_bytes;
}

void ComBuffer_Array::take(int n)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (n >= m_bytes.size())
        m_bytes.clear();
    else if (n > 0)
        m_bytes.remove(0, n);
}

void ComBuffer_Array::clear()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_bytes.isEmpty())
        m_changed.notify_all();
    m_bytes.clear();
}

void ComBuffer_Array::wake()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.notify_all();
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
