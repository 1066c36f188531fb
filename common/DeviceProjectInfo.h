#ifndef DEVICEPROJECTINFO_H
#define DEVICEPROJECTINFO_H

#include <QList>
#include <QMetaType>
#include <QString>

// A line of a project stored on the instrument.
struct DeviceLineInfo
{
    int lineNum = 0;
    QList<double> stations;
};

// A project stored on the instrument, as the read-back dialog reads it from the listings.
struct DeviceProjectInfo
{
    QString projectName;
    QString projectId;
    QList<DeviceLineInfo> lines;
};

Q_DECLARE_METATYPE(DeviceLineInfo)
Q_DECLARE_METATYPE(DeviceProjectInfo)

#endif // DEVICEPROJECTINFO_H
