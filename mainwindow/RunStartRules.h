#ifndef RUNSTARTRULES_H
#define RUNSTARTRULES_H

#include "common/ChannelInputsConfig.h"
#include "common/CtrlParam.h"
#include "common/StationNumAutoConfig.h"

#include <QList>
#include <QString>

#include <optional>

// The checks before a sampling run, the trial run's tasks and the station step; no widgets
// here. The window gathers its state into StartCheckInput and shows what the rules say.

struct StartCheckInput
{
    bool projectOpen = false;
    bool connected = false;
    bool projectConfigured = false;
    QList<CtrlParam> tasks;
    qint64 nowSeconds = 0; // PC time, seconds since the epoch
    qint32 machineTimeOffset = 0;
    int gpsStatus = 0; // of the last status report
    ChannelInputsConfig inputs;
};

// A refused start: the box to show. A critical box without parent unless parentIsWindow.
struct StartRefusal
{
    QString title;
    QString text;
    bool parentIsWindow = false;

    bool operator==(const StartRefusal &o) const
    {
        return title == o.title && text == o.text && parentIsWindow == o.parentIsWindow;
    }
};

// The first check that fails, in the order the operator meets them; none when the run may start.
std::optional<StartRefusal> firstFailedStartCheck(const StartCheckInput &input);

// The line and station edits of a real run: a text that is no number gives 0.
struct LineStationEntry
{
    int line = 0;
    double station = 0.0;
};
LineStationEntry lineStationFromTexts(const QString &lineText, const QString &stationText);
// A real run needs both edits filled.
std::optional<StartRefusal> lineStationRefusal(const QString &lineText, const QString &stationText);
// The operator is asked before a real run repeats the last run's line and station.
bool asksSameLineStation(const LineStationEntry &entry, int lastLine, double lastStation, bool projectHasLines);
const QString &sameLineStationQuestion();

// The trial run's task: the duration shortened by the rate (hours and minutes 0).
CtrlParam trialTask(const CtrlParam &task);

// The station after an automatic step in the observation mode; in the modes that save one
// electric channel per station the step counts the electric channels of the run's first task
// (none without one). A station beyond six integer digits is cut by ten after a question.
struct SteppedStation
{
    double station = 0.0;
    bool tooLong = false; // ask "点号长度超出限制，请注意修改" first
};
SteppedStation steppedStation(double station, int mode, const StationNumAutoConfig &step,
                              const CtrlParam *firstTask);
// A station number as the station edit shows it (6 significant digits).
QString stationNumText(double station);

#endif // RUNSTARTRULES_H
