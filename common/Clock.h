#ifndef CLOCK_H
#define CLOCK_H

#include <QDateTime>

// The one reading of the wall clock. Tests pin it with set() and release it with reset().
class Clock
{
public:
    static QDateTime now();
    static qint64 currentSecsSinceEpoch();
    static void set(const QDateTime &fixed);
    static void reset();

private:
    static QDateTime fixedTime;
};

#endif // CLOCK_H
