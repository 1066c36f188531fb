#include "mainwindow/RunPhase.h"
#include "mainwindow/WorkState.h"

#include <QtTest>

namespace {

using P = RunPhase;

// Columns in the order of RunPhase::Phase: no project, idle, trial run, sampling, offline,
// over-water, save choice, read-back, maintenance.
using Row = std::array<int, RunPhase::PhaseCount>;

RunPhase inPhase(int phase, RunPhase::GroupStep step = RunPhase::NoGroup)
{
    RunPhase runPhase;
    runPhase.enter(RunPhase::Phase(phase));
    runPhase.setGroupStep(step);
    return runPhase;
}

} // namespace

Q_DECLARE_METATYPE(Row)

class TestRunPhase : public QObject
{
    Q_OBJECT
private slots:
    void mayByPhase_data();
    void mayByPhase();
    void workStateByPhase();
    void expectedRepliesByPhaseAndStep_data();
    void expectedRepliesByPhaseAndStep();
    void theSaveChoiceStillWaitsForItsLastGroup();
    void aStartInFlightForbidsWhatARunForbids();
};

void TestRunPhase::mayByPhase_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<Row>("allowed");
    const Row resting{1, 1, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("start") << int(P::Start) << resting;
    QTest::newRow("trial") << int(P::Trial) << resting;
    QTest::newRow("stop") << int(P::Stop) << Row{0, 0, 0, 1, 1, 1, 0, 0, 0};
    QTest::newRow("save") << int(P::Save) << Row{0, 0, 0, 0, 0, 0, 1, 0, 0};
    QTest::newRow("discard") << int(P::Discard) << Row{0, 0, 0, 0, 0, 0, 1, 0, 0};
    QTest::newRow("read-back") << int(P::ReadBackData) << resting;
    QTest::newRow("storage management") << int(P::StorageManagement) << resting;
    QTest::newRow("format") << int(P::Format) << resting;
    QTest::newRow("power off") << int(P::PowerOff) << resting;
    QTest::newRow("close project") << int(P::CloseProject) << Row{0, 1, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("disconnect") << int(P::Disconnect) << Row{1, 1, 0, 0, 1, 0, 1, 0, 1};
    QTest::newRow("task dialog") << int(P::TaskDialog) << resting;
    QTest::newRow("observation mode") << int(P::ObservationMode) << resting;
}

void TestRunPhase::mayByPhase()
{
    QFETCH(int, action);
    QFETCH(Row, allowed);
    for (int phase = 0; phase < RunPhase::PhaseCount; ++phase) {
        QVERIFY2(inPhase(phase).may(RunPhase::Action(action)) == bool(allowed[phase]),
                 qPrintable(RunPhase::name(RunPhase::Phase(phase))));
    }
}

void TestRunPhase::workStateByPhase()
{
    const Row expected{WORK_IDLE,
                       WORK_IDLE,
                       WORK_ONLINE_SAMPLING,
                       WORK_ONLINE_SAMPLING,
                       WORK_OFFLINE_SAMPLING,
                       WORK_OVERWATER_SAMPLING,
                       WORK_IDLE,
                       WORK_EXPORTING,
                       WORK_IDLE};
    for (int phase = 0; phase < RunPhase::PhaseCount; ++phase)
        QCOMPARE(inPhase(phase).workState(), expected[phase]);
}

void TestRunPhase::expectedRepliesByPhaseAndStep_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<int>("step");
    QTest::addColumn<Row>("expected");
    const Row none{};
    const Row every{1, 1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("groups answer to the request") << int(P::GroupsCount) << int(P::GroupsAsked) << every;
    QTest::newRow("groups answer before the request") << int(P::GroupsCount) << int(P::StartAsked) << none;
    QTest::newRow("start notification after the start") << int(P::SampleStarted) << int(P::StartSent) << every;
    QTest::newRow("start notification again") << int(P::SampleStarted) << int(P::GroupSampling) << none;
    QTest::newRow("group end while sampling") << int(P::GroupSampled) << int(P::GroupSampling)
                                              << Row{0, 0, 1, 1, 1, 1, 0, 0, 0};
    QTest::newRow("group end again after its transfer request")
        << int(P::GroupSampled) << int(P::TransferRequested) << none;
    QTest::newRow("group end before a start") << int(P::GroupSampled) << int(P::NoGroup) << none;
    QTest::newRow("data connections after the request") << int(P::DataComsWanted) << int(P::TransferRequested)
                                                        << Row{0, 0, 1, 1, 0, 0, 0, 0, 0};
    QTest::newRow("data connections without a request") << int(P::DataComsWanted) << int(P::NoGroup) << none;
    QTest::newRow("transfer over after the request") << int(P::TransferOver) << int(P::TransferRequested)
                                                     << Row{0, 0, 1, 1, 0, 0, 1, 0, 0};
    QTest::newRow("transfer over again") << int(P::TransferOver) << int(P::NoGroup) << none;
    QTest::newRow("transfer over while sampling") << int(P::TransferOver) << int(P::GroupSampling) << none;
    QTest::newRow("stop answer") << int(P::SampleStopped) << int(P::NoGroup) << Row{0, 0, 1, 1, 1, 1, 0, 1, 0};
}

void TestRunPhase::expectedRepliesByPhaseAndStep()
{
    QFETCH(int, reply);
    QFETCH(int, step);
    QFETCH(Row, expected);
    for (int phase = 0; phase < RunPhase::PhaseCount; ++phase) {
        QVERIFY2(inPhase(phase, RunPhase::GroupStep(step)).expects(RunPhase::Reply(reply)) == bool(expected[phase]),
                 qPrintable(RunPhase::name(RunPhase::Phase(phase))));
    }
}

// The run's last transfer ends before its group's end arrives; any other phase forgets the group.
void TestRunPhase::theSaveChoiceStillWaitsForItsLastGroup()
{
    RunPhase runPhase;
    runPhase.enter(RunPhase::Sampling);
    runPhase.setGroupStep(RunPhase::TransferRequested);
    runPhase.enter(RunPhase::SaveChoice);
    QVERIFY(runPhase.expects(RunPhase::TransferOver));
    runPhase.enter(RunPhase::Idle);
    QCOMPARE(runPhase.groupStep(), RunPhase::NoGroup);
}

// From the click to the start notification the project is idle, but nothing that a run forbids
// may happen; a later group's start belongs to its run's phase.
void TestRunPhase::aStartInFlightForbidsWhatARunForbids()
{
    for (const auto step : {RunPhase::StartAsked, RunPhase::GroupsAsked, RunPhase::StartSent}) {
        const RunPhase starting = inPhase(RunPhase::Idle, step);
        QVERIFY(starting.starting());
        QCOMPARE(starting.workState(), int(WORK_IDLE));
        for (int action = RunPhase::Start; action <= RunPhase::ObservationMode; ++action)
            QVERIFY2(!starting.may(RunPhase::Action(action)), qPrintable(QString::number(action)));
    }
    QVERIFY(!inPhase(RunPhase::Sampling, RunPhase::StartSent).starting());
    QVERIFY(inPhase(RunPhase::Sampling, RunPhase::StartSent).may(RunPhase::Stop));
    QVERIFY(inPhase(RunPhase::Idle).may(RunPhase::Disconnect));
}

QTEST_MAIN(TestRunPhase)
#include "tst_runphase.moc"
