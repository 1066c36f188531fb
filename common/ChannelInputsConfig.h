#ifndef CHANNELINPUTSCONFIG_H
#define CHANNELINPUTSCONFIG_H

#include <QMetaType>
#include <QString>

// Sensor per channel: the base name of its calibration file, or "未设置".
struct ChannelInputsConfig
{
    QString HxInputNum;
    QString HyInputNum;
    QString E0InputNum;
    QString E1InputNum;
    QString E2InputNum;
};

Q_DECLARE_METATYPE(ChannelInputsConfig)

#endif // CHANNELINPUTSCONFIG_H
