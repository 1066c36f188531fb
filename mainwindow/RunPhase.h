#ifndef RUNPHASE_H
#define RUNPHASE_H

#include <QString>

// The one owner of what the program is doing with the instrument; no widgets here.
//
// How the window uses it: every change of phase goes through MainWindow::enterPhase, which
// enters the phase here and shows the tool bar's state of the same name, so the work state
// (workState()) and the tool bar never disagree. Every "may I do this now?" of a slot is
// may(action); the slot refuses when it says no. Replies and notifications of the instrument
// are checked with expects() against the phase and the step of the group being handled, and
// are ignored (and logged) when the phase does not wait for them. Nothing else keeps a work
// state: read workState() or phase() instead.
class RunPhase
{
public:
    enum Phase {
        NoProject,
        Idle,       // a project is open and nothing runs
        TrialRun,   // online, groups shortened, dropped by the instrument at the end
        Sampling,   // online real run
        Offline,    // offline run, the instrument keeps the groups
        OverWater,  // offline runs repeated station after station
        SaveChoice, // a finished real run waits for save or discard
        ReadBack,   // stored stations are copied from the instrument
        Maintenance // the instrument deletes, formats or sends its log
    };
    static constexpr int PhaseCount = Maintenance + 1;

    enum Action {
        Start,
        Trial,
        Stop,
        Save,
        Discard,
        ReadBackData,
        StorageManagement,
        Format,
        PowerOff,
        CloseProject,
        Disconnect,
        TaskDialog,
        ObservationMode,
    };

    // Where the group being handled stands in an online run.
    enum GroupStep {
        NoGroup,           // no group asked for
        GroupSampling,     // the instrument samples it; its end is awaited
        TransferRequested, // its transfer was asked for; the data connections, blocks and end follow
    };

    // What the instrument sends that only some phases wait for.
    enum Reply {
        GroupSampled,    // a group's sampling has ended
        DataComsWanted,  // the instrument waits for the data connections
        TransferOver,    // the instrument's answer to the transfer request
        SampleStopped,   // the answer to a stop
    };

    Phase phase() const { return current; }
    GroupStep groupStep() const { return step; }
    // The work state (WorkState) of the phase.
    int workState() const;
    bool isRun() const;

    // Entering a phase ends the group being handled; the save choice still waits for the end of
    // its last group.
    void enter(Phase phase);
    void setGroupStep(GroupStep groupStep) { step = groupStep; }

    bool may(Action action) const;
    bool expects(Reply reply) const;

    // The warning (title "提醒") that refuses the action; empty for the actions whose buttons the
    // tool bar hides whenever they are refused.
    static QString refusalText(Action action);
    static QString name(Phase phase);

private:
    Phase current = NoProject;
    GroupStep step = NoGroup;
};

#endif // RUNPHASE_H
