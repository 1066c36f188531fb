#ifndef FLOATDATAEXPORTER_H
#define FLOATDATAEXPORTER_H

#include "projectdata/ImpedanceTaskPool.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QFile;
struct CtrlParam;

// Writes channel files as text of time and millivolt pairs, one task per channel file on the
// global thread pool, one export at a time. Lives on the GUI thread; finished is emitted there.
class FloatDataExporter : public QObject
{
    Q_OBJECT

public:
    struct Task
    {
        QString channelFile;
        QString outputFolder;
        int sampleRate = 0;
        qint64 samples = 0;
    };

    explicit FloatDataExporter(QObject *parent = nullptr);
    ~FloatDataExporter() override;

    // False, nothing started, while an export runs or without a task.
    bool start(const QList<Task> &tasks);
    bool isRunning() const { return remaining > 0; }
    // Blocks until every task of this exporter has returned.
    void waitForTasks();

    static Task task(const QString &channelFile, const QString &outputFolder, const CtrlParam &param);
    // folder + "/" + the file's name without folder and final extension + "_FloatData.txt".
    static QString outputPath(const QString &folder, const QString &channelFile);
    // Millivolts per count at the sample rate.
    static double scale(int sampleRate);
    // Writes the task's output file; the lines written, which stop early at the end of a short
    // channel file; -1, no output left, when the channel file cannot be read or the output opened;
    // 0, no output left, when no sample was written (no rate or duration, an empty channel file).
    static qint64 exportChannel(const Task &task);
    // Of the last export, once finished: the output files written and the channel files that failed.
    int writtenCount() const { return written; }
    QStringList failedFiles() const { return failed; }

signals:
    void finished();

private:
    static qint64 writeLines(const Task &task, QFile &input, QFile &output);
    void taskDone(const QString &channelFile, bool ok);

    ImpedanceTaskPool pool;
    int remaining = 0;
    int written = 0;
    QStringList failed;
};

#endif // FLOATDATAEXPORTER_H
