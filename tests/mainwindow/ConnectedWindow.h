#ifndef CONNECTEDWINDOW_H
#define CONNECTEDWINDOW_H

#include "E2eFixture.h"

#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class LibCom;

// The window over the fixture's simulator with the control connection up.
struct ConnectedWindow
{
    E2eFixture fixture;
    std::unique_ptr<MainWindow> window;
    LibCom *com = nullptr;
    // The base port the window's settings name, when not the simulator's; the control
    // connection goes to the simulator all the same.
    quint16 settingsPort = 0;

    bool setUp();
    // The snackbar's notices on show or waiting.
    QStringList notices() const;
    void clearNotices();
    // How often the simulator received the command.
    int sentCount(uint32_t id);
};

QByteArray fileContents(const QString &path);

// Acts once on the first shown top-level widget of the type, also from inside its modal loop.
template <class Widget>
void actWhenShown(QObject *owner, std::function<void(Widget *)> act)
{
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, act] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *shown = qobject_cast<Widget *>(widget);
            if (!shown || !shown->isVisible())
                continue;
            poll->stop();
            poll->deleteLater();
            act(shown);
            return;
        }
    });
    poll->start(10);
}

#endif // CONNECTEDWINDOW_H
