#include "mainwindow/ToolBarClickGuard.h"

#include <QApplication>
#include <QEvent>
#include <QToolButton>
#include <QWidget>

ToolBarClickGuard::ToolBarClickGuard(QWidget *window) : QObject(window)
{
    quiet.setSingleShot(true);
    for (QToolButton *button : window->findChildren<QToolButton *>()) {
        if (button->objectName().startsWith(QLatin1String("tbtn")))
            button->installEventFilter(this);
    }
}

void ToolBarClickGuard::arm()
{
    quiet.start(QApplication::doubleClickInterval());
}

bool ToolBarClickGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return quiet.isActive();
    case QEvent::MouseButtonRelease: {
        // A button pressed before the change is released as usual.
        auto *button = qobject_cast<QToolButton *>(watched);
        return quiet.isActive() && !(button && button->isDown());
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
