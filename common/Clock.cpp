#include "common/Clock.h"

QDateTime Clock::fixedTime;

QDateTime Clock::now()
{
    return fixedTime.isValid() ? fixedTime : QDateTime::currentDateTime();
}

qint64 Clock::currentSecsSinceEpoch()
{
    return now().toSecsSinceEpoch();
}

void Clock::set(const QDateTime &fixed)
{
    fixedTime = fixed;
}

void Clock::reset()
{
    fixedTime = QDateTime();
}
