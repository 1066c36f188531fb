#include "projectdata/StationConfigRow.h"

#include "projectdata/StationNumberText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include <functional>

namespace {

const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
const QString notSet = QStringLiteral("未设置");
const QString noFile = QStringLiteral("0");
const QStringList electrodeTexts = {QStringLiteral("极化电极"), QStringLiteral("不极化电极")};
const QStringList modeTexts = {QStringLiteral("标量"),   QStringLiteral("矢量"),   QStringLiteral("共点多极化"),
                               QStringLiteral("平行实验"), QStringLiteral("多极化"), QStringLiteral("水上实验")};
const QStringList channelTags = {QStringLiteral("Hx"), QStringLiteral("Hy"), QStringLiteral("E0"), QStringLiteral("E1"),
                                 QStringLiteral("E2")};
const QString sep = QStringLiteral("    ");
constexpr int firstFileCell = 22;

// A cell that keeps the row's positions: never empty, no whitespace inside.
QString cell(const QString &text, const QString &emptyText = notSet)
{
    if (text.trimmed().isEmpty())
        return emptyText;
    static const QRegularExpression space(QStringLiteral("\\s"));
    return QString(text.trimmed()).replace(space, QStringLiteral("_"));
}

QString real(double value)
{
    return QString::number(value, 'g', 6);
}

QString flag(bool used)
{
    return used ? QStringLiteral("1") : QStringLiteral("0");
}

// The text of a code, or its decimal value when the code has none.
QString codeText(const QStringList &texts, int code)
{
    return code >= 0 && code < texts.size() ? texts.at(code) : QString::number(code);
}

QStringList fileCells(const QList<QFile *> &files)
{
    QStringList cells;
    for (int i = 0; i < channelTags.size(); ++i)
        cells << noFile;
    for (const QFile *file : files) {
        if (!file)
            continue;
        const QString name = QFileInfo(file->fileName()).fileName();
        for (int i = 0; i < channelTags.size(); ++i) {
            if (name.contains(channelTags.at(i)))
                cells[i] = cell(name, noFile);
        }
    }
    return cells;
}

int toInt(const QString &text)
{
    return text.toInt(nullptr, 10);
}

void readDuration(const QString &text, CtrlParam &ctrl)
{
    const int hourMark = text.indexOf(QStringLiteral("时"));
    const int minuteMark = text.indexOf(QStringLiteral("分"));
    const int secondMark = text.indexOf(QStringLiteral("秒"));
    if (hourMark >= 0)
        ctrl.SampleTimeHour = toInt(text.left(hourMark));
    if (hourMark >= 0 && minuteMark > hourMark)
        ctrl.SampleTimeMinute = toInt(text.mid(hourMark + 1, minuteMark - hourMark - 1));
    if (minuteMark >= 0 && secondMark > minuteMark)
        ctrl.SampleTimeSecond = toInt(text.mid(minuteMark + 1, secondMark - minuteMark - 1));
}

void readCode(const QStringList &texts, const QString &token, qint32 &code)
{
    const int index = texts.indexOf(token);
    if (index >= 0)
        code = index;
}

void readStartTime(const QString &date, const QString &time, int &startTime)
{
    const QDateTime when = QDateTime::fromString(date + QLatin1Char(' ') + time, timeFormat);
    if (when.isValid())
        startTime = int(when.toSecsSinceEpoch());
}

// Applies each present cell from position first on to its field.
template <class Apply>
void forCells(const QStringList &cells, int first, const std::initializer_list<Apply> &fields)
{
    int position = first;
    for (const Apply &apply : fields) {
        if (position < cells.size())
            apply(cells.at(position));
        ++position;
    }
}

} // namespace

namespace StationConfigRow {

QString stationHeader()
{
    return QStringList{QStringLiteral("仪器ID号"), QStringLiteral("    工程名    "), QStringLiteral("    线号    "),
                       QStringLiteral("    点号    "), QStringLiteral("    经度    "), QStringLiteral("    纬度    "),
                       QStringLiteral("    高程    ")}
        .join(QString());
}

QString recordingHeader()
{
    QStringList parts{QStringLiteral("编号")};
    for (const char *name : {"Hx使能", "Hy使能", "E0使能", "E1使能", "E2使能", "Hx磁棒编号", "Hy磁棒编号", "E0电极编号",
                             "E1电极编号", "E2电极编号", "磁场增益", "电场增益", "E0极距", "E1极距", "E2极距", "采样率",
                             "采样时间", "电极类型", "观测装置", "起始时间"})
        parts << QLatin1Char(' ') + QString::fromUtf8(name) + QLatin1Char(' ');
    for (const char *name : {"Hx原始数据文件名", "Hy原始数据文件名", "E0原始数据文件名", "E1原始数据文件名",
                             "E2原始数据文件名", "斩波开关"})
        parts << QStringLiteral("  ") + QString::fromUtf8(name) + QStringLiteral("  ");
    return parts.join(QString());
}

QString stationRow(const StationFields &station, const SampleInfo &recording)
{
    const QString wide = sep + sep;
    return QString::number(station.machineId) + sep + cell(station.projectName) + sep
           + QString::number(recording.LineNum) + wide + StationNumberText::text(recording.StationNum) + wide
           + real(station.position.longitude) + wide + real(station.position.latitude) + wide
           + real(station.position.elevation) + sep;
}

QString recordingRow(int number, const SampleInfo &recording)
{
    const CtrlParam &c = recording.ctrlParam;
    const ChannelInputsConfig &in = recording.inputs;
    QString row = QString::number(number) + QStringLiteral("  ");
    row += flag(c.HxChannelIsUse) + sep + flag(c.HyChannelIsUse) + sep + flag(c.E0ChannelIsUse) + sep
           + flag(c.E1ChannelIsUse) + sep + flag(c.E2ChannelIsUse) + QStringLiteral("      ");
    for (const QString &name : {in.HxInputNum, in.HyInputNum, in.E0InputNum, in.E1InputNum, in.E2InputNum})
        row += cell(name) + sep;
    row += QString::number(c.HGain) + sep + QString::number(c.EGain) + sep;
    row += real(c.E0PoleDistance) + sep + real(c.E1PoleDistance) + sep + real(c.E2PoleDistance) + sep;
    row += QString::number(c.SampleRate) + sep;
    row += QStringLiteral("%1时%2分%3秒").arg(c.SampleTimeHour).arg(c.SampleTimeMinute).arg(c.SampleTimeSecond) + sep;
    row += codeText(electrodeTexts, c.ElectrodeType) + sep + codeText(modeTexts, recording.WatchMachineMode) + sep;
    row += QDateTime::fromSecsSinceEpoch(recording.SampleStartTime).toString(timeFormat) + sep;
    for (const QString &file : fileCells(recording.channelFiles))
        row += file + sep;
    return row + QString::number(c.Chopper) + sep;
}

QStringList tokens(const QString &line)
{
    static const QRegularExpression whitespace(QStringLiteral("[\\s]+"));
    const QString simple = line.simplified();
    return simple.isEmpty() ? QStringList() : simple.split(whitespace);
}

void readStationRow(const QStringList &cells, StationFields &station, SampleInfo &recording)
{
    using Field = std::function<void(const QString &)>;
    forCells<Field>(cells, 0,
                    {[&](const QString &t) { station.machineId = recording.MachineID = toInt(t); },
                     [&](const QString &t) { station.projectName = t; },
                     [&](const QString &t) { recording.LineNum = toInt(t); },
                     [&](const QString &t) { recording.StationNum = t.toDouble(); },
                     [&](const QString &t) { station.position.longitude = t.toDouble(); },
                     [&](const QString &t) { station.position.latitude = t.toDouble(); },
                     [&](const QString &t) { station.position.elevation = t.toDouble(); }});
}

void readRecordingRow(const QStringList &cells, SampleInfo &recording)
{
    using Field = std::function<void(const QString &)>;
    CtrlParam &c = recording.ctrlParam;
    ChannelInputsConfig &in = recording.inputs;
    forCells<Field>(cells, 1,
                    {[&](const QString &t) { c.HxChannelIsUse = toInt(t) != 0; },
                     [&](const QString &t) { c.HyChannelIsUse = toInt(t) != 0; },
                     [&](const QString &t) { c.E0ChannelIsUse = toInt(t) != 0; },
                     [&](const QString &t) { c.E1ChannelIsUse = toInt(t) != 0; },
                     [&](const QString &t) { c.E2ChannelIsUse = toInt(t) != 0; },
                     [&](const QString &t) { in.HxInputNum = t; }, [&](const QString &t) { in.HyInputNum = t; },
                     [&](const QString &t) { in.E0InputNum = t; }, [&](const QString &t) { in.E1InputNum = t; },
                     [&](const QString &t) { in.E2InputNum = t; }, [&](const QString &t) { c.HGain = toInt(t); },
                     [&](const QString &t) { c.EGain = toInt(t); },
                     [&](const QString &t) { c.E0PoleDistance = t.toDouble(); },
                     [&](const QString &t) { c.E1PoleDistance = t.toDouble(); },
                     [&](const QString &t) { c.E2PoleDistance = t.toDouble(); },
                     [&](const QString &t) { c.SampleRate = toInt(t); },
                     [&](const QString &t) { readDuration(t, c); },
                     [&](const QString &t) { readCode(electrodeTexts, t, c.ElectrodeType); },
                     [&](const QString &t) { readCode(modeTexts, t, recording.WatchMachineMode); }});
    if (cells.size() > 21)
        readStartTime(cells.at(20), cells.at(21), recording.SampleStartTime);
}

bool channelFileNames(const QStringList &cells, QStringList &names)
{
    names.clear();
    if (cells.size() <= firstFileCell)
        return false;
    for (int i = firstFileCell; i < cells.size() - 1; ++i) {
        if (cells.at(i) != noFile)
            names << cells.at(i);
    }
    return true;
}

} // namespace StationConfigRow
