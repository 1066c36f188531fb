#include "mainwindow/ToolBarStateMachine.h"
#include "ui_MainWindow.h"

#include <QComboBox>
#include <QtTest>

namespace {

// Every row the tool bar assigns in every state.
const char *const rows[] = {"tbtnSystemUpdate.visible",   "tbtnStartSample.visible",    "tbtnPreSampleData.visible",
                            "tbtnStopSample.visible",     "tbtnSave.visible",           "tbtnSave.enabled",
                            "tbtnCancelSave.visible",     "tbtnNewProject.enabled",     "tbtnOpenProject.enabled",
                            "tbtnCloseProject.enabled",   "recentProjectList.enabled",  "lineEdit_LineNum.enabled",
                            "lineEdit_StationNum.enabled", "tbtnExportData.visible",    "tbtnMemoryManage.visible",
                            "tbtnSDCardFormat.visible",   "comboBox_SampleMode.enabled", "tbtnSwitchView.visible",
                            "tbtnLastSampleGroup.visible"};

// The rows that are true in each state; every other row is false.
const QMap<RunPhase::Phase, QStringList> &trueRows()
{
    static const QStringList resting{"tbtnMemoryManage.visible", "tbtnSDCardFormat.visible",
                                     "comboBox_SampleMode.enabled"};
    static const QMap<RunPhase::Phase, QStringList> table{
        {RunPhase::NoProject,
         resting + QStringList{"tbtnNewProject.enabled", "tbtnOpenProject.enabled", "recentProjectList.enabled"}},
        {RunPhase::Idle,
         resting + QStringList{"tbtnStartSample.visible", "tbtnPreSampleData.visible", "tbtnCloseProject.enabled",
                               "lineEdit_LineNum.enabled", "lineEdit_StationNum.enabled", "tbtnExportData.visible"}},
        {RunPhase::TrialRun, {}},
        {RunPhase::Sampling, {"tbtnStopSample.visible"}},
        {RunPhase::Offline, {"tbtnStopSample.visible"}},
        {RunPhase::OverWater, {"tbtnStopSample.visible"}},
        {RunPhase::SaveChoice, {"tbtnSave.visible", "tbtnCancelSave.visible"}},
        {RunPhase::ReadBack, {}},
        {RunPhase::Maintenance, {}},
    };
    return table;
}

} // namespace

class TestToolBarStates : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void formDefaultsUntilTheEventLoopRuns();
    void eachStateAssignsEveryRow_data();
    void eachStateAssignsEveryRow();
    void onlyTheIdleProjectBringsTheSamplingPage();

private:
    QVariant value(const QString &row) const;

    QMainWindow *window = nullptr;
    Ui_MainWindow ui;
    ToolBarStateMachine *machine = nullptr;
};

void TestToolBarStates::init()
{
    window = new QMainWindow;
    ui.setupUi(window);
    // The observation-mode chooser lives in a panel placed under the window.
    auto *chooser = new QComboBox(window);
    chooser->setObjectName("comboBox_SampleMode");
    for (const char *tab : {"工程管理", "参数设置", "采集任务"})
        ui.tabBar->addTab(QString::fromUtf8(tab));
    ui.tabBar->setCurrentIndex(0);
    machine = new ToolBarStateMachine(window);
    machine->start();
}

void TestToolBarStates::cleanup()
{
    delete window;
}

// Widgets of a window that is not shown are tested for being hidden, not for being visible.
QVariant TestToolBarStates::value(const QString &row) const
{
    const QStringList parts = row.split('.');
    auto *target = window->findChild<QWidget *>(parts.at(0));
    if (!target)
        return QVariant();
    if (parts.at(1) == "visible")
        return !target->isHidden();
    return target->property(qPrintable(parts.at(1)));
}

void TestToolBarStates::formDefaultsUntilTheEventLoopRuns()
{
    machine->show(RunPhase::Idle);
    QVERIFY(machine->currentStateName().isEmpty());
    QVERIFY(!ui.tbtnSystemUpdate->isHidden());
    QVERIFY(!ui.tbtnStopSample->isHidden());
    QTRY_COMPARE(machine->currentStateName(), QStringLiteral("stateProjectIdle"));
    QVERIFY(ui.tbtnSystemUpdate->isHidden());
    QVERIFY(ui.tbtnStopSample->isHidden());
}

void TestToolBarStates::eachStateAssignsEveryRow_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<QString>("state");
    const char *const names[] = {"stateNoProject",  "stateProjectIdle",       "statePreSampling",
                                 "stateSampling",   "stateOfflineSampling",   "stateOverWaterSampling",
                                 "stateSaveChoice", "stateReadBack",          "stateMaintenance"};
    for (int phase = 0; phase < RunPhase::PhaseCount; ++phase)
        QTest::newRow(names[phase]) << phase << QString(names[phase]);
}

// Whatever state came before, a state leaves no row as that state had it.
void TestToolBarStates::eachStateAssignsEveryRow()
{
    QFETCH(int, phase);
    QFETCH(QString, state);
    QTRY_VERIFY(!machine->currentStateName().isEmpty());
    const auto shown = RunPhase::Phase(phase);
    for (int before = 0; before < RunPhase::PhaseCount; ++before) {
        machine->show(RunPhase::Phase(before));
        machine->show(shown);
        QCOMPARE(machine->currentStateName(), state);
        for (const char *row : rows) {
            const QVariant expected = trueRows().value(shown).contains(row);
            QVERIFY2(value(row) == expected, qPrintable(QString("%1 after %2").arg(row).arg(before)));
        }
    }
}

void TestToolBarStates::onlyTheIdleProjectBringsTheSamplingPage()
{
    QTRY_VERIFY(!machine->currentStateName().isEmpty());
    QCOMPARE(ui.tabBar->currentIndex(), 0);
    machine->show(RunPhase::Idle);
    QCOMPARE(ui.tabBar->currentIndex(), 2);
    ui.tabBar->setCurrentIndex(1);
    for (int phase = 0; phase < RunPhase::PhaseCount; ++phase) {
        if (phase != RunPhase::Idle)
            machine->show(RunPhase::Phase(phase));
    }
    QCOMPARE(ui.tabBar->currentIndex(), 1);
}

QTEST_MAIN(TestToolBarStates)
#include "tst_toolbarstates.moc"
