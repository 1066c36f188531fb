#include "mainwindow/ToolBarStateMachine.h"

#include "mainwindow/GuardedSignalTransition.h"
#include "mainwindow/WorkState.h"

#include <QDebug>
#include <QState>
#include <QStateMachine>
#include <QWidget>

namespace {

constexpr int keep = -1; // the phase leaves the property as it is

struct Assignment
{
    const char *widget;
    const char *property;
    int values[6]; // per phase, in the order of ToolBarStateMachine::Phase
};

// In each phase the rows are assigned top to bottom. The close-project button is not here: its
// enabled state also depends on the work state.
const Assignment assignments[] = {
    {"tbtnSystemUpdate", "visible", {0, keep, keep, keep, keep, keep}},
    {"tbtnStartSample", "visible", {0, 1, 0, 0, 0, 0}},
    {"tbtnPreSampleData", "visible", {0, 1, 0, 0, 0, 0}},
    {"tbtnStopSample", "visible", {0, 0, 1, 1, 0, 0}},
    {"tbtnSave", "visible", {0, 0, 0, 0, 0, 1}},
    {"tbtnSave", "enabled", {keep, keep, keep, keep, keep, 0}},
    {"tbtnCancelSave", "visible", {0, 0, 0, 0, 0, 1}},
    {"tbtnNewProject", "enabled", {1, 0, keep, keep, keep, keep}},
    {"tbtnOpenProject", "enabled", {1, 0, keep, keep, keep, keep}},
    {"recentProjectList", "enabled", {1, 0, keep, keep, keep, keep}},
    {"lineEdit_LineNum", "enabled", {0, 1, 0, keep, keep, keep}},
    {"lineEdit_StationNum", "enabled", {0, 1, 0, keep, keep, keep}},
    {"tbtnExportData", "visible", {0, 1, 0, 0, 0, keep}},
    {"tbtnMemoryManage", "visible", {1, 1, 0, 0, 0, keep}},
    {"tbtnSDCardFormat", "visible", {1, 1, 0, 0, 0, keep}},
    {"tabBar", "currentIndex", {keep, 2, keep, keep, keep, keep}}, // the sampling page
    {"tbtnSwitchView", "visible", {0, 0, 0, keep, keep, keep}},
    {"tbtnLastSampleGroup", "visible", {0, 0, 0, keep, keep, keep}},
};

// Whether a phase allows closing the project; the other phases keep what the last one allowed.
const int closeProjectByPhaseValues[] = {0, 1, 0, keep, keep, keep};

const char *const phaseNames[] = {"stateNoProject",       "stateProjectIdle", "stateSampling",
                                  "stateOfflineSampling", "statePreSampling", "stateSaveChoice"};

} // namespace

ToolBarStateMachine::ToolBarStateMachine(QWidget *window)
    : QObject(window), window(window), machine(new QStateMachine(this)), workState(WORK_IDLE)
{
    addStates();
    addTransitions();
    machine->setInitialState(states[NoProject]);
}

void ToolBarStateMachine::start()
{
    machine->start();
}

QString ToolBarStateMachine::currentStateName() const
{
    const auto configuration = machine->configuration();
    return configuration.isEmpty() ? QString() : (*configuration.begin())->objectName();
}

void ToolBarStateMachine::setWorkState(int state)
{
    workState = state;
    applyCloseProjectEnabled();
}

void ToolBarStateMachine::addStates()
{
    for (int phase = 0; phase < PhaseCount; ++phase) {
        auto *state = new QState(machine);
        state->setObjectName(QLatin1String(phaseNames[phase]));
        for (const Assignment &row : assignments) {
            if (row.values[phase] == keep)
                continue;
            if (QWidget *target = widget(row.widget))
                state->assignProperty(target, row.property, row.values[phase]);
        }
        const int closeProject = closeProjectByPhaseValues[phase];
        if (closeProject != keep) {
            connect(state, &QState::entered, this, [this, closeProject] {
                closeProjectByPhase = closeProject != 0;
                applyCloseProjectEnabled();
            });
        }
        states[phase] = state;
    }
}

void ToolBarStateMachine::addTransitions()
{
    states[NoProject]->addTransition(window, SIGNAL(projOpened()), states[ProjectIdle]);
    states[ProjectIdle]->addTransition(window, SIGNAL(sampleStart()), states[Sampling]);
    states[ProjectIdle]->addTransition(window, SIGNAL(offlineSampleStart()), states[OfflineSampling]);
    states[ProjectIdle]->addTransition(window, SIGNAL(preSampleStart()), states[PreSampling]);
    states[Sampling]->addTransition(window, SIGNAL(sampleOver()), states[SaveChoice]);
    states[Sampling]->addTransition(window, SIGNAL(samplStoped()), states[ProjectIdle]);
    states[OfflineSampling]->addTransition(window, SIGNAL(samplStoped()), states[ProjectIdle]);
    states[OfflineSampling]->addTransition(window, SIGNAL(offlineSampleOver()), states[ProjectIdle]);
    states[PreSampling]->addTransition(window, SIGNAL(preSampleOver()), states[ProjectIdle]);
    // A trial run the instrument stops is over as well.
    states[PreSampling]->addTransition(window, SIGNAL(samplStoped()), states[ProjectIdle]);
    states[SaveChoice]->addTransition(widget("tbtnSave"), SIGNAL(clicked()), states[ProjectIdle]);
    states[SaveChoice]->addTransition(widget("tbtnCancelSave"), SIGNAL(clicked()), states[ProjectIdle]);
    // A refused save brings the choice back.
    states[ProjectIdle]->addTransition(window, SIGNAL(saveRefused()), states[SaveChoice]);
    // The click must not close the project in the tool bar while a run or an export goes on.
    auto *close = new GuardedSignalTransition(widget("tbtnCloseProject"), SIGNAL(clicked()),
                                              [this] { return workState == WORK_IDLE; }, states[ProjectIdle]);
    close->setTargetState(states[NoProject]);
}

void ToolBarStateMachine::applyCloseProjectEnabled()
{
    if (QWidget *button = widget("tbtnCloseProject"))
        button->setEnabled(closeProjectByPhase && workState == WORK_IDLE);
}

QWidget *ToolBarStateMachine::widget(const char *objectName) const
{
    auto *found = window->findChild<QWidget *>(QLatin1String(objectName));
    if (!found)
        qWarning() << "tool-bar state machine: no widget" << objectName;
    return found;
}
