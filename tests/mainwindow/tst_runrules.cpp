#include "common/Global_Variables.h"
#include "common/MachineErrorCode.h"
#include "common/PreSampleLineNum.h"
#include "mainwindow/DataComRetry.h"
#include "mainwindow/ErrorWordRules.h"
#include "mainwindow/InstrumentVersionRules.h"
#include "mainwindow/RunStartRules.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/WorkState.h"

#include <QtTest>

#include <functional>
#include <limits>

Q_DECLARE_METATYPE(std::function<void(StartCheckInput &)>)
Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(ErrorFollowUp)
Q_DECLARE_METATYPE(StatusReportAction)
Q_DECLARE_METATYPE(IdleReportAction)

using Mutation = std::function<void(StartCheckInput &)>;

namespace {

constexpr qint64 now = 1700000000;

CtrlParam allChannelsTask(int rate, int eGain, int hGain)
{
    CtrlParam task;
    task.HxChannelIsUse = task.HyChannelIsUse = true;
    task.E0ChannelIsUse = task.E1ChannelIsUse = task.E2ChannelIsUse = true;
    task.SampleRate = rate;
    task.EGain = eGain;
    task.HGain = hGain;
    task.SampleTimeMinute = 3;
    return task;
}

// Everything in place for a run: open, connected and configured, one 4000 Hz task.
StartCheckInput readyToStart()
{
    StartCheckInput in;
    in.projectOpen = in.connected = in.projectConfigured = true;
    in.tasks = {allChannelsTask(4000, 40, 1)};
    in.nowSeconds = now;
    in.machineTimeOffset = 5;
    in.gpsStatus = 1;
    in.inputs = {"Coil", "Coil", "Electrode", "Electrode", "Electrode"};
    return in;
}

QString refusalText(const StartCheckInput &in)
{
    const auto refusal = firstFailedStartCheck(in);
    return refusal ? refusal->text : QString();
}

QList<uint32_t> boxBits(const ErrorWordReaction &reaction)
{
    QList<uint32_t> bits;
    for (const ErrorReactionStep &step : reaction.steps) {
        if (step.showsBox)
            bits.append(step.bit);
    }
    return bits;
}

QList<ErrorFollowUp> followUps(const ErrorWordReaction &reaction)
{
    QList<ErrorFollowUp> list;
    for (const ErrorReactionStep &step : reaction.steps) {
        if (step.followUp != ErrorFollowUp::None)
            list.append(step.followUp);
    }
    return list;
}

} // namespace

// The rules of the connection, the start checks and the transfer, without a window.
class TestRunRules : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { resetCurrentGainLists(); }

    void firmware_data();
    void firmware();
    void hardware_data();
    void hardware();

    void errorWord_data();
    void errorWord();
    void errorWordTexts();
    void statusReport_data();
    void statusReport();

    void workStateTexts_data();
    void workStateTexts();
    void statusActions_data();
    void statusActions();
    void runNotices();

    void startChecks_data();
    void startChecks();
    void gainCheckFollowsHardware();
    void lineStation();
    void trialTasks_data();
    void trialTasks();
    void stationStep_data();
    void stationStep();

    void requests();
    void blocks_data();
    void blocks();
    void blockStation_data();
    void blockStation();
    void transferDone();
    void blockCutShort_data();
    void blockCutShort();
    void samplingWatch_data();
    void samplingWatch();
    void startWatch();
    void displayLength_data();
    void displayLength();
    void dataComRetry();
};

void TestRunRules::firmware_data()
{
    QTest::addColumn<float>("version");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("threshold") << 1.02f << true;
    QTest::newRow("just below") << 1.0199f << false;
    QTest::newRow("newer") << 1.1f << true;
    QTest::newRow("old") << 1.0f << false;
}

void TestRunRules::firmware()
{
    QFETCH(float, version);
    QFETCH(bool, accepted);
    QCOMPARE(firmwareAccepted(version), accepted);
    if (!accepted) {
        const QString text = firmwareRefusalText(version);
        QVERIFY2(text.contains(QString::number(double(version), 'g', 6) + " 过低"), qPrintable(text));
        QVERIFY(text.endsWith("本软件仅支持 1.02 及以上固件版本的仪器"));
    }
}

void TestRunRules::hardware_data()
{
    QTest::addColumn<float>("reported");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("oldLists");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("close");
    QTest::newRow("old, nothing stored") << 1.01f << QVariant() << true << "1.01" << false;
    QTest::newRow("threshold is new") << 1.011f << QVariant() << false << "1.011" << false;
    QTest::newRow("another version") << 1.02f << QVariant("1.01") << false << "1.02" << true;
    QTest::newRow("same two decimals") << 1.02f << QVariant("1.02") << false << "1.02" << false;
    QTest::newRow("three decimals read back") << 1.015f << QVariant("1.015") << false << "1.015" << false;
    QTest::newRow("older file, rounded") << 1.011f << QVariant("1.01") << false << "1.011" << true;
    QTest::newRow("whole version") << 1.0f << QVariant("1.00") << true << "1.00" << false;
    QTest::newRow("tiny counts as none") << 1.02f << QVariant("0.05") << false << "1.02" << false;
    QTest::newRow("not a number") << 1.02f << QVariant("abc") << false << "1.02" << false;
}

void TestRunRules::hardware()
{
    QFETCH(float, reported);
    QFETCH(QVariant, stored);
    QFETCH(bool, oldLists);
    QFETCH(QString, text);
    QFETCH(bool, close);
    const HardwareVersionOutcome outcome = hardwareVersionOutcome(reported, stored);
    QCOMPARE(outcome.oldGainLists, oldLists);
    QCOMPARE(outcome.storedText, text);
    QCOMPARE(outcome.closeProgram, close);
    QCOMPARE(outcome.closeText,
             close ? QString("混合使用不同硬件版本的仪器需要重启软件 Ver:%1\r\n").arg(text) : QString());
    // What is stored reads back as the same version: the next connection does not close.
    QVERIFY(!hardwareVersionOutcome(reported, outcome.storedText).closeProgram);
}

void TestRunRules::errorWord_data()
{
    using Bits = QList<uint32_t>;
    using Follow = QList<ErrorFollowUp>;
    QTest::addColumn<uint>("word");
    QTest::addColumn<uint>("sticky");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("gps");
    QTest::addColumn<Bits>("boxes");
    QTest::addColumn<Follow>("follow");
    QTest::addColumn<uint>("newSticky");
    QTest::addColumn<bool>("disableStart");

    QTest::newRow("power, new") << 0x2u << 0u << true << 1 << Bits{0x2} << Follow{} << 0x2u << true;
    QTest::newRow("power, again") << 0x2u << 0x2u << true << 1 << Bits{} << Follow{} << 0x2u << true;
    QTest::newRow("power cleared by a zero word") << 0x0u << 0x2u << true << 1 << Bits{} << Follow{} << 0x0u << false;
    QTest::newRow("stm32 and sampling, locked")
        << 0x21u << 0u << true << 1 << Bits{0x1, 0x20} << Follow{ErrorFollowUp::Restart, ErrorFollowUp::RestartOrClear}
        << 0x0u << false;
    QTest::newRow("sampling, no lock") << 0x20u << 0u << true << 0 << Bits{} << Follow{ErrorFollowUp::ClearFlags}
                                       << 0x0u << false;
    QTest::newRow("sampling while disconnected")
        << 0x6Cu << 0x400u << false << 1 << Bits{0x4, 0x8} << Follow{} << 0x400u << true;
    QTest::newRow("self check, high bits kept")
        << 0x80000210u << 0u << true << 1 << Bits{0x10, 0x200} << Follow{ErrorFollowUp::Restart} << 0x80000000u
        << false;
    QTest::newRow("every transient bit")
        << 0x3F1u << 0u << true << 1 << Bits{0x1, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200}
        << Follow{ErrorFollowUp::Restart, ErrorFollowUp::RestartOrClear, ErrorFollowUp::Restart} << 0x0u << false;
}

void TestRunRules::errorWord()
{
    QFETCH(uint, word);
    QFETCH(uint, sticky);
    QFETCH(bool, connected);
    QFETCH(int, gps);
    QFETCH(QList<uint32_t>, boxes);
    QFETCH(QList<ErrorFollowUp>, follow);
    QFETCH(uint, newSticky);
    QFETCH(bool, disableStart);
    const ErrorWordReaction reaction = errorWordReaction(word, sticky, connected, gps);
    QCOMPARE(boxBits(reaction), boxes);
    QCOMPARE(followUps(reaction), follow);
    QCOMPARE(reaction.stickyBits, uint32_t(newSticky));
    QCOMPARE(reaction.disableStart, disableStart);
}

void TestRunRules::errorWordTexts()
{
    const ErrorWordReaction reaction = errorWordReaction(0xA2, 0, true, 1);
    QCOMPARE(reaction.steps.size(), 3);
    const ErrorReactionStep &power = reaction.steps[0];
    QCOMPARE(power.title, QString("仪器出错"));
    QCOMPARE(power.text, QString("电源故障！请检查电源电压，并更换电源！仪器采集功能关闭！"));
    const ErrorReactionStep &question = reaction.steps[1];
    QCOMPARE(question.kind, ErrorBoxKind::RestartQuestion);
    QCOMPARE(question.text, QString("采样出错！是否需要重启仪器？"));
    const ErrorReactionStep &stopped = reaction.steps[2];
    QCOMPARE(stopped.kind, ErrorBoxKind::Warning);
    QCOMPARE(stopped.title, QString("提醒"));
    QCOMPARE(stopped.text, QString("仪器已经停止采样！"));
}

void TestRunRules::statusReport_data()
{
    QTest::addColumn<uint>("sticky");
    QTest::addColumn<double>("battery");
    QTest::addColumn<double>("disk");
    QTest::addColumn<double>("t1");
    QTest::addColumn<double>("t2");
    QTest::addColumn<uint>("newSticky");
    QTest::addColumn<bool>("startEnabled");
    QTest::newRow("battery at 10 keeps") << 0xEu << 10.0 << 50.0 << 30.0 << 30.0 << 0x2u << false;
    QTest::newRow("battery above clears") << 0x2u << 10.01 << 50.0 << 30.0 << 30.0 << 0x0u << true;
    QTest::newRow("disk at 10 keeps") << 0x8u << 12.0 << 10.0 << 30.0 << 30.0 << 0x8u << false;
    QTest::newRow("temperatures at the limits clear") << 0x4u << 12.0 << 50.0 << 75.0 << 80.0 << 0x0u << true;
    QTest::newRow("first temperature over") << 0x4u << 12.0 << 50.0 << 75.1 << 30.0 << 0x4u << false;
    QTest::newRow("second temperature over") << 0x4u << 12.0 << 50.0 << 30.0 << 80.1 << 0x4u << false;
    QTest::newRow("low value without the bit") << 0x0u << 9.0 << 5.0 << 90.0 << 90.0 << 0x0u << true;
    QTest::newRow("high bits stay, start allowed") << 0x400u << 9.0 << 50.0 << 30.0 << 30.0 << 0x400u << true;
}

void TestRunRules::statusReport()
{
    QFETCH(uint, sticky);
    MachineStatus status;
    QFETCH(double, battery);
    QFETCH(double, disk);
    QFETCH(double, t1);
    QFETCH(double, t2);
    QFETCH(uint, newSticky);
    QFETCH(bool, startEnabled);
    status.batteryVoltage = battery;
    status.diskSpace = disk;
    status.temperature1 = t1;
    status.temperature2 = t2;
    const StatusErrorBits bits = statusErrorBits(sticky, status);
    QCOMPARE(bits.stickyBits, uint32_t(newSticky));
    QCOMPARE(bits.startEnabled, startEnabled);
}

void TestRunRules::workStateTexts_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("disconnectRefused");
    QTest::addColumn<QString>("stopped");
    QTest::newRow("idle") << int(WORK_IDLE) << QString() << QString();
    QTest::newRow("online") << int(WORK_ONLINE_SAMPLING) << "当前正在采集数据过程中，不允许断开网络！"
                            << "仪器已经停止采集！";
    QTest::newRow("offline") << int(WORK_OFFLINE_SAMPLING) << QString() << "仪器已经停止离线采集！";
    QTest::newRow("exporting") << int(WORK_EXPORTING) << "当前正在导出数据过程中，不允许断开网络！" << QString();
    QTest::newRow("over water") << int(WORK_OVERWATER_SAMPLING) << "当前正在水上连续采集过程中，不允许断开网络！"
                                << "仪器已经停止水上数据采集！";
    QTest::newRow("construction") << 0 << QString() << QString();
}

void TestRunRules::workStateTexts()
{
    QFETCH(int, state);
    QFETCH(QString, disconnectRefused);
    QFETCH(QString, stopped);
    QCOMPARE(disconnectRefusal(state).value_or(QString()), disconnectRefused);
    QCOMPARE(sampleStoppedText(state).value_or(QString()), stopped);
}

void TestRunRules::statusActions_data()
{
    QTest::addColumn<int>("workStatus");
    QTest::addColumn<bool>("startWaits");
    QTest::addColumn<bool>("configured");
    QTest::addColumn<bool>("open");
    QTest::addColumn<StatusReportAction>("action");
    QTest::addColumn<IdleReportAction>("idle");
    QTest::newRow("idle, start waits") << 0 << true << true << true << StatusReportAction::Idle
                                       << IdleReportAction::SendGroupsRequest;
    QTest::newRow("idle after a stop") << 0 << false << true << true << StatusReportAction::Idle
                                       << IdleReportAction::Nothing;
    QTest::newRow("idle, not configured") << 0 << true << false << true << StatusReportAction::Idle
                                          << IdleReportAction::SendProjectConfig;
    QTest::newRow("idle, no project") << 0 << false << false << false << StatusReportAction::Idle
                                      << IdleReportAction::Nothing;
    QTest::newRow("busy, start waits") << 1 << true << true << true << StatusReportAction::DropStart
                                       << IdleReportAction::SendGroupsRequest;
    QTest::newRow("busy") << 1 << false << true << true << StatusReportAction::Nothing << IdleReportAction::Nothing;
    QTest::newRow("error") << 2 << true << true << true << StatusReportAction::FetchErrorWord
                           << IdleReportAction::SendGroupsRequest;
    QTest::newRow("unknown") << 7 << true << true << true << StatusReportAction::Nothing
                             << IdleReportAction::SendGroupsRequest;
}

void TestRunRules::statusActions()
{
    QFETCH(int, workStatus);
    QFETCH(bool, startWaits);
    QFETCH(bool, configured);
    QFETCH(bool, open);
    QFETCH(StatusReportAction, action);
    QFETCH(IdleReportAction, idle);
    QCOMPARE(statusReportAction(workStatus, startWaits), action);
    QCOMPARE(idleReportAction(configured, open, startWaits), idle);
}

void TestRunRules::runNotices()
{
    QCOMPARE(offlineStartNotice(3, 112.5), QString("线3点112.5数据采集命令下发！"));
    QCOMPARE(noRawDataNotice(-1, 100), QString("线-1点100不存在原始数据！"));
    QCOMPARE(startedWorkState(true, 5), int(WORK_ONLINE_SAMPLING));
    QCOMPARE(startedWorkState(false, 5), int(WORK_OVERWATER_SAMPLING));
    QCOMPARE(startedWorkState(false, 4), int(WORK_OFFLINE_SAMPLING));
    CtrlParam task;
    task.HyChannelIsUse = task.E2ChannelIsUse = true;
    QCOMPARE(dataComMask(task), (std::array<char, 5>{0, 1, 0, 0, 1}));
}

void TestRunRules::startChecks_data()
{
    QTest::addColumn<Mutation>("mutate");
    QTest::addColumn<QString>("refusal");
    const auto planned = [](qint64 at, int rate) {
        return [at, rate](StartCheckInput &in) {
            in.tasks.first().SampleRate = rate;
            in.tasks.first().SampleStartTime = qint32(at);
        };
    };
    const QString tooSoon = "距离任务协同采集开始时间不足!请重新设置再进行操作!";
    const QString gains = "采样率 %1 增益倍数不符，请重新设置";

    QTest::newRow("ready") << Mutation([](StartCheckInput &) {}) << QString();
    QTest::newRow("no project, no connection: the project first")
        << Mutation([](StartCheckInput &in) { in.projectOpen = in.connected = false; })
        << "请确认工程是否处于打开状态！请打开工程/新建工程后再进行操作！";
    QTest::newRow("not connected") << Mutation([](StartCheckInput &in) { in.connected = false; })
                                   << "请确认网络是否连接上！请连接网络！";
    QTest::newRow("not configured") << Mutation([](StartCheckInput &in) { in.projectConfigured = false; })
                                    << "请确认仪器是否工程配置过！请关闭此工程重新打开！";
    QTest::newRow("no tasks") << Mutation([](StartCheckInput &in) { in.tasks.clear(); })
                              << "请确认采集任务列表是否设置！请重新设置再进行操作！";
    QTest::newRow("planned start, exactly 30 s") << Mutation(planned(now + 5 + 30, 4000)) << QString();
    QTest::newRow("planned start, 29 s") << Mutation(planned(now + 5 + 29, 4000)) << tooSoon;
    QTest::newRow("planned start, high rate 9 s") << Mutation(planned(now + 5 + 9, 57800)) << tooSoon;
    QTest::newRow("planned start, high rate 10 s") << Mutation(planned(now + 5 + 10, 57800)) << gains.arg(57800);
    QTest::newRow("planned start, no lock")
        << Mutation([planned](StartCheckInput &in) {
               planned(now + 100, 4000)(in);
               in.gpsStatus = 0;
           })
        << "当前GPS未锁定，请锁定后再开始采集！";
    QTest::newRow("start at once needs no lock") << Mutation([](StartCheckInput &in) { in.gpsStatus = 2; })
                                                 << QString();
    QTest::newRow("E1 without sensor")
        << Mutation([](StartCheckInput &in) { in.inputs.E1InputNum = "未设置"; })
        << "请确认E1电极输入通道是否设置！请设置后再进行操作！";
    QTest::newRow("unused channel without sensor")
        << Mutation([](StartCheckInput &in) {
               in.inputs.HyInputNum = "未设置";
               in.tasks.first().HyChannelIsUse = false;
           })
        << QString();
    QTest::newRow("second task's magnetic gain")
        << Mutation([](StartCheckInput &in) { in.tasks.append(allChannelsTask(4000, 40, 7)); }) << gains.arg(4000);
    QTest::newRow("magnetic task, electric gain only valid")
        << Mutation([](StartCheckInput &in) {
               in.tasks = {allChannelsTask(4000, 40, 7)};
               in.tasks.first().E0ChannelIsUse = in.tasks.first().E1ChannelIsUse =
                   in.tasks.first().E2ChannelIsUse = false;
           })
        << gains.arg(4000);
    QTest::newRow("electric task, magnetic gain unused")
        << Mutation([](StartCheckInput &in) {
               in.tasks = {allChannelsTask(4000, 40, 7)};
               in.tasks.first().HxChannelIsUse = in.tasks.first().HyChannelIsUse = false;
           })
        << QString();
    QTest::newRow("sensor before gain in one task")
        << Mutation([](StartCheckInput &in) {
               in.tasks = {allChannelsTask(4000, 3, 3)};
               in.inputs.HxInputNum = "未设置";
           })
        << "请确认Hx磁棒输入通道是否设置！请设置后再进行操作！";
}

void TestRunRules::startChecks()
{
    QFETCH(Mutation, mutate);
    QFETCH(QString, refusal);
    StartCheckInput in = readyToStart();
    mutate(in);
    QCOMPARE(refusalText(in), refusal);
    const auto box = firstFailedStartCheck(in);
    if (box) {
        const bool gains = refusal.startsWith("采样率");
        QCOMPARE(box->title, QString(gains ? "参数错误" : "出错"));
        QCOMPARE(box->parentIsWindow, gains);
    }
}

void TestRunRules::gainCheckFollowsHardware()
{
    StartCheckInput in = readyToStart();
    in.tasks = {allChannelsTask(250, 2, 10)};
    QCOMPARE(refusalText(in), QString("采样率 250 增益倍数不符，请重新设置"));
    useOldHardwareGainLists();
    QCOMPARE(refusalText(in), QString());
}

void TestRunRules::lineStation()
{
    const LineStationEntry entry = lineStationFromTexts("12", "112.5");
    QCOMPARE(entry.line, 12);
    QCOMPARE(entry.station, 112.5);
    const LineStationEntry junk = lineStationFromTexts("x", "-");
    QCOMPARE(junk.line, 0);
    QCOMPARE(junk.station, 0.0);

    QVERIFY(!lineStationRefusal("0", "0"));
    const auto missing = lineStationRefusal("3", "");
    QVERIFY(missing);
    QCOMPARE(missing->title, QString("参数错误"));
    QCOMPARE(missing->text, QString("请确认点/线号是否设置！请输入点/线线号！"));

    QVERIFY(asksSameLineStation(entry, 12, 112.5, true));
    QVERIFY(!asksSameLineStation(entry, 12, 112.5, false));
    QVERIFY(!asksSameLineStation(entry, 12, 112.0, true));
    QVERIFY(!asksSameLineStation(entry, 13, 112.5, true));
}

void TestRunRules::trialTasks_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("trialSeconds");
    QTest::newRow("4000 Hz") << 4000 << 7 << 1;
    QTest::newRow("high rate") << 277780 << 7 << 1;
    QTest::newRow("2000 Hz") << 2000 << 7 << 2;
    QTest::newRow("1000 Hz") << 1000 << 7 << 3;
    QTest::newRow("500 Hz") << 500 << 7 << 5;
    QTest::newRow("250 Hz") << 250 << 7 << 10;
    QTest::newRow("other low rate keeps its seconds") << 300 << 7 << 7;
}

void TestRunRules::trialTasks()
{
    QFETCH(int, rate);
    QFETCH(int, seconds);
    QFETCH(int, trialSeconds);
    CtrlParam task = allChannelsTask(rate, 40, 1);
    task.SampleTimeHour = 2;
    task.SampleTimeSecond = seconds;
    task.SampleStartTime = 99;
    const CtrlParam trial = trialTask(task);
    QCOMPARE(trial.SampleTimeHour, 0);
    QCOMPARE(trial.SampleTimeMinute, 0);
    QCOMPARE(trial.SampleTimeSecond, trialSeconds);
    CtrlParam rest = trial;
    rest.SampleTimeHour = task.SampleTimeHour;
    rest.SampleTimeMinute = task.SampleTimeMinute;
    rest.SampleTimeSecond = task.SampleTimeSecond;
    QCOMPARE(rest, task);
}

void TestRunRules::stationStep_data()
{
    QTest::addColumn<double>("station");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("withTask");
    QTest::addColumn<double>("stepped");
    QTest::addColumn<bool>("tooLong");
    QTest::newRow("mode 4, two electric channels") << 100.0 << 4 << true << true << 150.0 << false;
    QTest::newRow("mode 1") << 100.0 << 1 << true << true << 125.0 << false;
    QTest::newRow("mode 5") << 100.0 << 5 << true << true << 125.0 << false;
    QTest::newRow("step off") << 100.0 << 1 << false << true << 100.0 << false;
    QTest::newRow("mode 0 without records") << 100.0 << 0 << true << false << 100.0 << false;
    QTest::newRow("unknown mode") << 100.0 << 9 << true << true << 100.0 << false;
    QTest::newRow("exactly six digits") << 999974.0 << 1 << true << true << 999999.0 << false;
    QTest::newRow("seven digits cut") << 999990.0 << 1 << true << true << 100001.0 << true;
    QTest::newRow("negative seven digits") << -1000100.0 << 1 << true << true << -100007.0 << true;
}

void TestRunRules::stationStep()
{
    QFETCH(double, station);
    QFETCH(int, mode);
    QFETCH(bool, enabled);
    QFETCH(bool, withTask);
    QFETCH(double, stepped);
    QFETCH(bool, tooLong);
    CtrlParam first = allChannelsTask(4000, 40, 1);
    first.E1ChannelIsUse = false;
    const StationNumAutoConfig step{25, enabled};
    const SteppedStation result = steppedStation(station, mode, step, withTask ? &first : nullptr);
    QCOMPARE(result.station, stepped);
    QCOMPARE(result.tooLong, tooLong);
    QCOMPARE(stationNumText(125.5), QString("125.5"));
}

void TestRunRules::requests()
{
    QCOMPARE(groupsRequestText("AMT_20260101", 3, 100), QByteArray("ProjectID=AMT_20260101\nLineNum=3\nStationNum=100\n"));
    QCOMPARE(groupsRequestText("P", -2, 12.5), QByteArray("ProjectID=P\nLineNum=-2\nStationNum=12.5\n"));

    QCOMPARE(transferRequestBytes(3, 112.5), QByteArray::fromHex("03000000" "70000000" "00000000"));
    QCOMPARE(transferRequestBytes(-1, -7.9), QByteArray::fromHex("ffffffff" "f9ffffff" "00000000"));
    QCOMPARE(transferRequestBytes(PreSampleLineNum, 0), QByteArray::fromHex("eb218102" "00000000" "00000000"));
    QCOMPARE(instrumentStationNum(std::numeric_limits<double>::quiet_NaN()), 0);
    QCOMPARE(instrumentStationNum(1e12), 0);
}

void TestRunRules::blocks_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("withData");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("taskIndex");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("block") << 4 << true << 16 << 1 << true;
    QTest::newRow("no data") << 0 << false << 16 << 0 << false;
    QTest::newRow("zero length") << 0 << true << 0 << 0 << false;
    QTest::newRow("negative length") << 0 << true << -4 << 0 << false;
    QTest::newRow("channel 5") << 5 << true << 16 << 0 << false;
    QTest::newRow("channel -1") << -1 << true << 16 << 0 << false;
    QTest::newRow("after the last task") << 0 << true << 16 << 2 << false;
}

void TestRunRules::blocks()
{
    QFETCH(int, channel);
    QFETCH(bool, withData);
    QFETCH(int, length);
    QFETCH(int, taskIndex);
    QFETCH(bool, accepted);
    const char bytes[16] = {};
    SampleDataControlParam param;
    param.dataLength = length;
    QCOMPARE(blockAccepted(channel, withData ? bytes : nullptr, param, taskIndex, 2), accepted);
}

void TestRunRules::blockStation_data()
{
    QTest::addColumn<double>("run");
    QTest::addColumn<int>("block");
    QTest::addColumn<double>("kept");
    QTest::newRow("half station kept") << 112.5 << 112 << 112.5;
    QTest::newRow("negative half station kept") << -7.5 << -7 << -7.5;
    QTest::newRow("whole station") << 100.0 << 100 << 100.0;
    QTest::newRow("another station") << 112.5 << 113 << 113.0;
}

void TestRunRules::blockStation()
{
    QFETCH(double, run);
    QFETCH(int, block);
    QFETCH(double, kept);
    QCOMPARE(blockStationNum(run, block), kept);
}

void TestRunRules::transferDone()
{
    QVERIFY(!allTransferred(QByteArray()));
    QVERIFY(!allTransferred(QByteArray::fromHex("0101000101")));
    QVERIFY(allTransferred(QByteArray::fromHex("010101")));
    QVERIFY(allTransferred(QByteArray::fromHex("010201")));

    QList<SampleInfo> records;
    for (int rate : {4000, 1000, 500, 250}) {
        records.append(SampleInfo());
        records.last().ctrlParam.SampleRate = rate;
    }
    QList<int> rates;
    for (const SampleInfo &record : receivedRecords(records, QByteArray::fromHex("01020100")))
        rates << record.ctrlParam.SampleRate;
    QCOMPARE(rates, QList<int>({4000, 500}));
}

// A block is cut when it brings fewer sample bytes than rate x duration x 4.
void TestRunRules::blockCutShort_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<bool>("cut");
    QTest::newRow("whole") << 4000 << 0 << 1 << qint64(16000) << false;
    QTest::newRow("longer") << 4000 << 0 << 1 << qint64(16004) << false;
    QTest::newRow("one sample short") << 4000 << 0 << 1 << qint64(15996) << true;
    QTest::newRow("cut frame") << 1000 << 0 << 2 << qint64(968) << true;
    QTest::newRow("empty") << 1000 << 0 << 2 << qint64(0) << true;
    QTest::newRow("no duration") << 4000 << 0 << 0 << qint64(0) << false;
    QTest::newRow("beyond 32 bits") << 277780 << 22 << 13 << qint64(std::numeric_limits<qint32>::max()) << true;
}

void TestRunRules::blockCutShort()
{
    QFETCH(int, rate);
    QFETCH(int, hours);
    QFETCH(int, seconds);
    QFETCH(qint64, length);
    QFETCH(bool, cut);
    CtrlParam task;
    task.SampleRate = rate;
    task.SampleTimeHour = hours;
    task.SampleTimeSecond = seconds;
    QCOMPARE(::blockCutShort(task, length), cut);
}

void TestRunRules::samplingWatch_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<qint32>("plannedStart"); // seconds after now on the instrument's clock
    QTest::addColumn<int>("expectedMs");
    QTest::newRow("at once") << 0 << 40 << 0 << (42 + 120) * 1000;
    QTest::newRow("planned start ahead") << 0 << 1 << 30 << (1 + 30 + 120) * 1000;
    QTest::newRow("planned start passed") << 0 << 1 << -30 << (1 + 120) * 1000;
    QTest::newRow("one hour") << 1 << 0 << 0 << (3780 + 120) * 1000;
    QTest::newRow("beyond a timer") << 1000 << 0 << 0 << std::numeric_limits<int>::max();
    QTest::newRow("hours of a file beyond 32 bits in seconds") << 999999 << 0 << 0 << std::numeric_limits<int>::max();
}

void TestRunRules::samplingWatch()
{
    QFETCH(int, hours);
    QFETCH(int, seconds);
    QFETCH(qint32, plannedStart);
    QFETCH(int, expectedMs);
    const qint64 now = 1700000000;
    const qint64 offset = -5;
    CtrlParam task;
    task.SampleRate = 4000;
    task.SampleTimeHour = hours;
    task.SampleTimeSecond = seconds;
    task.SampleStartTime = plannedStart == 0 ? 0 : qint32(now + offset + plannedStart);
    QCOMPARE(samplingWatchMs(task, now, offset, SamplingWatchMarginMs), expectedMs);
}

// The start notification is awaited from now, or from the group's planned start.
void TestRunRules::startWatch()
{
    const qint64 now = 1700000000;
    const qint64 offset = -5;
    CtrlParam task;
    task.SampleTimeHour = 10;
    QCOMPARE(startWatchMs(task, now, offset, 20000), 20000);
    task.SampleStartTime = qint32(now + offset + 30);
    QCOMPARE(startWatchMs(task, now, offset, 20000), 50000);
    task.SampleStartTime = qint32(now + offset - 30);
    QCOMPARE(startWatchMs(task, now, offset, 20000), 20000);
}

void TestRunRules::displayLength_data()
{
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<std::optional<int>>("largest");
    QTest::newRow("250 Hz, 10 s") << qint64(250) << qint64(10) << std::optional<int>(2048);
    QTest::newRow("277780 Hz, 1 s") << qint64(277780) << qint64(1) << std::optional<int>(262144);
    QTest::newRow("no duration") << qint64(4000) << qint64(0) << std::optional<int>();
    QTest::newRow("exactly the shortest") << qint64(64) << qint64(1) << std::optional<int>(64);
    QTest::newRow("beyond 32 bits") << qint64(277780) << qint64(79980) << std::optional<int>(262144);
    QTest::newRow("rate and duration of a file beyond 64 bits")
        << qint64(std::numeric_limits<int>::max()) << qint64(3600) * std::numeric_limits<int>::max()
        << std::optional<int>(262144);
}

void TestRunRules::displayLength()
{
    QFETCH(qint64, rate);
    QFETCH(qint64, seconds);
    QFETCH(std::optional<int>, largest);
    QCOMPARE(largestDisplayLength(rate, seconds), largest);
    QCOMPARE(clampedDisplayLength(262144, largest), largest.value_or(64));
    QCOMPARE(clampedDisplayLength(64, largest), 64);
}

void TestRunRules::dataComRetry()
{
    using Step = DataComRetry::Step;
    DataComRetry retry;
    retry.start();
    const QList<Step> steps = {retry.onTimeOut(), retry.onTimeOut(), retry.onTimeOut(), retry.onTimeOut()};
    QCOMPARE(steps, (QList<Step>{Step::Retry, Step::Retry, Step::GiveUp, Step::Nothing}));
    QCOMPARE(retry.attempts(), 3);
    retry.start();
    QCOMPARE(retry.attempts(), 0);
    QCOMPARE(retry.onTimeOut(), Step::Retry);
    QCOMPARE(dataComConnectingLabel(true), QString("数据传输端口连接中..."));
    QCOMPARE(dataComConnectingLabel(false), QString("数据传输端口连接失败，正在重试..."));
}

QTEST_GUILESS_MAIN(TestRunRules)
#include "tst_runrules.moc"
