#ifndef SAMPLETASKRULES_H
#define SAMPLETASKRULES_H

#include "common/CtrlParam.h"

#include <QList>
#include <QString>
#include <QTime>

#include <optional>

class QDateTime;

// The rules by which sampling tasks are built, checked and completed. No widgets here: the
// sampling task dialog reads its controls into these records and shows what the rules say.

// The five channels, in the order of CtrlParam's flags.
struct ChannelFlags
{
    bool Hx = false;
    bool Hy = false;
    bool E0 = false;
    bool E1 = false;
    bool E2 = false;

    bool any() const { return Hx || Hy || E0 || E1 || E2; }
    bool operator==(const ChannelFlags &o) const
    {
        return Hx == o.Hx && Hy == o.Hy && E0 == o.E0 && E1 == o.E1 && E2 == o.E2;
    }
    bool operator!=(const ChannelFlags &o) const { return !(*this == o); }
};

ChannelFlags channelsOf(const CtrlParam &task);
void setChannels(CtrlParam &task, const ChannelFlags &channels);

struct PoleDistances
{
    double E0 = 0.0;
    double E1 = 0.0;
    double E2 = 0.0;
};

// A line edit's text as a length: a text that is no number gives 0.
double poleDistanceFromText(const QString &text);
// A recorded channel needs a finite length greater than 0 ("nan" and "inf" parse as numbers).
bool poleDistancesValid(const ChannelFlags &recorded, const PoleDistances &lengths);

struct DurationParts
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
DurationParts splitDuration(int seconds);
// In 64 bits: a task list from a settings file may hold any field values.
qint64 durationSeconds(const CtrlParam &task);

// Outcome of the task check: the first failure's text, and for a duration outside its rate's
// limits the limit in seconds, to which the duration controls are then set.
struct TaskCheck
{
    QString failure;
    std::optional<int> durationLimit;

    bool passed() const { return failure.isEmpty(); }
};
TaskCheck checkTask(const CtrlParam &task);
// Each recorded channel kind has a gain of its rate's list.
bool gainsValid(const CtrlParam &task);

// The observation mode's condition on the channel boxes: the failure text, or empty.
QString channelRuleFailure(int mode, const ChannelFlags &boxes);
// A new task must record the channels of the last task already in the list.
bool sameChannelsAsList(const QList<CtrlParam> &list, const ChannelFlags &boxes);

// What setting an observation mode does to the channel boxes and the online/offline choice.
struct ModeChannelBoxes
{
    ChannelFlags on;
    ChannelFlags enabled;
    bool forcesOffline = false;
};
ModeChannelBoxes channelBoxesForMode(int mode);
// Modes in which Hx and Hy exclude each other.
bool hxHyExclusive(int mode);

// The gain values of the rate's class (read from the current, possibly old-hardware, lists).
const QList<int> &gainListForRate(int rate);
bool chopperPossible(int rate);
// Position 0's default when the rate is not offered.
int defaultSampleTimeForRate(int rate);

// The dialog's controls as a task sees them.
struct TaskControls
{
    ChannelFlags channels;
    int eGain = 0;
    int hGain = 0;
    PoleDistances lengths;
    int sampleRate = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int electrodeType = 0;
    bool chopperOn = false;
};
// A new task: every field from the controls, no planned start.
CtrlParam taskFromControls(const TaskControls &controls);
// An edited task takes gains, rate, duration and chopper; it keeps channels, lengths, electrode
// type and planned start.
void applyEditedFields(CtrlParam &task, const TaskControls &controls);
// All tasks of a custom list share the dipole lengths and the electrode type.
void applySharedFields(QList<CtrlParam> &list, const PoleDistances &lengths, int electrodeType);

// The stored preset list 1 ("推荐一") or 2 ("推荐二"); empty for any other number.
QList<CtrlParam> storedPresetTaskList(int number);
// A copy of a stored preset completed from the controls; each task keeps its rate, duration,
// planned start and chopper.
QList<CtrlParam> completedPresetTaskList(QList<CtrlParam> stored, const TaskControls &controls);

// The earliest synchronised start: PC time of day plus the instrument's clock offset plus 90 s,
// within one day, seconds dropped.
QTime earliestSyncStart(const QTime &pcTimeOfDay, qint32 machineOffsetSeconds);
bool syncChoiceIsEarlier(int hour, int minute, const QTime &earliest);
// The PC's current local date at the chosen hour and minute, as 32-bit seconds since the epoch.
qint32 plannedStartTime(const QDateTime &now, int hour, int minute);

#endif // SAMPLETASKRULES_H
