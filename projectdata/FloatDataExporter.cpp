#include "projectdata/FloatDataExporter.h"

#include "common/CtrlParam.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

constexpr int countBytes = 4;
constexpr qint64 samplesPerBlock = 65536;

QByteArray line(qint64 k, int sampleRate, qint32 count, double scale)
{
    const QString time = QString::number(double(k) / sampleRate, 'g', 10).leftJustified(10, ' ');
    return (time + ',' + QString::number(count * scale, 'g', 10) + '\n').toLatin1();
}

} // namespace

FloatDataExporter::FloatDataExporter(QObject *parent)
    : QObject(parent)
{
}

FloatDataExporter::~FloatDataExporter()
{
    pool.waitForAll();
}

void FloatDataExporter::waitForTasks()
{
    pool.waitForAll();
}

FloatDataExporter::Task FloatDataExporter::task(const QString &channelFile, const QString &outputFolder,
                                                const CtrlParam &param)
{
    const qint64 seconds =
        qint64(param.SampleTimeHour) * 3600 + qint64(param.SampleTimeMinute) * 60 + param.SampleTimeSecond;
    return {channelFile, outputFolder, param.SampleRate, qint64(param.SampleRate) * seconds};
}

QString FloatDataExporter::outputPath(const QString &folder, const QString &channelFile)
{
    const QString name = QFileInfo(channelFile).fileName();
    const int dot = name.lastIndexOf('.');
    return folder + '/' + (dot < 0 ? name : name.left(dot)) + QStringLiteral("_FloatData.txt");
}

double FloatDataExporter::scale(int sampleRate)
{
    return sampleRate <= 10001 ? 2500.0 / 2147483647.0 : 3000.0 / 8388608.0;
}

qint64 FloatDataExporter::exportChannel(const Task &task)
{
    QFile output(outputPath(task.outputFolder, task.channelFile));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    QFile input(task.channelFile);
    if (!input.open(QIODevice::ReadOnly)) {
        output.remove();
        return -1;
    }
    const qint64 written = writeLines(task, input, output);
    if (written == 0)
        output.remove();
    return written;
}

qint64 FloatDataExporter::writeLines(const Task &task, QFile &input, QFile &output)
{
    if (task.samples <= 0 || task.sampleRate <= 0)
        return 0;
    const double mv = scale(task.sampleRate);
    qint64 written = 0;
    while (written < task.samples) {
        const QByteArray block = input.read(qMin(samplesPerBlock, task.samples - written) * countBytes);
        const qint64 counts = block.size() / countBytes;
        if (counts == 0)
            break;
        QByteArray text;
        for (qint64 i = 0; i < counts; ++i, ++written)
            text += line(written + 1, task.sampleRate, qFromLittleEndian<qint32>(block.constData() + i * countBytes), mv);
        output.write(text);
    }
    return written;
}

bool FloatDataExporter::start(const QList<Task> &tasks)
{
    if (isRunning() || tasks.isEmpty())
        return false;
    remaining = tasks.size();
    written = 0;
    failed.clear();
    for (const Task &t : tasks) {
        pool.start([this, t]() {
            // A file that got no sample is no export of its channel.
            const bool ok = exportChannel(t) > 0;
            pool.post([this, t, ok]() { taskDone(t.channelFile, ok); });
        });
    }
    return true;
}

void FloatDataExporter::taskDone(const QString &channelFile, bool ok)
{
    if (ok)
        ++written;
    else
        failed.append(channelFile);
    if (--remaining == 0)
        emit finished();
}
