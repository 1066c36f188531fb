#include "projectdata/StationTaskText.h"

#include "common/Global_Variables.h"

#include <QTextStream>

namespace {

void writeLine(QTextStream &out, const QByteArray &key, const QString &value)
{
    out << key << value << '\n';
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

void writeChannel(QTextStream &out, int number, bool used, const QString &input, int code)
{
    const QByteArray prefix = "CH" + QByteArray::number(number);
    writeLine(out, prefix + "ChannelIsUse=", flag(used));
    writeLine(out, prefix + "InputNum=", input);
    writeLine(out, prefix + "Gain=", QString::number(code));
}

void writeTask(QTextStream &out, const SampleInfo &task, bool online, int groupId)
{
    const CtrlParam &p = task.ctrlParam;
    const int hCode = StationTaskText::gainCode(p.SampleRate, p.HGain);
    const int eCode = StationTaskText::gainCode(p.SampleRate, p.EGain);
    writeLine(out, "GroupID=", QString::number(groupId));
    writeChannel(out, 1, p.HxChannelIsUse, task.inputs.HxInputNum, hCode);
    writeChannel(out, 2, p.HyChannelIsUse, task.inputs.HyInputNum, hCode);
    writeChannel(out, 3, p.E2ChannelIsUse, task.inputs.E2InputNum, eCode);
    writeChannel(out, 4, p.E1ChannelIsUse, task.inputs.E1InputNum, eCode);
    writeChannel(out, 5, p.E0ChannelIsUse, task.inputs.E0InputNum, eCode);
    out << "PoleDistance1=" << p.E0PoleDistance << '\n';
    out << "PoleDistance2=" << p.E1PoleDistance << '\n';
    out << "PoleDistance3=" << p.E2PoleDistance << '\n';
    writeLine(out, "SampleRate=", QString::number(p.SampleRate));
    const qint64 seconds = qint64(p.SampleTimeHour) * 3600 + qint64(p.SampleTimeMinute) * 60 + p.SampleTimeSecond;
    writeLine(out, "SampleTime=", QString::number(seconds));
    writeLine(out, "InputShortCircuit=", QStringLiteral("0"));
    writeLine(out, "OnLineSelect=", flag(online));
    writeLine(out, "SampleStartTime=", QString::number(p.SampleStartTime));
    writeLine(out, "ElectrodeType=", QString::number(p.ElectrodeType));
    writeLine(out, "Chopper=", QString::number(p.Chopper));
    writeLine(out, "WatchMachineMode=", QString::number(task.WatchMachineMode));
}

} // namespace

namespace StationTaskText {

int gainCode(int sampleRate, int gain)
{
    const bool high = sampleRate >= 57800;
    const QList<int> &gains = high ? currentHighRateGainList : currentLowRateGainList;
    const QList<int> &codes = high ? currentHighRateGainCodeList : currentLowRateGainCodeList;
    const int index = qMax(0, gains.indexOf(gain));
    return index < codes.size() ? codes.at(index) : 0;
}

QByteArray build(const StationSampleInfo &station, bool online, int existingGroups)
{
    QByteArray text;
    QTextStream out(&text, QIODevice::WriteOnly);
    out.setCodec("UTF-8");
    writeLine(out, "MachineID=", QStringLiteral("0"));
    writeLine(out, "ProjectNum=", station.ProjectId);
    writeLine(out, "LineNum=", QString::number(station.LineNum));
    writeLine(out, "StationNum=", QString::number(qint64(station.StationNum)));
    writeLine(out, "GPS_Latitude=", QStringLiteral("0"));
    writeLine(out, "GPS_Longtitude=", QStringLiteral("0"));
    writeLine(out, "GPS_Elevation=", QStringLiteral("0"));
    for (int k = 0; k < station.sampleInfoList.size(); ++k)
        writeTask(out, station.sampleInfoList.at(k), online, existingGroups + k + 1);
    out.flush();
    return text;
}

} // namespace StationTaskText
