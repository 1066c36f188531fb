#include "mainwindow/GuardedSignalTransition.h"

#include <utility>

GuardedSignalTransition::GuardedSignalTransition(const QObject *sender, const char *signal,
                                                 std::function<bool()> guard, QState *sourceState)
    : QSignalTransition(sender, signal, sourceState), guard(std::move(guard))
{
}

bool GuardedSignalTransition::eventTest(QEvent *event)
{
    return QSignalTransition::eventTest(event) && guard();
}
