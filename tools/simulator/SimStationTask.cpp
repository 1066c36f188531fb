#include "tools/simulator/SimStationTask.h"

#include "tools/simulator/SimText.h"

#include <algorithm>

namespace {

void applyGroupKey(SimGroupTask *group, const QByteArray &key, const QByteArray &value)
{
    const int number = value.trimmed().toInt();
    if (key.startsWith("CH") && key.endsWith("ChannelIsUse") && key.size() == 15) {
        const int channel = key[2] - '1';
        if (channel >= 0 && channel < 5)
            group->channels[size_t(channel)] = number != 0;
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
