#include "mainwindow/StationInfoTexts.h"

#include "mainwindow/NumberText.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Form_StationInfo", text);
}

} // namespace

const QString noValueText = QStringLiteral("—");
const QString noSampleRateText = QStringLiteral("—Hz");
const QString noSampleTimeText = QStringLiteral("—时—分—秒");
const QString noGainText = QStringLiteral("H:—倍  E:—倍");
const QString noPoleDistanceText = QStringLiteral("E<sub>0</sub>:-m E<sub>1</sub>:-m E<sub>2</sub>:-m");

QString stationInfoModeWord(int mode)
{
    switch (mode) {
    case 0:
        return tr("标量");
    case 1:
        return tr("矢量");
    case 2:
        return tr("共点多极化");
    case 3:
        return tr("全通道");
    case 4:
        return tr("多极化");
    case 5:
        return tr("水上实验");
    default:
        return tr("未知");
    }
}

SamplingTexts samplingTexts(const CtrlParam &task)
{
    SamplingTexts texts;
    texts.sampleRate = QStringLiteral("%1 Hz ").arg(task.SampleRate);
    texts.sampleTime = QStringLiteral("%1时%2分%3秒 ")
                           .arg(task.SampleTimeHour)
                           .arg(task.SampleTimeMinute)
                           .arg(task.SampleTimeSecond);
    texts.gain = QStringLiteral("H:%1倍 E:%2倍").arg(task.HGain).arg(task.EGain);
    texts.poleDistance = QStringLiteral("E<sub>0</sub>:%1m E<sub>1</sub>:%2m E<sub>2</sub>:%3m")
                             .arg(sixDigitText(task.E0PoleDistance),
                                  sixDigitText(task.E1PoleDistance),
                                  sixDigitText(task.E2PoleDistance));
    return texts;
}
