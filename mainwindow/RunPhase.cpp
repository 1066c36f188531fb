#include "mainwindow/RunPhase.h"

#include "mainwindow/RunStateRules.h"
#include "mainwindow/WorkState.h"

namespace {

bool restingWithOrWithoutProject(RunPhase::Phase phase)
{
    return phase == RunPhase::NoProject || phase == RunPhase::Idle;
}

bool online(RunPhase::Phase phase)
{
    return phase == RunPhase::TrialRun || phase == RunPhase::Sampling;
}

} // namespace

int RunPhase::workState() const
{
    switch (current) {
    case TrialRun:
    case Sampling:
        return WORK_ONLINE_SAMPLING;
    case Offline:
        return WORK_OFFLINE_SAMPLING;
    case OverWater:
        return WORK_OVERWATER_SAMPLING;
    case ReadBack:
        return WORK_EXPORTING;
    case NoProject:
    case Idle:
    case SaveChoice: // the instrument is idle; what the run still forbids, may() says
    case Maintenance:
        break;
    }
    return WORK_IDLE;
}

bool RunPhase::isRun() const
{
    return online(current) || current == Offline || current == OverWater;
}

void RunPhase::enter(Phase phase)
{
    current = phase;
    if (phase != SaveChoice)
        step = NoGroup;
}

// Without a project the start, read-back and task checks refuse with their own boxes. A start in
// flight forbids all a run forbids.
bool RunPhase::may(Action action) const
{
    if (starting())
        return false;
    switch (action) {
    case Stop:
        return current == Sampling || current == Offline || current == OverWater;
    case Save:
    case Discard:
        return current == SaveChoice;
    case CloseProject:
        return current == Idle;
    case Disconnect:
        return !disconnectRefusal(workState());
    case Start:
    case Trial:
    case ReadBackData:
    case StorageManagement:
    case Format:
    case PowerOff:
    case TaskDialog:
    case ObservationMode:
        break;
    }
    return restingWithOrWithoutProject(current);
}

bool RunPhase::expects(Reply reply) const
{
    switch (reply) {
    case GroupsCount:
        return step == GroupsAsked;
    case SampleStarted:
        return step == StartSent;
    case GroupSampled:
        return isRun() && step == GroupSampling;
    case DataComsWanted:
        return online(current) && step == TransferRequested;
    case TransferOver:
        return (online(current) || current == SaveChoice) && step == TransferRequested;
    case SampleStopped:
        return isRun() || current == ReadBack;
    }
    return false;
}

QString RunPhase::refusalText(Action action)
{
    switch (action) {
    case Start:
    case Trial:
        return QStringLiteral("请在仪器空闲时开始采集！");
    case ReadBackData:
        return QStringLiteral("请在仪器空闲时操作导出数据！");
    case StorageManagement:
        return QStringLiteral("请在仪器空闲时进行内存管理！");
    case Format:
        return QStringLiteral("请在仪器空闲时恢复出厂设置！");
    case PowerOff:
        return QStringLiteral("<p>请在仪器空闲时进行关机！</p><p>或者当前数据<strong>未保存</strong></p>");
    case TaskDialog:
        return QStringLiteral("请在仪器空闲时设置采集任务！");
    case ObservationMode:
        return QStringLiteral("请在仪器空闲时切换观测模式！");
    case Stop:
    case Save:
    case Discard:
    case CloseProject:
    case Disconnect:
        break;
    }
    return QString();
}

QString RunPhase::startingText()
{
    return QStringLiteral("正在开始采集，请稍候！");
}

QString RunPhase::name(Phase phase)
{
    static const char *const names[PhaseCount] = {"no project", "idle",       "trial run", "sampling", "offline",
                                                  "over-water", "save choice", "read-back", "maintenance"};
    return QString::fromLatin1(names[phase]);
}
