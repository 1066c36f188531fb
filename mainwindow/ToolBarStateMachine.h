#ifndef TOOLBARSTATEMACHINE_H
#define TOOLBARSTATEMACHINE_H

#include <QObject>

#include <array>

class QState;
class QStateMachine;
class QWidget;

// Which tool buttons of the main window are shown or usable in each phase of the work: no project,
// project idle, online run, offline run, trial run, and the choice between saving and discarding.
// Driven by the window's signals projOpened, sampleOver, sampleStart, samplStoped, preSampleStart,
// preSampleOver, offlineSampleStart and offlineSampleOver and by clicks on the save, discard and
// close-project buttons; the widgets are found under the window by object name.
class ToolBarStateMachine : public QObject
{
    Q_OBJECT
public:
    explicit ToolBarStateMachine(QWidget *window);

    // Enters the no-project state once the event loop runs.
    void start();
    // Object name of the current state ("stateNoProject", ...); empty before the machine runs.
    QString currentStateName() const;

public slots:
    // The window's work state (WorkState): closing the project is possible only while idle.
    void setWorkState(int state);

private:
    enum Phase { NoProject, ProjectIdle, Sampling, OfflineSampling, PreSampling, SaveChoice, PhaseCount };

    void addStates();
    void addTransitions();
    void applyCloseProjectEnabled();
    QWidget *widget(const char *objectName) const;

    QWidget *window;
    QStateMachine *machine;
    std::array<QState *, PhaseCount> states{};
    bool closeProjectByPhase = false;
    int workState;
};

#endif // TOOLBARSTATEMACHINE_H
