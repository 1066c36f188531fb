#ifndef APPFOLDER_H
#define APPFOLDER_H

#include <QTemporaryDir>

// A window's own application folder for one test: the main window built while it lives reads
// and writes "systemConfig.ini" and "TempFile" here, and finds an empty "InputCalibration".
// Unless told otherwise the settings file names the instrument at 127.0.0.1.
class AppFolder
{
public:
    enum Settings { LoopbackSettings, NoSettings };
    explicit AppFolder(Settings settings = LoopbackSettings);
    ~AppFolder();

    QString path() const { return dir.path(); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("systemConfig.ini")); }

private:
    QTemporaryDir dir;
    QString previousAppDirPath;
};

#endif // APPFOLDER_H
