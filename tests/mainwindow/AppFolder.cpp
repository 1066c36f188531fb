#include "AppFolder.h"

#include "common/Global_Variables.h"

#include <QDir>
#include <QSettings>

AppFolder::AppFolder(Settings settings)
    : previousAppDirPath(appDirPath)
{
    // The sensor dialog lists the calibration tables found here.
    QDir(dir.path()).mkdir(QStringLiteral("InputCalibration"));
    if (settings == LoopbackSettings) {
        QSettings file(settingsFile(), QSettings::IniFormat);
        file.setValue(QStringLiteral("SystemConfig/IPAddress"), QStringLiteral("127.0.0.1"));
    }
    appDirPath = dir.path();
}

AppFolder::~AppFolder()
{
    appDirPath = previousAppDirPath;
}
