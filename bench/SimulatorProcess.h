#ifndef BENCH_SIMULATORPROCESS_H
#define BENCH_SIMULATORPROCESS_H

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <functional>

namespace bench {

constexpr int WaitMs = 120000;

inline bool waitUntil(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(WaitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// A memory figure of a process from /proc/<pid>/status, in bytes (Linux): VmRSS now, VmHWM the
// peak since the last reset. "self" is this process.
inline qint64 memoryFigure(const QByteArray &key, const QString &pid = "self")
{
    QFile status("/proc/" + pid + "/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// The instrument simulator as a separate process on free ports; stopped (by its own process id)
// with the object. base stays 0 when it did not start.
class SimulatorProcess
{
public:
    explicit SimulatorProcess(const QStringList &options)
    {
        process.start(AMT_SIMULATOR_PATH, QStringList{"--base", "0"} + options);
        if (!process.waitForStarted(10000) || !waitUntil([this] { return process.canReadLine(); }))
            return;
        const QList<QByteArray> words = process.readLine().trimmed().split(' ');
        base = quint16(words.value(1).toUInt());
    }
    ~SimulatorProcess()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    qint64 residentBytes() const { return memoryFigure("VmRSS", QString::number(process.processId())); }

    QProcess process;
    quint16 base = 0;
};

} // namespace bench

#endif // BENCH_SIMULATORPROCESS_H
