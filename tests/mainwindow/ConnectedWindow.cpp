#include "ConnectedWindow.h"

#include "link/LibCom.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QSignalSpy>

bool ConnectedWindow::setUp()
{
    if (!fixture.setUp())
        return false;
    if (settingsPort != 0 && !E2eFixture::writeSystemConfig(fixture.systemConfigPath(), settingsPort))
        return false;
    MainWindow::setApplicationDirOverride(fixture.appDir());
    window = std::make_unique<MainWindow>();
    com = window->findChild<LibCom *>();
    QSignalSpy up(com, &LibCom::AMTMachineNetWorkConnected);
    com->openControlCom({QStringLiteral("127.0.0.1"), fixture.basePort()});
    com->connectCom(COM_SELECT_CONTROL);
    if (!E2eFixture::waitUntil([&up] { return up.count() > 0; }))
        return false;
    window->refreshNetworkState();
    return true;
}

QStringList ConnectedWindow::notices() const
{
    return window->findChild<QtMaterialSnackbar *>()->messages();
}

void ConnectedWindow::clearNotices()
{
    while (!notices().isEmpty())
        window->findChild<QtMaterialSnackbar *>()->dequeue();
}

int ConnectedWindow::sentCount(uint32_t id)
{
    return fixture.simulator().journal().received(id).size();
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
