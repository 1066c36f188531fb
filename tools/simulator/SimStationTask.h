#ifndef SIMSTATIONTASK_H
#define SIMSTATIONTASK_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

// A station as the host names it in its selection texts ("ProjectID=", "LineNum=", "StationNum="
// lines). Station numbers are kept whole, as the task text carries them.
struct SimStationKey
{
    QString projectId;
    int line = 0;
    int station = 0;

    static SimStationKey fromSelection(const QByteArray &text);
    bool operator==(const SimStationKey &other) const
    {
        return projectId == other.projectId && line == other.line && station == other.station;
    }
};

// One frequency group of a station task text.
struct SimGroupTask
{
    int groupId = 1;
    std::array<bool, 5> channels{{true, true, true, true, true}}; // data-connection order: CH1 to CH5
    int sampleRate = 0;
    int sampleTime = 0; // seconds
    int plannedStart = 0;
    bool online = true;
    std::array<int, 5> gainCodes{{}};           // CHnGain=, the instrument's gain codes
    std::array<double, 3> dipoleLengths{{}};    // PoleDistance1..3: E0, E1, E2, metres
    int watchMode = 1;                          // WatchMachineMode=; Vector when not given
    QList<QByteArray> lines; // the group's key=value lines as the host sent them

    // Sample bytes per channel: rate x seconds x 4, or the fallback when the task gives no size.
    qint64 blockBytes(qint64 fallback, qint64 limit) const;
    // The gain factor behind the code of a channel (data-connection order), from the gain lists of
    // the rate's class on current hardware; 1 for a code not in the list.
    int gain(int channel) const;
};

// The station task text that starts a run: seven header lines, then one block per group,
// each opened by "GroupID=".
class SimStationTask
{
public:
    // False when the text holds no group.
    static bool parse(const QByteArray &text, SimStationTask *task);

    SimStationKey key;
    QList<SimGroupTask> groups;
};

#endif // SIMSTATIONTASK_H
