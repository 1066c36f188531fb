#include "projectdata/ProjectFolder.h"

#include "projectdata/StationNumberText.h"

#include <QDir>
#include <QSaveFile>

bool makeDirIfMissing(const QString &path)
{
    return QDir(path).exists() || QDir().mkdir(path);
}

namespace ProjectFolder {

QString stationFolderPath(const QString &dataDir, int lineNum, double stationNum)
{
    return dataDir + QStringLiteral("/Line %1").arg(lineNum)
           + QStringLiteral("/Station %1").arg(StationNumberText::text(stationNum));
}

QByteArray projectConfigText(const ProjectConfig &config)
{
    const QString date = config.ProjectDate.isValid() ? config.ProjectDate.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    const QString text = QStringLiteral("ProjectID=") + config.ProjectId + QStringLiteral("\r\nProjectName=")
                         + config.ProjectName + QStringLiteral("\r\nProjectAddress=") + config.ProjectAddress
                         + QStringLiteral("\r\nProjectDate=") + date + QStringLiteral("\r\nOperatorName=")
                         + config.OperatorName + QStringLiteral("\r\n");
    return text.toUtf8();
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

bool writeProjectConfigFile(const QString &path, const ProjectConfig &config)
{
    return writeWhole(path, projectConfigText(config));
}

} // namespace ProjectFolder
