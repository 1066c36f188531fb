#include "link/ComStatus.h"

ComStatus::ComStatus(QObject* parent)
    : QObject(parent)
{
}

bool ComStatus::test(quint8 mask)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (mask == 0)
        return m_flags == 0;
    return (m_flags & mask) == mask;
}

void ComStatus::set(quint8 mask)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (mask == 0)
        m_flags = 0;
    else
        m_flags |= mask;
}

void ComStatus::clear(quint8 mask)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_flags &= quint8(~mask);
    if (mask & COM_STATUS_CONNECTED)
        m_flags &= quint8(~(COM_STATUS_SENDING | COM_STATUS_RECEIVING));
    if (mask & COM_STATUS_SENDING)
        m_sendDone.notify_all();
    if (mask & COM_STATUS_RECEIVING)
        m_recvDone.notify_all();
}

bool ComStatus::acquire(quint8 flag)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!(m_flags & COM_STATUS_CONNECTED))
        return false;
    if (m_flags & flag)
        conditionFor(flag)->wait(lock);
    m_flags |= flag;
    return true;
}

bool ComStatus::tryAcquire(quint8 flag)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!(m_flags & COM_STATUS_CONNECTED) || (m_flags & flag))
        return false;
    m_flags |= flag;
    return true;
}

quint8 ComStatus::flags()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_flags;
}

std::condition_variable* ComStatus::conditionFor(quint8 flag)
{
    return flag == COM_STATUS_SENDING ? &m_sendDone : &m_recvDone;
}
