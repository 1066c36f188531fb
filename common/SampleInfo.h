#ifndef SAMPLEINFO_H
#define SAMPLEINFO_H

#include "common/ChannelInputsConfig.h"
#include "common/CtrlParam.h"
#include "common/OneFreqImpedance.h"

#include <QFile>
#include <QList>
#include <QMetaType>

// One recording: one frequency group of one station, copied by value everywhere. The QFile
// objects behind channelFiles are shared by all copies and owned elsewhere (the project tree's
// file registry); a SampleInfo never opens, closes or deletes them.
struct SampleInfo
{
    int MachineID = 0;
    int LineNum = 0;
    double StationNum = 0.0;
    ChannelInputsConfig inputs;
    CtrlParam ctrlParam;
    int SampleStartTime = 0;   // actual start, seconds since the epoch
    int WatchMachineMode = 0;  // index into watchMachineModeList
    QList<QFile *> channelFiles;
    QList<ChannelImpedance> impedance;
};

Q_DECLARE_METATYPE(SampleInfo)

#endif // SAMPLEINFO_H
