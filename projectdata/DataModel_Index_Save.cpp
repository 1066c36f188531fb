// Saving the temporary recordings of a run into the project, all or nothing.
#include "projectdata/DataModel_Index.h"

#include "projectdata/DiskSpace.h"
#include "projectdata/RunSaveJournal.h"
#include "projectdata/StationConfigFile.h"
#include "projectdata/RunSplitter.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

namespace {

bool refuse(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

QString configFileOf(const QString &folder)
{
    return folder + QStringLiteral("/config.ini");
}

// The numbers of the station's stored recordings other than the one being added.
QStringList storedNumbers(HORM_Collection<Data_SampleData> *recordings, const Data_SampleData *adding)
{
    QStringList numbers;
    for (int i = 0; i < recordings->count(); ++i) {
        const Data_SampleData *recording = recordings->at(i).object;
        if (recording && recording != adding)
            numbers << QString::number(recording->getSampleDataNum());
    }
    return numbers;
}

// Why the row numbered `number` cannot be added to the station's "config.ini": another row
// carries that number already. Empty when it can be added without touching the rows there.
QString configRowRefusal(const QString &path, const QStringList &stored, int number)
{
    QList<QStringList> rows;
    if (!QFileInfo::exists(path))
        return QString();
    if (!StationConfigFile::recordingRows(path, rows))
        return DataModel_Index::tr("无法读取%1").arg(path);
    QStringList inFile;
    for (const QStringList &cells : qAsConst(rows))
        inFile << cells.first();
    if (!inFile.contains(QString::number(number)))
        return QString();
    QStringList unlisted, lost;
    for (const QString &n : qAsConst(inFile)) {
        if (!stored.contains(n))
            unlisted << n;
    }
    for (const QString &n : stored) {
        if (!inFile.contains(n))
            lost << n;
    }
    const QString none = DataModel_Index::tr("无");
    return DataModel_Index::tr("%1中的记录与工程数据库不一致，新记录的编号%2已被文件中的一行占用。\n"
                               "数据库中没有的行：%3\n文件中缺少的行：%4\n"
                               "请把数据库中没有的行从该文件中移走（例如从别处复制来的测点文件夹），然后再保存。")
        .arg(path)
        .arg(number)
        .arg(unlisted.isEmpty() ? none : unlisted.join(QStringLiteral("、")),
             lost.isEmpty() ? none : lost.join(QStringLiteral("、")));
}

// What a save writes besides the copies, per piece: the database rows and the pages its own
// journal keeps, the station's row and the project journal's lines.
const qint64 bytesPerPiece = 64 * 1024;

qint64 bytesToSave(const QList<RunPiece> &pieces)
{
    qint64 bytes = 0;
    for (const RunPiece &piece : pieces) {
        bytes += bytesPerPiece;
        for (const QFile *file : piece.info.channelFiles)
            bytes += file ? QFileInfo(file->fileName()).size() : 0;
    }
    return bytes;
}

QString describe(const SampleInfo &recording)
{
    QStringList names;
    for (const QFile *file : recording.channelFiles)
        names << QFileInfo(file->fileName()).fileName();
    return QStringLiteral("%1Hz: %2").arg(recording.ctrlParam.SampleRate).arg(names.join(QStringLiteral(", ")));
}

} // namespace

bool DataModel_Index::saveStationTempSampleData(StationSampleInfo &record, StationNumAutoConfig step, int dropTasks,
                                                QString *reason)
{
    if (!checkSaveable(record, reason))
        return false;
    if (tempSampleList.isEmpty()) {
        clearTempSampleData();
        return refuse(reason, tr("没有需要保存的采样数据"));
    }
    record.sampleInfoList = record.sampleInfoList.mid(qBound(0, dropTasks, record.sampleInfoList.size()));
    const QList<SampleInfo> recordings = tempSampleList.recordings();
    QList<RunPiece> pieces;
    QList<SampleInfo> saved, unsaved;
    for (int i = 0; i < recordings.size(); ++i) {
        SampleInfo recording = recordings.at(i);
        if (i < record.sampleInfoList.size())
            recording.SampleStartTime = record.sampleInfoList.at(i).SampleStartTime;
        const QList<RunPiece> split = RunSplitter::split(recording, record, step.StationNumAutoStepSize);
        (split.isEmpty() ? unsaved : saved).append(recordings.at(i));
        pieces += split;
    }
    if (!checkPieceStations(record, pieces, reason) || !keepReadablePieces(pieces, reason))
        return false;
    if (!saveTempSamplesToLine(record, pieces, reason))
        return false;
    removeTempFiles(saved);
    askAboutUnsavedSamples(unsaved);
    dropTempSamples();
    return true;
}

// A run is saved only into an open project, with no curve still being computed, and only when
// every temporary recording belongs to the record's line and station.
bool DataModel_Index::checkSaveable(const StationSampleInfo &record, QString *reason)
{
    if (!store || !projectCollection)
        return refuse(reason, tr("没有打开的工程"));
    if (tempSampleList.pendingCount() > 0)
        return refuse(reason, tr("阻抗图仍在计算，请计算完成后再保存"));
    for (int i = 0; i < tempSampleList.size(); ++i) {
        const SampleInfo &entry = tempSampleList.at(i);
        if (entry.LineNum != record.LineNum || entry.StationNum != record.StationNum)
            return refuse(reason, tr("临时数据属于测线%1测点%2，与当前测点不符")
                                      .arg(entry.LineNum)
                                      .arg(StationNumberText::text(entry.StationNum)));
    }
    return true;
}

bool DataModel_Index::saveTempSamplesToLine(StationSampleInfo &record, const QList<RunPiece> &pieces,
                                            QString *reason)
{
    const QString shortage = DiskSpace::shortage(projectDir, bytesToSave(pieces));
    if (!shortage.isEmpty())
        return refuse(reason, shortage);
    RunSaveJournal journal(projectDir);
    if (!prepareRun(record, pieces, journal, reason)) {
        journal.undo();
        return false;
    }
    if (!store->transaction()) {
        journal.undo();
        return refuse(reason, tr("工程数据库无法开始保存"));
    }
    QTreeWidgetItem *lineItem = nullptr;
    Data_Line *line = findOrAddLine(projectWithId(record.ProjectId), record.LineNum, &lineItem);
    bool ok = line != nullptr;
    QString failure;
    for (int i = 0; ok && i < pieces.size(); ++i)
        ok = saveSampleToStation(lineItem, line->getREF_Data_Station(), pieces.at(i), record, journal, &failure);
    if (ok && journal.sync(&failure) && store->commit()) {
        journal.finish();
        emit signalModelChange();
        return true;
    }
    if (failure.isEmpty())
        failure = tr("工程数据库写入失败：%1").arg(store->engineError());
    store->rollback();
    journal.undo();
    reloadTree();
    return refuse(reason, tr("保存失败，临时数据已保留：%1").arg(failure));
}

// Everything that can be checked before the store is touched: the project, the folders, the files.
// The journal begins here, with the station folders the save writes into.
bool DataModel_Index::prepareRun(const StationSampleInfo &record, const QList<RunPiece> &pieces,
                                 RunSaveJournal &journal, QString *reason)
{
    if (!projectWithId(record.ProjectId))
        return refuse(reason, tr("工程编号%1不是当前工程").arg(record.ProjectId));
    QStringList stations{stationFolder(record.LineNum, record.StationNum)};
    for (const RunPiece &piece : pieces) {
        if (!stations.contains(stationFolder(record.LineNum, piece.info.StationNum)))
            stations << stationFolder(record.LineNum, piece.info.StationNum);
    }
    if (!journal.begin(*store->database(), stations, reason))
        return false;
    for (const QString &folder : QStringList{dataDir, QFileInfo(stations.first()).path()} + stations) {
        if (!journal.makeDir(folder))
            return refuse(reason, DiskSpace::withReason(tr("无法创建文件夹%1").arg(folder), folder));
    }
    for (const QString &folder : qAsConst(stations)) {
        if (!journal.noteAppended(configFileOf(folder)))
            return refuse(reason, journalWriteFailure());
    }
    for (const RunPiece &piece : pieces) {
        for (QFile *file : piece.info.channelFiles) {
            QFile source(file->fileName());
            if (!source.open(QIODevice::ReadOnly))
                return refuse(reason, tr("临时文件无法读取：%1").arg(file->fileName()));
        }
    }
    return true;
}

Data_Project *DataModel_Index::projectWithId(const QString &projectId)
{
    for (int i = 0; projectCollection && i < projectCollection->count(); ++i) {
        HORM_CollectionItem<Data_Project> item = projectCollection->at(i);
        if (!item.isNull() && item.object->getProjectId() == projectId)
            return item.object;
    }
    return nullptr;
}

// The line of the number and its tree item, added when the project has none.
Data_Line *DataModel_Index::findOrAddLine(Data_Project *project, int lineNum, QTreeWidgetItem **item)
{
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    for (int i = 0; lines && i < lines->count(); ++i) {
        HORM_CollectionItem<Data_Line> line = lines->at(i);
        if (line.isNull() || line.object->getLineName() != lineNum)
            continue;
        *item = topLevelItem(i);
        return *item ? line.object : nullptr;
    }
    HORM_CollectionItem<Data_Line> line = lines ? lines->addNew() : HORM_CollectionItem<Data_Line>();
    if (line.isNull() || !line.object->hasRow())
        return nullptr;
    line.object->setLineName(lineNum);
    line.object->setUse(1);
    project->setLinesNumbers(project->getLinesNumbers() + 1);
    if (!line.object->updateRow() || !project->updateRow())
        return nullptr;
    *item = new QTreeWidgetItem(QStringList(QString::number(lineNum)));
    addTopLevelItem(*item);
    return line.object;
}

HORM_CollectionItem<Data_Station> DataModel_Index::findOrAddStation(QTreeWidgetItem *lineItem,
                                                                    HORM_Collection<Data_Station> *stations,
                                                                    const RunPiece &piece,
                                                                    const StationSampleInfo &record,
                                                                    QTreeWidgetItem **item)
{
    for (int j = 0; stations && j < stations->count(); ++j) {
        HORM_CollectionItem<Data_Station> station = stations->at(j);
        if (station.isNull() || station.object->getStationNum() != piece.info.StationNum)
            continue;
        *item = lineItem->child(j);
        return *item ? station : HORM_CollectionItem<Data_Station>();
    }
    HORM_CollectionItem<Data_Station> station = stations ? stations->addNew() : HORM_CollectionItem<Data_Station>();
    if (station.isNull() || !station.object->hasRow())
        return {};
    Data_Station *s = station.object;
    s->setStationNum(piece.info.StationNum);
    s->setUse(1);
    s->setGPS_Latitude(record.GPS_Latitude);
    s->setGPS_Longtitude(record.GPS_Longtitude);
    s->setGPS_Elevation(record.GPS_Elevation);
    s->setSampleNumbers(0);
    if (!s->updateRow())
        return {};
    *item = new QTreeWidgetItem(QStringList(StationNumberText::text(piece.info.StationNum)));
    lineItem->addChild(*item);
    return station;
}

// Clears the use flag of the station's recordings of the rate; the count of them names the copies.
static bool retireSameRate(HORM_Collection<Data_SampleData> *recordings, int rate, int *count)
{
    *count = 0;
    for (int i = 0; i < recordings->count(); ++i) {
        HORM_CollectionItem<Data_SampleData> recording = recordings->at(i);
        if (recording.isNull() || recording.object->getSampleRate() != rate)
            continue;
        ++*count;
        if (recording.object->getUse() != 1)
            continue;
        recording.object->setUse(0);
        if (!recording.object->updateRow())
            return false;
    }
    return true;
}

bool DataModel_Index::saveSampleToStation(QTreeWidgetItem *lineItem, HORM_Collection<Data_Station> *stations,
                                          const RunPiece &piece, const StationSampleInfo &record,
                                          RunSaveJournal &journal, QString *failure)
{
    QTreeWidgetItem *stationItem = nullptr;
    HORM_CollectionItem<Data_Station> station = findOrAddStation(lineItem, stations, piece, record, &stationItem);
    HORM_Collection<Data_SampleData> *recordings = station.isNull() ? nullptr : station.object->getREF_Data_SampleData();
    int earlier = 0;
    if (!recordings || !retireSameRate(recordings, piece.info.ctrlParam.SampleRate, &earlier))
        return false;
    HORM_CollectionItem<Data_SampleData> row = recordings->addNew();
    if (row.isNull() || !row.object->hasRow())
        return false;
    Data_SampleData *recording = row.object;
    recording->setSampleDataNum(recordings->count());
    recording->setSampleRate(piece.info.ctrlParam.SampleRate);
    const QString refusal = configRowRefusal(configFileOf(stationFolder(record.LineNum, piece.info.StationNum)),
                                             storedNumbers(recordings, recording), recording->getSampleDataNum());
    if (!refusal.isEmpty()) {
        *failure = refusal;
        return false;
    }
    station.object->setSampleNumbers(station.object->getSampleNumbers() + 1);
    if (!station.object->updateRow())
        return false;
    recording->setSampleFolder(stationFolder(record.LineNum, piece.info.StationNum));
    recording->setChannelFileRegistry(&channelFiles);
    recording->setUse(1);
    SampleInfo info = piece.info;
    for (ChannelImpedance &curve : info.impedance)
        curve.channel = piece.rename ? 0 : curve.channel;
    if (!journal.noteCreated(recording->savedPaths(info, earlier, piece.rename))) {
        *failure = journalWriteFailure();
        return false;
    }
    Data_SampleData::CopyReport copy;
    info.channelFiles = recording->copyChannelFiles(info, earlier, piece.rename, &copy);
    ProjectJournal::step("copied");
    if (!copy.ok) {
        *failure = copy.error;
        return false;
    }
    recording->setSampleInfo(info);
    if (!info.impedance.isEmpty() && !recording->addProcessData(info.impedance))
        return false;
    if (!recording->updateRow())
        return false;
    stationItem->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("%1Hz").arg(info.ctrlParam.SampleRate))));
    const GPSPosition position{record.GPS_Latitude, record.GPS_Longtitude, record.GPS_Elevation};
    if (!writeStationConfigFile(record.MachineID, record.ProjectName, info, position, recording->getSampleDataNum())) {
        const QString config = configFileOf(stationFolder(record.LineNum, info.StationNum));
        *failure = DiskSpace::withReason(tr("无法写入%1").arg(config), config);
        return false;
    }
    return true;
}

QString DataModel_Index::journalWriteFailure() const
{
    const QString path = ProjectJournal::pathIn(projectDir);
    return DiskSpace::withReason(tr("无法写入%1").arg(path), path);
}

// Lists the recordings no rule saved; their files are deleted only when the operator agrees.
void DataModel_Index::askAboutUnsavedSamples(const QList<SampleInfo> &unsaved)
{
    if (unsaved.isEmpty())
        return;
    QStringList lines;
    for (const SampleInfo &recording : unsaved)
        lines << describe(recording);
    const QString text = tr("以下采样数据不符合保存规则，没有保存到工程：\n%1\n\n是否删除这些临时文件？选择“否”则保留在%2。")
                             .arg(lines.join(QLatin1Char('\n')), tempFileDir());
    if (OperatorPrompt::question(nullptr, tr("提示"), text))
        removeTempFiles(unsaved);
}

// The rows remembered for the menus and the double click named items of the old order: they go.
void DataModel_Index::reloadTree()
{
    clear();
    clickedItem = nullptr;
    selectedLineRow = -1;
    selectedStationRow = -1;
    delete projectCollection;
    projectCollection = new HORM_Collection<Data_Project>(store);
    int lastLine = -1;
    double lastStation = -1.0;
    buildTreeItems(lastLine, lastStation);
}
