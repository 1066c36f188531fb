#include "dialogs/SampleTaskRules.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "common/ListLookup.h"

#include <QDateTime>

#include <cmath>

namespace {

constexpr int lowRateLimit = 10001;     // rates up to this one take the low-rate gains
constexpr int chopperRateLimit = 10000; // the chopper works up to this rate
constexpr int secondsPerDay = 24 * 3600;
constexpr int syncMarginSeconds = 90;

bool lengthValid(double length)
{
    return std::isfinite(length) && length > 0.0;
}

bool gainAllowed(int gain, int rate)
{
    return gainListForRate(rate).contains(gain);
}

// Rules a. to d. of the multipolarity mode, in their order.
QString multipolarityFailure(const ChannelFlags &c)
{
    if (!c.any())
        return QStringLiteral("多极化观测装置通道必须选择！");
    if (c.Hx != c.E1)
        return QStringLiteral("多极化观测装置Hx通道与E1必须同时选择！");
    if (c.Hy != (c.E0 || c.E2))
        return QStringLiteral("多极化观测装置Hy通道与E0/E2任意组合必须同时选择！");
    if (c.Hy && c.E0 && c.E2 && !c.Hx)
        return QStringLiteral("多极化观测装置一次采2个点时Hx通道与Hy通道必须同时选择！");
    return QString();
}

TaskCheck durationLimitCheck(const CtrlParam &task, int ratePosition)
{
    const qint64 total = durationSeconds(task);
    const int minimum = minSampleTimeList.at(ratePosition);
    const int maximum = maxSampleTimeList.at(ratePosition);
    int limit = 0;
    QString word;
    if (total < minimum) {
        limit = minimum;
        word = QStringLiteral("低");
    } else if (total > maximum) {
        limit = maximum;
        word = QStringLiteral("高");
    } else {
        return TaskCheck();
    }
    const DurationParts parts = splitDuration(limit);
    TaskCheck check;
    check.failure = QStringLiteral("采样率%1设置的采样时间过长\n不能%2于%3时%4分%5秒。\n请重新设置并添加任务！")
                        .arg(task.SampleRate)
                        .arg(word)
                        .arg(parts.hours)
                        .arg(parts.minutes)
                        .arg(parts.seconds);
    check.durationLimit = limit;
    return check;
}

TaskCheck failedWith(const QString &text)
{
    TaskCheck check;
    check.failure = text;
    return check;
}

void setSharedFields(CtrlParam &task, const PoleDistances &lengths, int electrodeType)
{
    task.E0PoleDistance = lengths.E0;
    task.E1PoleDistance = lengths.E1;
    task.E2PoleDistance = lengths.E2;
    task.ElectrodeType = electrodeType;
}

CtrlParam presetTask(int rate, int hours, int minutes, int seconds)
{
    CtrlParam task;
    task.SampleRate = rate;
    task.SampleTimeHour = hours;
    task.SampleTimeMinute = minutes;
    task.SampleTimeSecond = seconds;
    return task;
}

} // namespace

// The electric gain matters when an electric channel is recorded, the magnetic gain when a
// magnetic one is: each goes to the instrument and is stored with the recording.
bool gainsValid(const CtrlParam &task)
{
    const ChannelFlags c = channelsOf(task);
    if ((c.E0 || c.E1 || c.E2) && !gainAllowed(task.EGain, task.SampleRate))
        return false;
    if ((c.Hx || c.Hy) && !gainAllowed(task.HGain, task.SampleRate))
        return false;
    return true;
}

ChannelFlags channelsOf(const CtrlParam &task)
{
    ChannelFlags c;
    c.Hx = task.HxChannelIsUse;
    c.Hy = task.HyChannelIsUse;
    c.E0 = task.E0ChannelIsUse;
    c.E1 = task.E1ChannelIsUse;
    c.E2 = task.E2ChannelIsUse;
    return c;
}

void setChannels(CtrlParam &task, const ChannelFlags &channels)
{
    task.HxChannelIsUse = channels.Hx;
    task.HyChannelIsUse = channels.Hy;
    task.E0ChannelIsUse = channels.E0;
    task.E1ChannelIsUse = channels.E1;
    task.E2ChannelIsUse = channels.E2;
}

double poleDistanceFromText(const QString &text)
{
    return text.toDouble();
}

bool poleDistancesValid(const ChannelFlags &recorded, const PoleDistances &lengths)
{
    return (!recorded.E0 || lengthValid(lengths.E0)) && (!recorded.E1 || lengthValid(lengths.E1))
           && (!recorded.E2 || lengthValid(lengths.E2));
}

DurationParts splitDuration(int seconds)
{
    return {seconds / 3600, seconds % 3600 / 60, seconds % 60};
}

qint64 durationSeconds(const CtrlParam &task)
{
    return 3600 * qint64(task.SampleTimeHour) + 60 * qint64(task.SampleTimeMinute) + task.SampleTimeSecond;
}

TaskCheck checkTask(const CtrlParam &task)
{
    const ChannelFlags channels = channelsOf(task);
    if (!channels.any())
        return failedWith(QStringLiteral("未选择Hx/Hy/E0/E1/E2任意一个通道！请勾选！"));
    const PoleDistances lengths{task.E0PoleDistance, task.E1PoleDistance, task.E2PoleDistance};
    if (!poleDistancesValid(channels, lengths))
        return failedWith(QStringLiteral("极距设置错误！请输入正数！"));
    if (task.SampleTimeHour == 0 && task.SampleTimeMinute == 0 && task.SampleTimeSecond == 0)
        return failedWith(QStringLiteral("采样时间为0，请重新设置"));
    // A list from an old settings file may carry a rate that is no longer offered.
    const int ratePosition = sampleRateList.indexOf(task.SampleRate);
    if (ratePosition < 0)
        return failedWith(QStringLiteral("采样率%1不是可选的采样率，请重新设置").arg(task.SampleRate));
    const TaskCheck limits = durationLimitCheck(task, ratePosition);
    if (!limits.passed())
        return limits;
    if (!gainsValid(task))
        return failedWith(QStringLiteral("采样率 %1 增益倍数不符，请重新设置").arg(task.SampleRate));
    return TaskCheck();
}

QString channelRuleFailure(int mode, const ChannelFlags &boxes)
{
    switch (mode) {
    case 0:
    case 2:
        if (boxes.E0 || boxes.E1 || boxes.E2)
            return QString();
        return QStringLiteral("标量观测装置必选电场通道E0/E1/E2任意组合！");
    case 3:
        if (boxes.any())
            return QString();
        return QStringLiteral("平行实验观测装置Hx/Hy/E0/E1/E2五通道任意组合！");
    case 4:
        return multipolarityFailure(boxes);
    default:
        return QString();
    }
}

bool sameChannelsAsList(const QList<CtrlParam> &list, const ChannelFlags &boxes)
{
    return list.isEmpty() || channelsOf(list.last()) == boxes;
}

ModeChannelBoxes channelBoxesForMode(int mode)
{
    const ChannelFlags all{true, true, true, true, true};
    ModeChannelBoxes boxes{all, all, false};
    switch (mode) {
    case 0:
    case 2:
        boxes.on.Hx = false;
        break;
    case 1:
        boxes.on.E2 = false;
        boxes.enabled = ChannelFlags();
        break;
    case 5:
        boxes.on.E2 = false;
        boxes.forcesOffline = true;
        break;
    default:
        break;
    }
    return boxes;
}

bool hxHyExclusive(int mode)
{
    return mode == 0 || mode == 2;
}

const QList<int> &gainListForRate(int rate)
{
    return rate <= lowRateLimit ? currentLowRateGainList : currentHighRateGainList;
}

bool chopperPossible(int rate)
{
    return rate <= chopperRateLimit;
}

int defaultSampleTimeForRate(int rate)
{
    const int position = qMax(0, sampleRateList.indexOf(rate));
    return defaultSampleTimeList.at(position);
}

CtrlParam taskFromControls(const TaskControls &controls)
{
    CtrlParam task;
    setChannels(task, controls.channels);
    setSharedFields(task, controls.lengths, controls.electrodeType);
    task.SampleStartTime = 0;
    applyEditedFields(task, controls);
    return task;
}

void applyEditedFields(CtrlParam &task, const TaskControls &controls)
{
    task.EGain = controls.eGain;
    task.HGain = controls.hGain;
    task.SampleRate = controls.sampleRate;
    task.SampleTimeHour = controls.hours;
    task.SampleTimeMinute = controls.minutes;
    task.SampleTimeSecond = controls.seconds;
    task.Chopper = controls.chopperOn && chopperPossible(controls.sampleRate) ? 1 : 0;
}

void applySharedFields(QList<CtrlParam> &list, const PoleDistances &lengths, int electrodeType)
{
    for (CtrlParam &task : list)
        setSharedFields(task, lengths, electrodeType);
}

QList<CtrlParam> storedPresetTaskList(int number)
{
    if (number == 1)
        return {presetTask(277780, 0, 0, 5), presetTask(4000, 0, 3, 0), presetTask(500, 0, 15, 0)};
    if (number == 2)
        return {presetTask(277780, 0, 0, 10), presetTask(4000, 0, 4, 0)};
    return {};
}

QList<CtrlParam> completedPresetTaskList(QList<CtrlParam> stored, const TaskControls &controls)
{
    applySharedFields(stored, controls.lengths, controls.electrodeType);
    for (CtrlParam &task : stored) {
        setChannels(task, controls.channels);
        task.EGain = controls.eGain;
        task.HGain = controls.hGain;
    }
    return stored;
}

QTime earliestSyncStart(const QTime &pcTimeOfDay, qint32 machineOffsetSeconds)
{
    const qint64 shifted = qint64(pcTimeOfDay.msecsSinceStartOfDay() / 1000) + machineOffsetSeconds + syncMarginSeconds;
    // Positive modulo: a negative offset near midnight still gives a time of the same day.
    const int secondOfDay = int((shifted % secondsPerDay + secondsPerDay) % secondsPerDay);
    return QTime(secondOfDay / 3600, secondOfDay % 3600 / 60);
}

bool syncChoiceIsEarlier(int hour, int minute, const QTime &earliest)
{
    return hour < earliest.hour() || (hour == earliest.hour() && minute < earliest.minute());
}

qint32 plannedStartTime(const QDateTime &now, int hour, int minute)
{
    QDateTime start = now;
    start.setTime(QTime(hour, minute, 0));
    return static_cast<qint32>(static_cast<quint32>(start.toSecsSinceEpoch()));
}
