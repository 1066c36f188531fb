#include "mainwindow/RunStateRules.h"

#include "dialogs/SampleTaskRules.h"
#include "mainwindow/RunStartRules.h"
#include "mainwindow/WorkState.h"

#include <QCoreApplication>

namespace {

constexpr int overWaterMode = 5;

QString stationNotice(const char *text, int lineNum, double stationNum)
{
    return QCoreApplication::translate("MainWindow", text).arg(lineNum).arg(stationNumText(stationNum));
}

} // namespace

std::optional<QString> disconnectRefusal(int workState)
{
    switch (workState) {
    case WORK_ONLINE_SAMPLING:
        return QStringLiteral("当前正在采集数据过程中，不允许断开网络！");
    case WORK_EXPORTING:
        return QStringLiteral("当前正在导出数据过程中，不允许断开网络！");
    case WORK_OVERWATER_SAMPLING:
        return QStringLiteral("当前正在水上连续采集过程中，不允许断开网络！");
    default:
        return std::nullopt;
    }
}

StatusReportAction statusReportAction(int workStatus, bool startWaits)
{
    switch (workStatus) {
    case 0:
        return StatusReportAction::Idle;
    case 1:
        return startWaits ? StatusReportAction::DropStart : StatusReportAction::Nothing;
    case 2:
        return StatusReportAction::FetchErrorWord;
    default:
        return StatusReportAction::Nothing;
    }
}

const QString &busyStartText()
{
    static const QString text = QStringLiteral("仪器正在忙碌中，请稍后再开始采集！");
    return text;
}

IdleReportAction idleReportAction(bool projectConfigured, bool projectOpen, bool startWaits)
{
    if (projectConfigured)
        return startWaits ? IdleReportAction::SendGroupsRequest : IdleReportAction::Nothing;
    return projectOpen ? IdleReportAction::SendProjectConfig : IdleReportAction::Nothing;
}

int startedWorkState(bool online, int observationMode)
{
    if (online)
        return WORK_ONLINE_SAMPLING;
    return observationMode == overWaterMode ? WORK_OVERWATER_SAMPLING : WORK_OFFLINE_SAMPLING;
}

std::optional<QString> sampleStoppedText(int workState)
{
    switch (workState) {
    case WORK_ONLINE_SAMPLING:
        return QStringLiteral("仪器已经停止采集！");
    case WORK_OFFLINE_SAMPLING:
        return QStringLiteral("仪器已经停止离线采集！");
    case WORK_OVERWATER_SAMPLING:
        return QStringLiteral("仪器已经停止水上数据采集！");
    default:
        return std::nullopt;
    }
}

QString offlineStartNotice(int lineNum, double stationNum)
{
    return stationNotice("线%1点%2数据采集命令下发！", lineNum, stationNum);
}

QString noRawDataNotice(int lineNum, double stationNum)
{
    return stationNotice("线%1点%2不存在原始数据！", lineNum, stationNum);
}

std::array<char, 5> dataComMask(const CtrlParam &task)
{
    return {char(task.HxChannelIsUse), char(task.HyChannelIsUse), char(task.E0ChannelIsUse),
            char(task.E1ChannelIsUse), char(task.E2ChannelIsUse)};
}

qint64 taskDurationSeconds(const CtrlParam &task)
{
    return durationSeconds(task);
}

ChannelsUseInfo taskChannels(const CtrlParam &task)
{
    return {task.HxChannelIsUse, task.HyChannelIsUse, task.E0ChannelIsUse, task.E1ChannelIsUse, task.E2ChannelIsUse};
}
