#include "mainwindow/StartWatch.h"

#include <utility>

StartWatch::StartWatch(QObject *parent)
    : QObject(parent)
{
    timer.setSingleShot(true);
    timer.setInterval(intervalMs);
    connect(&timer, &QTimer::timeout, this, &StartWatch::expire);
}

void StartWatch::setInterval(int ms)
{
    timer.setInterval(ms);
}

void StartWatch::arm()
{
    stage = Stage::Notification;
    timer.start();
}

void StartWatch::awaitStatus()
{
    stage = Stage::Status;
    timer.start();
}

void StartWatch::stop()
{
    stage = Stage::Off;
    timer.stop();
}

void StartWatch::expire()
{
    const Stage expired = std::exchange(stage, Stage::Off);
    if (expired == Stage::Notification)
        emit notificationOverdue();
    else if (expired == Stage::Status)
        emit statusOverdue();
}
