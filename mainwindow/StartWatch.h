#ifndef STARTWATCH_H
#define STARTWATCH_H

#include <QObject>
#include <QTimer>

// Watches a start in flight: the instrument's start notification is awaited for one interval;
// when it does not come, the status the window then asks for is awaited for another. Each wait
// that runs out raises its signal once; a new arm() starts over.
class StartWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int intervalMs = 20000;

    explicit StartWatch(QObject *parent = nullptr);

    // Takes effect at the next arm() or awaitStatus().
    void setInterval(int ms);
    int interval() const { return intervalSetMs; }
    // The start notification is awaited from now, for waitMs or else the interval.
    void arm(int waitMs = -1);
    // The status asked about the overdue start is awaited from now.
    void awaitStatus();
    void stop();
    bool awaitsStatus() const { return stage == Stage::Status; }

signals:
    void notificationOverdue();
    void statusOverdue();

private:
    enum class Stage { Off, Notification, Status };
    void expire();

    QTimer timer;
    int intervalSetMs = intervalMs;
    Stage stage = Stage::Off;
};

#endif // STARTWATCH_H
