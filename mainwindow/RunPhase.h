#ifndef RUNPHASE_H
#define RUNPHASE_H

#include <QString>

// The one owner of what the program is doing with the instrument; no widgets here.
//
// How the window uses it: every change of phase goes through MainWindow::enterPhase (or
// enterRestingPhase: idle with a project, no project without), which enters the phase here and
// shows the tool bar's state of the same phase, so the work state (workState()) and the tool bar
// never disagree. A slot asks MainWindow::refuseIn(action) first; it shows the refusal and says
// yes when the phase does not allow the action. A reply or notification of the instrument is
// taken only when MainWindow::expectsReply(reply, what) says the phase and the step of the group
// being handled wait for it; otherwise it is logged and ignored. The run's slots set the group's
// step (setGroupStep). Nothing else keeps a work state: read workState() or phase().
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
        Maintenance // the instrument deletes stored data or formats its card
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

    // Where the group being handled stands: its start, its sampling and, in an online run, its
    // transfer.
    enum GroupStep {
        NoGroup,           // nothing asked for
        StartAsked,        // a run's start waits for an idle status report
        GroupsAsked,       // the instrument was asked how many groups the station holds
        StartSent,         // the group's start was sent; the instrument's start notification follows
        GroupSampling,     // the instrument samples it; its end is awaited
        TransferRequested, // its transfer was asked for; the data connections, blocks and end follow
    };

    // What the instrument sends that only some phases wait for.
    enum Reply {
        GroupsCount,     // the answer to the groups request
        SampleStarted,   // the instrument started the group
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
    // A run's start waits for an idle status report, or for the groups answer that follows it.
    bool startWaits() const { return step == StartAsked; }
    bool startRequested() const { return step == StartAsked || step == GroupsAsked; }
    // A run's start is in flight: from the click to the instrument's start notification, before
    // any run phase. It forbids what a run forbids.
    bool starting() const { return (current == Idle || current == NoProject) && step != NoGroup; }

    // Entering a phase ends the group being handled; the save choice still waits for the end of
    // its last group.
    void enter(Phase phase);
    void setGroupStep(GroupStep groupStep) { step = groupStep; }

    bool may(Action action) const;
    bool expects(Reply reply) const;

    // The warning (title "提醒") that refuses the action; empty for the actions whose buttons the
    // tool bar hides whenever they are refused.
    static QString refusalText(Action action);
    // The refusal of an action whose text is empty while a start is in flight.
    static QString startingText();
    static QString name(Phase phase);

private:
    Phase current = NoProject;
    GroupStep step = NoGroup;
};

#endif // RUNPHASE_H
