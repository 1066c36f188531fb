#ifndef FAULTCHECKS_H
#define FAULTCHECKS_H

#include "E2eFixture.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class AMTSimulator;
class E2eFixture;
class MainWindow;

// What the end-to-end fault tests check after a run or a read-back under a scripted fault.
namespace faults {

// (group index of the block header, data connection 0..4)
using BlockKey = QPair<int, int>;
// The samples of every block the instrument sent on its data connections under the message ID,
// as they were meant to travel.
QMap<BlockKey, QByteArray> sentBlocks(AMTSimulator &sim, uint32_t id);

struct SavedStation
{
    QSet<int> wholeGroups; // every channel of the group saved once, as sent
    QStringList faults;    // files saved short, shifted, under another rate, twice or partly
};
// Reads the station folder's ".ats" files against the blocks sent. rates: the rate of each
// group (group n at n - 1); channels: the data connections each group uses.
SavedStation checkSaved(const QString &stationDir, const QMap<BlockKey, QByteArray> &sent, const QList<int> &rates,
                        const QList<int> &channels);

// The operator can go on: start offered, or the save choice with Save enabled.
bool canGoOn(MainWindow &window);
bool saveOffered(MainWindow &window);
// A busy dialog still on show.
bool busyDialogShown();

// One rule of the simulator's script; false, with the reason in error, when it does not parse.
bool addFault(AMTSimulator &sim, const QString &rule, QString *error);

// The window over the simulator in the vector mode (each recording whole at its station), with
// byte-exact blocks, a project whose ID the instrument's storage uses, fast timers, and notices
// that stay queued so that none is missed.
struct FaultBench
{
    static constexpr int stallMs = 1000;

    E2eFixture fixture;
    bool offline = false; // the start button starts offline runs; set before setUp
    QString projectPath;
    std::unique_ptr<MainWindow> window;

    ~FaultBench();
    bool setUp(const QString &projectId);
    QString stationDir(int line, double station) const;
    QStringList notices() const;
    // Boxes since the given count, as their texts.
    QStringList boxesSince(int count) const;
    // Enters the line and station and clicks start; false when the start raised a box.
    bool clickStart(int line, double station);
    // Clicks 数据导出 and chooses every station of the line in the dialog.
    void readBackLine(int line);
    // Waits until the condition holds. When the window offers to connect again meanwhile, the
    // operator does so once, as in the field.
    bool settle(const std::function<bool()> &done, int timeoutMs);
};

} // namespace faults

#endif // FAULTCHECKS_H
