#ifndef CONNECTEDWINDOW_H
#define CONNECTEDWINDOW_H

#include "E2eFixture.h"

#include "mainwindow/MainWindow.h"

#include <QStringList>

#include <memory>

class LibCom;

// The window over the fixture's simulator with the control connection up.
struct ConnectedWindow
{
    E2eFixture fixture;
    std::unique_ptr<MainWindow> window;
    LibCom *com = nullptr;

    bool setUp();
    // The snackbar's notices on show or waiting.
    QStringList notices() const;
    void clearNotices();
    // How often the simulator received the command.
    int sentCount(uint32_t id);
};

QByteArray fileContents(const QString &path);

#endif // CONNECTEDWINDOW_H
