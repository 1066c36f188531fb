// Temporary recordings of the station being sampled, and the station task text.
#include "projectdata/DataModel_Index.h"

#include "common/Global_Variables.h"
#include "projectdata/ProjectFolder.h"
#include "projectdata/StationTaskText.h"

#include <QFile>

namespace {

// Takes the block's value when the current one is unset; false when both are set and differ.
template <typename T>
bool adopt(T &current, const T &block, const T &unset)
{
    if (current == unset) {
        current = block;
        return true;
    }
    return current == block;
}

bool adoptName(QString &current, const QString &block)
{
    if (current.isEmpty()) {
        current = block;
        return true;
    }
    return current == block;
}

bool adoptInputs(ChannelInputsConfig &current, const ChannelInputsConfig &block)
{
    return adoptName(current.HxInputNum, block.HxInputNum) && adoptName(current.HyInputNum, block.HyInputNum)
           && adoptName(current.E0InputNum, block.E0InputNum) && adoptName(current.E1InputNum, block.E1InputNum)
           && adoptName(current.E2InputNum, block.E2InputNum);
}

bool adoptRate(CtrlParam &current, const CtrlParam &block)
{
    if (current.SampleRate == 0) {
        current = block;
        return true;
    }
    return current.SampleRate == block.SampleRate;
}

} // namespace

QByteArray DataModel_Index::getStationConfigText(const StationSampleInfo &station, bool online, int existingGroups)
{
    return StationTaskText::build(station, online, existingGroups);
}

QString DataModel_Index::tempFileDir()
{
    return appDirPath + QStringLiteral("/TempFile");
}

// The block's identity checked against (and filling in) the current recording, in a fixed order.
bool DataModel_Index::acceptTempBlock(const SampleInfo &block)
{
    SampleInfo &current = currentTempSample;
    return adopt(current.MachineID, block.MachineID, 0) && adopt(current.LineNum, block.LineNum, 0)
           && adopt(current.StationNum, block.StationNum, 0.0) && adoptInputs(current.inputs, block.inputs)
           && adoptRate(current.ctrlParam, block.ctrlParam)
           && adopt(current.SampleStartTime, block.SampleStartTime, 0)
           && adopt(current.WatchMachineMode, block.WatchMachineMode, 0);
}

bool DataModel_Index::saveTempChannelData(SampleInfo block, int groupIndex, const QString &channelName,
                                          const char *data, unsigned length)
{
    if (!acceptTempBlock(block) || !makeDirIfMissing(tempFileDir()))
        return false;
    const QString path = tempFilePath(block, channelName, groupIndex);
    QFile *file = tempFiles.file(path);
    if (!writeRawDataToFile(file, data, length)) {
        // A block written in part is no recording: the save skips the missing file and says so.
        QFile::remove(path);
        emit snackMessage(tr("临时文件写入失败：%1").arg(path));
    }
    if (!currentTempSample.channelFiles.contains(file))
        currentTempSample.channelFiles.append(file);
    return true;
}

bool DataModel_Index::writeRawDataToFile(QFile *file, const char *data, unsigned length)
{
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file->write(data, qint64(length)) == qint64(length) && file->flush();
    file->close();
    return written && file->error() == QFileDevice::NoError;
}

void DataModel_Index::resetCurrentTempSample()
{
    currentTempSample = SampleInfo();
}

void DataModel_Index::discardCurrentTempSample()
{
    removeTempFiles({currentTempSample});
    resetCurrentTempSample();
}

void DataModel_Index::pushCurrentTempSample()
{
    tempSampleList.append(currentTempSample, false);
    resetCurrentTempSample();
}

bool DataModel_Index::isCurrentTempSample(int line, double station) const
{
    return currentTempSample.LineNum == line && currentTempSample.StationNum == station;
}

void DataModel_Index::finishCurrentTempSample(int line, double station)
{
    if (isCurrentTempSample(line, station))
        pushCurrentTempSample();
}

void DataModel_Index::showTempSampleTimeSeries(int line, double station, int index)
{
    if (index < 0 || index >= tempSampleList.size())
        return;
    const SampleInfo &entry = tempSampleList.at(index);
    if (entry.LineNum == line && entry.StationNum == station)
        emit showTimeSeries(entry);
}

int DataModel_Index::getTempSampleCount(int machine, int line, double station)
{
    int count = 0;
    for (int i = 0; i < tempSampleList.size(); ++i) {
        const SampleInfo &entry = tempSampleList.at(i);
        count += entry.MachineID == machine && entry.LineNum == line && entry.StationNum == station ? 1 : 0;
    }
    return count;
}

QList<SampleInfo> DataModel_Index::getTempSamples() const
{
    return tempSampleList.recordings();
}

const SampleInfo &DataModel_Index::getCurrentTempSample() const
{
    return currentTempSample;
}

void DataModel_Index::clearTempSampleData()
{
    removeTempFiles(tempSampleList.recordings());
    dropTempSamples();
}

// Forgets the list and the current recording (their files stay on disk); pending results are dropped.
void DataModel_Index::dropTempSamples()
{
    const bool hadPending = tempSampleList.pendingCount() > 0;
    tempSampleList.clear();
    ++tempGeneration;
    resetCurrentTempSample();
    tempFiles.clear();
    if (hadPending)
        emit pendingCalculationsChanged(0);
}

// Each file is first moved aside under a name no new block takes, so the slow part of deleting
// large files runs on the pool and a save or clear returns at once.
void DataModel_Index::removeTempFiles(const QList<SampleInfo> &recordings)
{
    QStringList movedAside;
    for (const SampleInfo &recording : recordings) {
        for (QFile *file : recording.channelFiles) {
            const QString path = file->fileName();
            const QString aside = path + QStringLiteral(".removing");
            if (QFile::rename(path, aside))
                movedAside << aside;
            else
                QFile::remove(path);
        }
    }
    if (!movedAside.isEmpty())
        taskPool.start([movedAside]() {
            for (const QString &path : movedAside)
                QFile::remove(path);
        });
}
