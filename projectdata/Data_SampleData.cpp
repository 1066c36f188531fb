#include "projectdata/Data_SampleData.h"

#include "common/PlainFileName.h"
#include "projectdata/ChannelFileName.h"
#include "projectdata/ChannelFileRegistry.h"
#include "projectdata/CheckedFileCopy.h"
#include "projectdata/ImpedanceCurve.h"
#include "projectdata/StationConfigFile.h"

#include <QDir>
#include <QFileInfo>

Data_SampleData::Data_SampleData(LibHORM *store, QObject *parent)
    : HORM_BaseObject(store, parent)
    , channelFilePaths(5)
{
    resetSampleInfo();
}

void Data_SampleData::resetSampleInfo()
{
    sampleInfo = SampleInfo();
}

void Data_SampleData::setSampleDataNum(int value)
{
    SampleDataNum = value;
    markChanged(QStringLiteral("SampleDataNum"));
}

void Data_SampleData::setSampleRate(int value)
{
    SampleRate = value;
    markChanged(QStringLiteral("SampleRate"));
}

void Data_SampleData::setUse(int value)
{
    Use = value;
    markChanged(QStringLiteral("Use"));
}

void Data_SampleData::setData_StationID(int value)
{
    Data_StationID = value;
    markChanged(QStringLiteral("Data_StationID"));
}

HORM_Collection<Data_ProcessData> *Data_SampleData::getREF_Data_ProcessData()
{
    loadReferences();
    return REF_Data_ProcessData;
}

void Data_SampleData::resetREF_Data_ProcessData()
{
    REF_Data_ProcessData = createChildCollection<Data_ProcessData>();
}

void Data_SampleData::setSampleFolder(const QString &folder)
{
    sampleFolder = folder;
}

bool Data_SampleData::hasSampleFolder() const
{
    return !sampleFolder.isEmpty();
}

void Data_SampleData::setChannelFileRegistry(ChannelFileRegistry *registry)
{
    fileRegistry = registry;
}

bool Data_SampleData::setSampleInfo(const SampleInfo &info)
{
    if (!hasSampleFolder())
        return false;
    sampleInfo = info;
    return true;
}

SampleInfo Data_SampleData::getSampleInfo()
{
    readConfigFile();
    return sampleInfo;
}

GPSPosition Data_SampleData::getGPS() const
{
    return stationPosition;
}

QVector<QString> Data_SampleData::getChannelFiles() const
{
    return channelFilePaths;
}

// The paths of the recording's files under the first copy number from n that none of them uses.
QStringList Data_SampleData::savedPaths(const SampleInfo &recording, int n, bool renameStation) const
{
    for (;; ++n) {
        QStringList paths;
        bool free = true;
        for (const QFile *source : recording.channelFiles) {
            if (!source) {
                paths << QString();
                continue;
            }
            const QString name = QFileInfo(source->fileName()).fileName();
            paths << sampleFolder + QLatin1Char('/')
                         + ChannelFileName::savedName(
                             renameStation ? ChannelFileName::withStation(name, recording.StationNum) : name, n);
            free = free && !QFileInfo::exists(paths.last());
        }
        if (free)
            return paths;
    }
}

QList<QFile *> Data_SampleData::copyChannelFiles(const SampleInfo &recording, int n, bool renameStation,
                                                 CopyReport *report)
{
    CopyReport local;
    CopyReport &r = report ? *report : local;
    QList<QFile *> saved;
    if (sampleFolder.isEmpty())
        return saved;
    channelFilePaths = QVector<QString>(5);
    const QStringList paths = savedPaths(recording, n, renameStation);
    for (int i = 0; i < recording.channelFiles.size(); ++i) {
        const QFile *source = recording.channelFiles.at(i);
        if (!source)
            continue;
        const QString &path = paths.at(i);
        if (!copyFileChecked(source->fileName(), path, &r.error)) {
            r.ok = false;
            return saved;
        }
        const int slot = ChannelFileName::pathSlot(ChannelFileName::channelTag(QFileInfo(path).fileName()));
        if (slot >= 0)
            channelFilePaths[slot] = path;
        if (fileRegistry)
            saved.append(fileRegistry->file(path));
    }
    return saved;
}

void Data_SampleData::readConfigFile()
{
    QStringList stationCells;
    QStringList recordingCells;
    const QString configPath = sampleFolder + QStringLiteral("/config.ini");
    damage.clear();
    if (!StationConfigFile::read(configPath, SampleDataNum, stationCells, recordingCells))
        return;
    StationConfigRow::StationFields station{stationMachineId, stationProjectName, stationPosition};
    StationConfigRow::readStationRow(stationCells, station, sampleInfo);
    stationMachineId = station.machineId;
    stationProjectName = station.projectName;
    stationPosition = station.position;
    StationConfigRow::readRecordingRow(recordingCells, sampleInfo);
    QStringList names;
    const bool hasFileCells = StationConfigRow::channelFileNames(recordingCells, names);
    const ChannelInputsConfig &sensors = sampleInfo.inputs;
    const QString unplain = firstUnplainName(names + QStringList{sensors.HxInputNum, sensors.HyInputNum,
                                                                 sensors.E0InputNum, sensors.E1InputNum,
                                                                 sensors.E2InputNum});
    if (!unplain.isEmpty()) {
        damage = tr("%1中编号%2的记录已损坏：“%3”不是该文件夹中的文件名。")
                     .arg(QDir::toNativeSeparators(configPath))
                     .arg(SampleDataNum)
                     .arg(unplain);
        readChannelFiles({});
    } else if (hasFileCells) {
        readChannelFiles(names);
    }
}

void Data_SampleData::readChannelFiles(const QStringList &names)
{
    sampleInfo.channelFiles.clear();
    channelFilePaths.clear();
    for (const QString &name : names) {
        const QString path = sampleFolder + QLatin1Char('/') + name;
        channelFilePaths.append(path);
        if (fileRegistry)
            sampleInfo.channelFiles.append(fileRegistry->file(path));
    }
}

QList<ChannelImpedance> Data_SampleData::getProcessData(QList<int> *damagedChannels)
{
    QList<ChannelImpedance> curves;
    HORM_Collection<Data_ProcessData> *rows = getREF_Data_ProcessData();
    for (int i = 0; rows && i < rows->count(); ++i) {
        HORM_CollectionItem<Data_ProcessData> item = rows->at(i);
        if (item.isNull())
            continue;
        ChannelImpedance entry;
        entry.channel = item.object->getSampleChannel();
        if (item.object->getImpedanceData(entry.curve))
            curves.append(entry);
        else if (damagedChannels)
            damagedChannels->append(entry.channel);
    }
    return curves;
}

bool Data_SampleData::addProcessData(const QList<ChannelImpedance> &curves)
{
    if (curves.isEmpty())
        return false;
    HORM_Collection<Data_ProcessData> *rows = getREF_Data_ProcessData();
    if (!rows)
        return false;
    // The first failed statement ends the writing: the caller's transaction may be gone with it.
    for (const ChannelImpedance &entry : curves) {
        HORM_CollectionItem<Data_ProcessData> item = rows->addNew();
        if (item.isNull() || !item.object->hasRow())
            return false;
        item.object->setData_SampleDataID(getID());
        item.object->setSampleFrequency(double(SampleRate));
        item.object->setSampleChannel(entry.channel);
        item.object->setData_Impedance(ImpedanceCurve::encode(entry.curve));
        if (!item.object->updateRow())
            return false;
    }
    return true;
}

bool Data_SampleData::convertDirectionYToX(bool *writeFailed)
{
    HORM_Collection<Data_ProcessData> *rows = getREF_Data_ProcessData();
    if (!rows || rows->count() == 0)
        return false;
    for (int i = 0; i < rows->count(); ++i) {
        HORM_CollectionItem<Data_ProcessData> item = rows->at(i);
        if (item.isNull())
            continue;
        const int channel = item.object->getSampleChannel();
        item.object->setSampleChannel(channel >= 0 && channel <= 2 ? 0 : channel);
        if (!item.object->updateRow()) {
            if (writeFailed)
                *writeFailed = true;
            return false;
        }
    }
    return true;
}
