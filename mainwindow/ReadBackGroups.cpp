#include "mainwindow/ReadBackGroups.h"

#include "mainwindow/RunTransferRules.h"
#include "projectdata/StationConfigFile.h"

#include <QCoreApplication>

namespace {

constexpr int channelCount = 5;

// A group and a stored recording are the same sampling when rate and start time agree; the
// group index is not kept, since a run that lost a group numbers its saved rows anew.
bool sameSampling(const SampleInfo &group, const SampleInfo &stored)
{
    return group.ctrlParam.SampleRate == stored.ctrlParam.SampleRate
           && group.SampleStartTime == stored.SampleStartTime;
}

unsigned usedChannels(const CtrlParam &task)
{
    unsigned bits = 0;
    for (int channel = 0; channel < channelCount; ++channel)
        bits |= taskUsesChannel(task, channel) ? 1u << channel : 0u;
    return bits;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

void ReadBackGroups::start(const QList<SampleInfo> &stationGroups, const QList<SampleInfo> &stored)
{
    clear();
    groups = stationGroups;
    QList<SampleInfo> unmatched = stored;
    for (const SampleInfo &group : stationGroups) {
        int held = -1;
        for (int i = 0; i < unmatched.size() && held < 0; ++i)
            held = sameSampling(group, unmatched.at(i)) ? i : -1;
        if (held >= 0)
            unmatched.removeAt(held);
        states.append(held >= 0 ? State::Held : State::Wanted);
    }
}

void ReadBackGroups::clear()
{
    groups.clear();
    states.clear();
    current = 0;
    arrived = 0;
}

int ReadBackGroups::wantedCount() const
{
    return int(states.count(State::Wanted));
}

ReadBackGroups::Block ReadBackGroups::take(int channel, int index, qint64 dataLength)
{
    if (index != groupIndex() || current >= groups.size())
        return Block::Ignored;
    const CtrlParam &task = groups.at(current).ctrlParam;
    if (!taskUsesChannel(task, channel) || (arrived & (1u << channel)))
        return Block::Ignored;
    const unsigned bit = 1u << channel;
    arrived |= bit;
    if (states.at(current) == State::Held)
        return Block::Held;
    if (states.at(current) == State::Cut)
        return Block::Ignored;
    if (!blockCutShort(task, dataLength))
        return Block::Keep;
    states[current] = State::Cut;
    return Block::Cut;
}

bool ReadBackGroups::whole() const
{
    return current < groups.size() && arrived == usedChannels(groups.at(current).ctrlParam);
}

bool ReadBackGroups::wanted() const
{
    return current < states.size() && states.at(current) == State::Wanted;
}

bool ReadBackGroups::cut() const
{
    return current < states.size() && states.at(current) == State::Cut;
}

bool ReadBackGroups::next()
{
    arrived = 0;
    if (current < groups.size())
        ++current;
    return current < groups.size();
}

QList<SampleInfo> ReadBackGroups::keptGroups() const
{
    return keptGroupsBefore(groups.size());
}

QList<SampleInfo> ReadBackGroups::keptGroupsSoFar() const
{
    return keptGroupsBefore(current);
}

QList<SampleInfo> ReadBackGroups::keptGroupsBefore(int position) const
{
    QList<SampleInfo> kept;
    for (int i = 0; i < position && i < groups.size(); ++i) {
        if (states.at(i) == State::Wanted)
            kept.append(groups.at(i));
    }
    return kept;
}

QStringList ReadBackGroups::cutGroupNames() const
{
    QStringList names;
    for (int i = 0; i < groups.size(); ++i) {
        if (states.at(i) == State::Cut)
            names << tr("第%1组（%2Hz）").arg(i + 1).arg(groups.at(i).ctrlParam.SampleRate);
    }
    return names;
}

QList<SampleInfo> stationRecordings(const QString &configPath)
{
    QList<QStringList> rows;
    if (!StationConfigFile::recordingRows(configPath, rows))
        return {};
    QList<SampleInfo> recordings;
    for (const QStringList &cells : qAsConst(rows)) {
        SampleInfo recording;
        StationConfigRow::readRecordingRow(cells, recording);
        recordings.append(recording);
    }
    return recordings;
}

QString readBackShortfallText(const QStringList &unsavedStations, const QStringList &cutGroups)
{
    QString text;
    if (!unsavedStations.isEmpty())
        text = tr("数据导出完成，%1个测点保存失败！").arg(unsavedStations.size()) + "\n" + unsavedStations.join("\n");
    if (cutGroups.isEmpty())
        return text;
    const QString cut = tr("%1个频组数据不完整，未保存：").arg(cutGroups.size()) + "\n" + cutGroups.join("\n");
    return text.isEmpty() ? tr("数据导出完成，") + cut : text + "\n" + cut;
}
