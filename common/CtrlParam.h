#ifndef CTRLPARAM_H
#define CTRLPARAM_H

#include <QList>
#include <QMetaType>

// One sampling task: one frequency group of a station's recording. A station is sampled by
// running a QList<CtrlParam> task by task, in list order. Producers set every field; the
// zero initialisers only keep a forgotten field from holding garbage.
struct CtrlParam
{
    bool HxChannelIsUse = false;
    bool HyChannelIsUse = false;
    bool E0ChannelIsUse = false;
    bool E1ChannelIsUse = false;
    bool E2ChannelIsUse = false;
    qint32 EGain = 0;             // gain factor of the electric channels
    qint32 HGain = 0;             // gain factor of the magnetic channels
    double E0PoleDistance = 0.0;  // metres
    double E1PoleDistance = 0.0;
    double E2PoleDistance = 0.0;
    qint32 SampleRate = 0;        // Hz
    qint32 SampleTimeHour = 0;    // duration = 3600 h + 60 min + s
    qint32 SampleTimeMinute = 0;
    qint32 SampleTimeSecond = 0;
    qint32 SampleStartTime = 0;   // seconds since the epoch (UTC); 0 = no planned start
    qint32 ElectrodeType = 0;     // 0 polarising, 1 non-polarising electrodes
    qint32 Chopper = 0;           // 1 chopper on; only for rates up to 10000 Hz

    bool operator==(const CtrlParam &other) const
    {
        return HxChannelIsUse == other.HxChannelIsUse && HyChannelIsUse == other.HyChannelIsUse
               && E0ChannelIsUse == other.E0ChannelIsUse && E1ChannelIsUse == other.E1ChannelIsUse
               && E2ChannelIsUse == other.E2ChannelIsUse && EGain == other.EGain && HGain == other.HGain
               && E0PoleDistance == other.E0PoleDistance && E1PoleDistance == other.E1PoleDistance
               && E2PoleDistance == other.E2PoleDistance && SampleRate == other.SampleRate
               && SampleTimeHour == other.SampleTimeHour && SampleTimeMinute == other.SampleTimeMinute
               && SampleTimeSecond == other.SampleTimeSecond && SampleStartTime == other.SampleStartTime
               && ElectrodeType == other.ElectrodeType && Chopper == other.Chopper;
    }
    bool operator!=(const CtrlParam &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(CtrlParam)

#endif // CTRLPARAM_H
