#include "mainwindow/StartWatch.h"

#include <utility>

StartWatch::StartWatch(QObject *parent)
    : QObject(parent)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &StartWatch::expire);
}

void StartWatch::setInterval(int ms)
{
    intervalSetMs = ms;
}

void StartWatch::arm(int waitMs)
{
    stage = Stage::Notification;
    timer.start(waitMs >= 0 ? waitMs : intervalSetMs);
}

void StartWatch::awaitStatus()
{
    stage = Stage::Status;
    timer.start(intervalSetMs);
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
