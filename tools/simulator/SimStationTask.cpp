#include "tools/simulator/SimStationTask.h"

#include "tools/simulator/SimText.h"

#include "common/Global_Constants.h"

#include <algorithm>

namespace {

// CH1 to CH5 as 0 to 4, or -1 when key is not "CH<n><suffix>".
int channelOf(const QByteArray &key, const char *suffix)
{
    const QByteArray tail(suffix);
    if (!key.startsWith("CH") || !key.endsWith(tail) || key.size() != 3 + tail.size())
        return -1;
    const int channel = key[2] - '1';
    return channel >= 0 && channel < 5 ? channel : -1;
}

// PoleDistance1 to PoleDistance3 as 0 to 2, else -1.
int dipoleOf(const QByteArray &key)
{
    if (!key.startsWith("PoleDistance") || key.size() != 13)
        return -1;
    const int index = key[12] - '1';
    return index >= 0 && index < 3 ? index : -1;
}

void applyGroupKey(SimGroupTask *group, const QByteArray &key, const QByteArray &value)
{
    const int number = value.trimmed().toInt();
    const int used = channelOf(key, "ChannelIsUse"), gain = channelOf(key, "Gain"), dipole = dipoleOf(key);
    if (used >= 0) {
        group->channels[size_t(used)] = number != 0;
    } else if (gain >= 0) {
        group->gainCodes[size_t(gain)] = number;
    } else if (dipole >= 0) {
        group->dipoleLengths[size_t(dipole)] = value.trimmed().toDouble();
    } else if (key == "WatchMachineMode") {
        group->watchMode = number;
    } else if (key == "SampleRate") {
        group->sampleRate = number;
    } else if (key == "SampleTime") {
        group->sampleTime = number;
    } else if (key == "SampleStartTime") {
        group->plannedStart = number;
    } else if (key == "OnLineSelect") {
        group->online = number != 0;
    }
}

} // namespace

SimStationKey SimStationKey::fromSelection(const QByteArray &text)
{
    SimStationKey key;
    for (const auto &kv : SimText::keyValues(text)) {
        if (kv.first == "ProjectID" || kv.first == "ProjectNum")
            key.projectId = QString::fromUtf8(kv.second.trimmed());
        else if (kv.first == "LineNum")
            key.line = kv.second.trimmed().toInt();
        else if (kv.first == "StationNum")
            key.station = int(kv.second.trimmed().toDouble());
    }
    return key;
}

qint64 SimGroupTask::blockBytes(qint64 fallback, qint64 limit) const
{
    const qint64 bytes = qint64(sampleRate) * sampleTime * 4;
    return std::min(bytes > 0 ? bytes : fallback, limit);
}

int SimGroupTask::gain(int channel) const
{
    // The host picks the high-rate codes from 57800 Hz on.
    const bool high = sampleRate >= 57800;
    const QList<int> &codes = high ? highRateGainCodeList : lowRateGainCodeList;
    const QList<int> &gains = high ? highRateGainList : lowRateGainList;
    const int index = codes.indexOf(gainCodes[size_t(channel)]);
    return index >= 0 ? gains[index] : 1;
}

bool SimStationTask::parse(const QByteArray &text, SimStationTask *task)
{
    SimStationTask parsed;
    parsed.key = SimStationKey::fromSelection(text);
    for (const auto &kv : SimText::keyValues(text)) {
        if (kv.first == "GroupID") {
            SimGroupTask group;
            group.groupId = kv.second.trimmed().toInt();
            parsed.groups.append(group);
            continue;
        }
        if (parsed.groups.isEmpty())
            continue;
        SimGroupTask &group = parsed.groups.last();
        group.lines.append(kv.first + '=' + kv.second);
        applyGroupKey(&group, kv.first, kv.second);
    }
    if (parsed.groups.isEmpty())
        return false;
    *task = parsed;
    return true;
}
