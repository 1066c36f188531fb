#ifndef STATIONSAMPLEINFO_H
#define STATIONSAMPLEINFO_H

#include "common/SampleInfo.h"

#include <QList>
#include <QMetaType>
#include <QString>

// The station of a run: who records it, where, and one recording description per task.
struct StationSampleInfo
{
    int MachineID = 0;
    QString ProjectName;
    QString ProjectId;
    int LineNum = 0;
    double StationNum = 0.0;
    double GPS_Latitude = 0.0;
    double GPS_Longtitude = 0.0;
    double GPS_Elevation = 0.0;
    QList<SampleInfo> sampleInfoList;
};

Q_DECLARE_METATYPE(StationSampleInfo)

#endif // STATIONSAMPLEINFO_H
