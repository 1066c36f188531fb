#ifndef READBACKGROUPS_H
#define READBACKGROUPS_H

#include "common/SampleInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

// The groups of the station being read back, matched to what the instrument sends. The station
// text lists them in the order the instrument sends them, numbered 1, 2, ...; a block or group
// end counts only for the group asked for, by its group index. No widgets here.
class ReadBackGroups
{
public:
    // What the window does with a block.
    enum class Block
    {
        Ignored, // another group's, a repeat, or an unused channel's
        Held,    // of a group the project holds already: received, not kept
        Keep,    // of a group the project lacks, whole
        Cut,     // the block that cuts its group: the group's blocks kept so far go
    };

    // The station text's groups. Each recording the project holds for the station accounts for
    // one group of the same rate and start time; the others are the groups to store.
    void start(const QList<SampleInfo> &groups, const QList<SampleInfo> &stored);
    void clear();

    int count() const { return groups.size(); }
    int wantedCount() const;
    // Position (0 first) of the group asked for, and the group index its blocks carry.
    int position() const { return current; }
    int groupIndex() const { return current + 1; }

    Block take(int channel, int groupIndex, qint64 dataLength);
    // Every channel the group asked for uses has delivered its block.
    bool whole() const;
    bool wanted() const;
    bool cut() const;
    // Asks for the next group; false after the last.
    bool next();

    // The groups to store that came whole, in the station text's order.
    QList<SampleInfo> keptGroups() const;
    // Those of them before the group asked for: what a read-back that ends here has received.
    QList<SampleInfo> keptGroupsSoFar() const;
    // "第n组（rate Hz）" of each group that came cut.
    QStringList cutGroupNames() const;

private:
    enum class State { Held, Wanted, Cut };
    QList<SampleInfo> keptGroupsBefore(int position) const;
    QList<SampleInfo> groups;
    QList<State> states;
    int current = 0;
    unsigned arrived = 0; // channel bits of the group asked for
};

// The recordings listed in a station's "config.ini", in row order; none when it cannot be read.
QList<SampleInfo> stationRecordings(const QString &configPath);

// The closing box of a read-back that did not store everything; empty when it did.
QString readBackShortfallText(const QStringList &unsavedStations, const QStringList &cutGroups);

#endif // READBACKGROUPS_H
