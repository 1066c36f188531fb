#include "AppFolder.h"

#include "mainwindow/MainWindow.h"

#include <QDir>
#include <QSettings>

AppFolder::AppFolder(Settings settings)
{
    // The sensor dialog lists the calibration tables found here.
    QDir(dir.path()).mkdir(QStringLiteral("InputCalibration"));
    if (settings == LoopbackSettings) {
        QSettings file(settingsFile(), QSettings::IniFormat);
        file.setValue(QStringLiteral("SystemConfig/IPAddress"), QStringLiteral("127.0.0.1"));
    }
    MainWindow::setApplicationDirOverride(dir.path());
}

AppFolder::~AppFolder()
{
    MainWindow::setApplicationDirOverride(QString());
}
