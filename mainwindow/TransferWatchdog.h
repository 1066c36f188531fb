#ifndef TRANSFERWATCHDOG_H
#define TRANSFERWATCHDOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Watches a transfer for progress. The progress count (bytes received, say) is read once per
// interval; when it has not moved and nothing was fed meanwhile, stalled() is raised with the
// number of stalls since start(), and the watch goes on until stopped. A check that comes late,
// because the event loop was held up, is no stall: bytes may be waiting unread.
class TransferWatchdog : public QObject
{
    Q_OBJECT
public:
    static constexpr int intervalMs = 20000;

    explicit TransferWatchdog(std::function<qint64()> progress, QObject *parent = nullptr);

    // Takes effect at the next start() or feed().
    void setInterval(int ms);
    int interval() const { return stallIntervalMs; }
    // A new watch: the interval counts from now and the stalls from zero.
    void start();
    // Progress the count does not see (a reply, a text): the interval counts from now. A watch
    // that is not running stays so.
    void feed();
    void stop();
    bool isActive() const { return timer.isActive(); }

signals:
    void stalled(int times);

private:
    void arm();
    void check();

    std::function<qint64()> progress;
    QTimer timer;
    QElapsedTimer sinceCheck;
    int stallIntervalMs = intervalMs;
    qint64 lastSeen = 0;
    int stalls = 0;
};

#endif // TRANSFERWATCHDOG_H
