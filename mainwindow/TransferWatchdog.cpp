#include "mainwindow/TransferWatchdog.h"

#include <utility>

TransferWatchdog::TransferWatchdog(std::function<qint64()> progress, QObject *parent)
    : QObject(parent), progress(std::move(progress))
{
    connect(&timer, &QTimer::timeout, this, &TransferWatchdog::check);
}

void TransferWatchdog::setInterval(int ms)
{
    stallIntervalMs = ms;
}

void TransferWatchdog::start()
{
    stalls = 0;
    arm();
}

void TransferWatchdog::feed()
{
    if (timer.isActive())
        arm();
}

void TransferWatchdog::arm()
{
    lastSeen = progress();
    sinceCheck.start();
    timer.start(stallIntervalMs);
}

void TransferWatchdog::stop()
{
    timer.stop();
}

void TransferWatchdog::check()
{
    const qint64 now = progress();
    const bool late = sinceCheck.restart() > stallIntervalMs * 3 / 2;
    if (now != lastSeen || late) {
        lastSeen = now;
        return;
    }
    emit stalled(++stalls);
}
