#include "mainwindow/ToolBarStateMachine.h"

#include <QDebug>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

namespace {

struct Assignment
{
    const char *widget;
    const char *property;
    bool values[RunPhase::PhaseCount]; // per phase, in the order of RunPhase::Phase
};

// Columns: no project, idle, trial run, sampling, offline, over-water, save choice, read-back,
// maintenance. In each state the rows are assigned top to bottom. Save is enabled by the window
// once the run's last group is over and no curve is pending.
const Assignment assignments[] = {
    {"tbtnSystemUpdate", "visible", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnStartSample", "visible", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnPreSampleData", "visible", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnStopSample", "visible", {0, 0, 0, 1, 1, 1, 0, 0, 0}},
    {"tbtnSave", "visible", {0, 0, 0, 0, 0, 0, 1, 0, 0}},
    {"tbtnSave", "enabled", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnCancelSave", "visible", {0, 0, 0, 0, 0, 0, 1, 0, 0}},
    {"tbtnNewProject", "enabled", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnOpenProject", "enabled", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnCloseProject", "enabled", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"recentProjectList", "enabled", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"lineEdit_LineNum", "enabled", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"lineEdit_StationNum", "enabled", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnExportData", "visible", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnMemoryManage", "visible", {1, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnSDCardFormat", "visible", {1, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"comboBox_SampleMode", "enabled", {1, 1, 0, 0, 0, 0, 0, 0, 0}}, // the observation mode
    // The window shows the view switch and the step back once a run has groups to show.
    {"tbtnSwitchView", "visible", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"tbtnLastSampleGroup", "visible", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

const char *const stateNames[RunPhase::PhaseCount] = {
    "stateNoProject",         "stateProjectIdle", "statePreSampling", "stateSampling",   "stateOfflineSampling",
    "stateOverWaterSampling", "stateSaveChoice",  "stateReadBack",    "stateMaintenance"};

constexpr int samplingPage = 2;

} // namespace

ToolBarStateMachine::ToolBarStateMachine(QWidget *window) : QObject(window), window(window) {}

void ToolBarStateMachine::start()
{
    QTimer::singleShot(0, this, [this] {
        running = true;
        assign(phase);
    });
}

void ToolBarStateMachine::show(RunPhase::Phase next)
{
    phase = next;
    if (running)
        assign(phase);
}

QString ToolBarStateMachine::currentStateName() const
{
    return running ? stateName(phase) : QString();
}

QString ToolBarStateMachine::stateName(RunPhase::Phase phase)
{
    return QLatin1String(stateNames[phase]);
}

// The idle project state also brings the sampling page forward; no other state moves the tabs.
void ToolBarStateMachine::assign(RunPhase::Phase shown)
{
    for (const Assignment &row : assignments) {
        if (QWidget *target = widget(row.widget))
            target->setProperty(row.property, row.values[shown]);
    }
    if (shown != RunPhase::Idle)
        return;
    if (auto *tabs = qobject_cast<QTabBar *>(widget("tabBar")))
        tabs->setCurrentIndex(samplingPage);
}

QWidget *ToolBarStateMachine::widget(const char *objectName) const
{
    auto *found = window->findChild<QWidget *>(QLatin1String(objectName));
    if (!found)
        qWarning() << "tool bar: no widget" << objectName;
    return found;
}
