#include "mainwindow/RunStartRules.h"

#include "dialogs/SampleTaskRules.h"
#include "projectdata/StationNumberText.h"

#include <QCoreApplication>

#include <array>
#include <cmath>

namespace {

constexpr int lowRateLimit = 10001;
constexpr int lowRateSyncMargin = 30;
constexpr int highRateSyncMargin = 10;
constexpr double maxStationMagnitude = 999999;
const QString notSet = QStringLiteral("未设置");

StartRefusal refusal(const QString &text)
{
    return {QStringLiteral("出错"), text, false};
}

std::optional<StartRefusal> stateRefusal(const StartCheckInput &in)
{
    if (!in.projectOpen)
        return refusal(QStringLiteral("请确认工程是否处于打开状态！请打开工程/新建工程后再进行操作！"));
    if (!in.connected)
        return refusal(QStringLiteral("请确认网络是否连接上！请连接网络！"));
    if (!in.projectConfigured)
        return refusal(QStringLiteral("请确认仪器是否工程配置过！请关闭此工程重新打开！"));
    if (in.tasks.isEmpty())
        return refusal(QStringLiteral("请确认采集任务列表是否设置！请重新设置再进行操作！"));
    return std::nullopt;
}

std::optional<StartRefusal> plannedStartRefusal(const StartCheckInput &in)
{
    const CtrlParam &first = in.tasks.first();
    if (first.SampleStartTime <= 0)
        return std::nullopt;
    const int margin = first.SampleRate <= lowRateLimit ? lowRateSyncMargin : highRateSyncMargin;
    if (qint64(first.SampleStartTime) < in.nowSeconds + in.machineTimeOffset + margin)
        return refusal(QStringLiteral("距离任务协同采集开始时间不足!请重新设置再进行操作!"));
    if (in.gpsStatus != 1)
        return refusal(QStringLiteral("当前GPS未锁定，请锁定后再开始采集！"));
    return std::nullopt;
}

struct ChannelSensor
{
    bool used;
    const QString &sensor;
    const char *text;
};

std::optional<StartRefusal> sensorRefusal(const CtrlParam &task, const ChannelInputsConfig &inputs)
{
    const std::array<ChannelSensor, 5> channels = {{
        {task.HxChannelIsUse, inputs.HxInputNum, "请确认Hx磁棒输入通道是否设置！请设置后再进行操作！"},
        {task.HyChannelIsUse, inputs.HyInputNum, "请确认Hy磁棒输入通道是否设置！请设置后再进行操作！"},
        {task.E0ChannelIsUse, inputs.E0InputNum, "请确认E0电极输入通道是否设置！请设置后再进行操作！"},
        {task.E1ChannelIsUse, inputs.E1InputNum, "请确认E1电极输入通道是否设置！请设置后再进行操作！"},
        {task.E2ChannelIsUse, inputs.E2InputNum, "请确认E2电极输入通道是否设置！请设置后再进行操作！"},
    }};
    for (const ChannelSensor &c : channels) {
        if (c.used && c.sensor == notSet)
            return refusal(QString::fromUtf8(c.text));
    }
    return std::nullopt;
}

std::optional<StartRefusal> taskRefusal(const CtrlParam &task, const ChannelInputsConfig &inputs)
{
    if (auto failed = sensorRefusal(task, inputs))
        return failed;
    if (gainsValid(task))
        return std::nullopt;
    return StartRefusal{QStringLiteral("参数错误"),
                        QCoreApplication::translate("MainWindow", "采样率 %1 增益倍数不符，请重新设置")
                            .arg(task.SampleRate),
                        true};
}

int trialSeconds(const CtrlParam &task)
{
    if (task.SampleRate >= 4000)
        return 1;
    switch (task.SampleRate) {
    case 2000:
        return 2;
    case 1000:
        return 3;
    case 500:
        return 5;
    case 250:
        return 10;
    default:
        return task.SampleTimeSecond;
    }
}

int electricChannels(const CtrlParam *task)
{
    if (!task)
        return 0;
    return int(task->E0ChannelIsUse) + int(task->E1ChannelIsUse) + int(task->E2ChannelIsUse);
}

double stepLength(int mode, const StationNumAutoConfig &step, const CtrlParam *firstTask)
{
    switch (mode) {
    case 1:
    case 2:
    case 3:
    case 5:
        return step.StationNumAutoStepSize;
    case 0:
    case 4:
        return step.StationNumAutoStepSize * electricChannels(firstTask);
    default:
        return 0.0;
    }
}

} // namespace

std::optional<StartRefusal> firstFailedStartCheck(const StartCheckInput &input)
{
    if (auto failed = stateRefusal(input))
        return failed;
    if (auto failed = plannedStartRefusal(input))
        return failed;
    for (const CtrlParam &task : input.tasks) {
        if (auto failed = taskRefusal(task, input.inputs))
            return failed;
    }
    return std::nullopt;
}

LineStationEntry lineStationFromTexts(const QString &lineText, const QString &stationText)
{
    return {lineText.toInt(), stationText.toDouble()};
}

std::optional<StartRefusal> lineStationRefusal(const QString &lineText, const QString &stationText)
{
    if (!lineText.isEmpty() && !stationText.isEmpty())
        return std::nullopt;
    return StartRefusal{QStringLiteral("参数错误"), QStringLiteral("请确认点/线号是否设置！请输入点/线线号！"), false};
}

bool asksSameLineStation(const LineStationEntry &entry, int lastLine, double lastStation, bool projectHasLines)
{
    return projectHasLines && entry.line == lastLine && entry.station == lastStation;
}

const QString &sameLineStationQuestion()
{
    static const QString text =
        QStringLiteral("当前设置的采集任务线点号与最后一次采集任务线点号相同，请确认是否同线点号进行采集?");
    return text;
}

CtrlParam trialTask(const CtrlParam &task)
{
    CtrlParam trial = task;
    trial.SampleTimeHour = 0;
    trial.SampleTimeMinute = 0;
    trial.SampleTimeSecond = trialSeconds(task);
    return trial;
}

SteppedStation steppedStation(double station, int mode, const StationNumAutoConfig &step, const CtrlParam *firstTask)
{
    if (!step.StationNumAutoEnable)
        return {station, false};
    const double next = station + stepLength(mode, step, firstTask);
    if (std::fabs(next) <= maxStationMagnitude)
        return {next, false};
    return {std::trunc(next / 10), true};
}

QString stationNumText(double station)
{
    return StationNumberText::text(station);
}
