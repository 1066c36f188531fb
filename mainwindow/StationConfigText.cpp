#include "mainwindow/StationConfigText.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"

#include <QStringList>
#include <QTextStream>

#include <functional>

namespace {

const char *const unsetSensorName = "未设置";
constexpr int firstHighRate = 57800;

int toInt(const QString &value) { return value.trimmed().toInt(); }
double toDouble(const QString &value) { return value.trimmed().toDouble(); }

// A sensor name ends up in file names and the database: only a plain label is kept.
QString checkedSensorName(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1String("..")))
        return QString::fromUtf8(unsetSensorName);
    for (const QChar c : name) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return QString::fromUtf8(unsetSensorName);
    }
    return name;
}

int gainForCode(int code, const QList<int> &codes, const QList<int> &gains)
{
    if (gains.isEmpty())
        return 0;
    const int at = codes.indexOf(code);
    return at >= 0 && at < gains.size() ? gains.at(at) : gains.first();
}

void convertGains(CtrlParam &param, const GainTables &tables)
{
    const bool low = param.SampleRate < firstHighRate;
    const QList<int> &codes = low ? tables.lowCodes : tables.highCodes;
    const QList<int> &gains = low ? tables.lowGains : tables.highGains;
    param.EGain = gainForCode(param.EGain, codes, gains);
    param.HGain = gainForCode(param.HGain, codes, gains);
}

void setDuration(CtrlParam &param, int seconds)
{
    param.SampleTimeHour = seconds / 3600;
    param.SampleTimeMinute = (seconds % 3600) / 60;
    param.SampleTimeSecond = seconds % 60;
}

struct GroupContext
{
    SampleInfo &group;
    const GainTables &gains;
};

using KeyAction = std::function<void(GroupContext &, const QString &)>;
struct GroupKey
{
    const char *key;
    KeyAction apply;
};

// The group keys in the order a line is searched for them; "GroupID=" is handled apart.
const QList<GroupKey> &groupKeys()
{
    static const QList<GroupKey> keys = {
        {"CH1ChannelIsUse=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.HxChannelIsUse = toInt(v) != 0; }},
        {"CH2ChannelIsUse=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.HyChannelIsUse = toInt(v) != 0; }},
        {"CH3ChannelIsUse=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E2ChannelIsUse = toInt(v) != 0; }},
        {"CH4ChannelIsUse=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E1ChannelIsUse = toInt(v) != 0; }},
        {"CH5ChannelIsUse=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E0ChannelIsUse = toInt(v) != 0; }},
        {"CH1InputNum=", [](GroupContext &c, const QString &v) { c.group.inputs.HxInputNum = checkedSensorName(v); }},
        {"CH2InputNum=", [](GroupContext &c, const QString &v) { c.group.inputs.HyInputNum = checkedSensorName(v); }},
        {"CH3InputNum=", [](GroupContext &c, const QString &v) { c.group.inputs.E2InputNum = checkedSensorName(v); }},
        {"CH4InputNum=", [](GroupContext &c, const QString &v) { c.group.inputs.E1InputNum = checkedSensorName(v); }},
        {"CH5InputNum=", [](GroupContext &c, const QString &v) { c.group.inputs.E0InputNum = checkedSensorName(v); }},
        {"CH1Gain=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.HGain = toInt(v); }},
        {"CH2Gain=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.HGain = toInt(v); }},
        {"CH3Gain=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.EGain = toInt(v); }},
        {"CH4Gain=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.EGain = toInt(v); }},
        {"CH5Gain=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.EGain = toInt(v); }},
        {"PoleDistance1=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E0PoleDistance = toDouble(v); }},
        {"PoleDistance2=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E1PoleDistance = toDouble(v); }},
        {"PoleDistance3=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.E2PoleDistance = toDouble(v); }},
        {"SampleRate=", [](GroupContext &c, const QString &v) {
             c.group.ctrlParam.SampleRate = toInt(v);
             convertGains(c.group.ctrlParam, c.gains);
         }},
        {"SampleTime=", [](GroupContext &c, const QString &v) { setDuration(c.group.ctrlParam, toInt(v)); }},
        {"InputShortCircuit=", [](GroupContext &, const QString &) {}},
        {"OnLineSelect=", [](GroupContext &, const QString &) {}},
        {"SampleStartTime=", [](GroupContext &c, const QString &v) { c.group.SampleStartTime = toInt(v); }},
        {"ElectrodeType=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.ElectrodeType = toInt(v); }},
        {"Chopper=", [](GroupContext &c, const QString &v) { c.group.ctrlParam.Chopper = toInt(v); }},
        {"WatchMachineMode=", [](GroupContext &c, const QString &v) { c.group.WatchMachineMode = toInt(v); }},
    };
    return keys;
}

QStringList textLines(const QByteArray &text)
{
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QString headValue(const QStringList &lines, int index, const char *key)
{
    return index < lines.size() ? QString(lines.at(index)).remove(QLatin1String(key)) : QString();
}

void readHead(StationConfigText &text, const QStringList &lines)
{
    StationSampleInfo &station = text.station;
    station.MachineID = toInt(headValue(lines, 0, "MachineID="));
    text.ProjectNum = headValue(lines, 1, "ProjectNum=").simplified();
    station.LineNum = toInt(headValue(lines, 2, "LineNum="));
    station.StationNum = toDouble(headValue(lines, 3, "StationNum="));
    station.GPS_Latitude = toDouble(headValue(lines, 4, "GPS_Latitude="));
    station.GPS_Longtitude = toDouble(headValue(lines, 5, "GPS_Longtitude="));
    station.GPS_Elevation = toDouble(headValue(lines, 6, "GPS_Elevation="));
}

void applyGroupLine(QList<SampleInfo> &groups, const QString &line, int currentGroup, const GainTables &gains)
{
    for (const GroupKey &entry : groupKeys()) {
        const QLatin1String key(entry.key);
        if (!line.contains(key))
            continue;
        if (currentGroup < 1 || currentGroup > groups.size())
            return;
        GroupContext context{groups[currentGroup - 1], gains};
        entry.apply(context, QString(line).remove(key));
        return;
    }
}

// Why the group cannot be stored, empty when it can.
QString groupRejection(const SampleInfo &group)
{
    const CtrlParam &param = group.ctrlParam;
    if (!sampleRateList.contains(param.SampleRate))
        return QString::fromUtf8("采样率%1无效").arg(param.SampleRate);
    if (group.WatchMachineMode < 0 || group.WatchMachineMode >= watchMachineModeList.size())
        return QString::fromUtf8("观测模式%1无效").arg(group.WatchMachineMode);
    if (param.SampleTimeHour < 0 || param.SampleTimeMinute < 0 || param.SampleTimeSecond < 0)
        return QString::fromUtf8("采样时长无效");
    return QString();
}

} // namespace

QByteArray exportRequestText(const QString &projectId, int lineNum, double stationNum)
{
    QString text;
    QTextStream stream(&text);
    stream << "ProjectID=" << projectId << "\r\n"
           << "LineNum=" << lineNum << "\r\n"
           << "StationNum=" << stationNum << "\r\n";
    stream.flush();
    return text.toUtf8();
}

GainTables currentGainTables()
{
    return {currentLowRateGainCodeList, currentLowRateGainList, currentHighRateGainCodeList,
            currentHighRateGainList};
}

StationConfigText parseStationConfigText(const QByteArray &text, const GainTables &gains)
{
    StationConfigText parsed;
    const QStringList lines = textLines(text);
    readHead(parsed, lines);
    const StationSampleInfo &station = parsed.station;
    QList<SampleInfo> groups;
    SampleInfo groupTemplate;
    groupTemplate.MachineID = station.MachineID;
    groupTemplate.LineNum = station.LineNum;
    groupTemplate.StationNum = station.StationNum;
    int currentGroup = 1;
    const QLatin1String groupKey("GroupID=");
    for (int i = 7; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.contains(groupKey)) {
            groups.append(groupTemplate);
            currentGroup = toInt(QString(line).remove(groupKey));
            continue;
        }
        applyGroupLine(groups, line, currentGroup, gains);
    }
    for (const SampleInfo &group : qAsConst(groups)) {
        parsed.rejection = groupRejection(group);
        if (!parsed.rejection.isEmpty())
            break;
    }
    parsed.station.sampleInfoList = groups;
    return parsed;
}
