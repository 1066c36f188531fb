// Read-back of data stored on the instrument.
#include "mainwindow/MainWindow.h"

#include "common/DeviceProjectInfo.h"
#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "common/PreSampleLineNum.h"
#include "dialogs/Dialog_DiskSpaceDelete.h"
#include "dialogs/Dialog_ExportData.h"
#include "link/LibCom.h"
#include "mainwindow/BusyDialog.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/ReadBackGroups.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/StationConfigText.h"
#include "mainwindow/StationTextCopy.h"
#include "mainwindow/TransferWatchdog.h"
#include "mainwindow/WorkState.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/ProjectFolder.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <limits>
#include <utility>

namespace {

constexpr int noListing = 0;
constexpr int listingForStorage = 3;
constexpr int listingForReadBack = 4;
constexpr int everyLine = std::numeric_limits<int>::max();
constexpr double everyStation = 2147483647.0;
enum ExportMode { OneStation = 0, EveryLine = 1, OneLine = 2 };

const DeviceProjectInfo *findProject(const QList<DeviceProjectInfo> &projects, const QString &name,
                                     const QString &id, bool byNameToo)
{
    for (const DeviceProjectInfo &project : projects) {
        if (project.projectId == id && (!byNameToo || project.projectName == name))
            return &project;
    }
    return nullptr;
}

// The entry of the line: the last one of that number, the first entry when none has it.
const DeviceLineInfo &chosenLine(const QList<DeviceLineInfo> &lines, int lineNum)
{
    for (int i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i).lineNum == lineNum)
            return lines.at(i);
    }
    return lines.first();
}

int firstLineWithStations(const QList<DeviceLineInfo> &lines, int from)
{
    for (int i = from; i < lines.size(); ++i) {
        if (!lines.at(i).stations.isEmpty())
            return i;
    }
    return -1;
}

bool hasFileNamedCaseless(const QString &dir, const QString &name)
{
    const QStringList files = QDir(dir).entryList(QDir::Files);
    for (const QString &file : files) {
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString stationText(int line, double station)
{
    return QObject::tr("线%1点%2").arg(line).arg(station);
}

} // namespace

void MainWindow::onSlotExportDataAction()
{
    if (refuseIn(RunPhase::ReadBackData))
        return;
    if (!projectOpened) {
        OperatorPrompt::critical(nullptr, tr("出错"),
                                 tr("请确认工程是否处于打开状态！请打开工程/新建工程后再进行操作！"));
        return;
    }
    clearDataViews();
    dataModelIndex->clearTempSampleData();
    libCom->sendGetDiskSpaceFile();
    listingPurpose = listingForReadBack;
}

void MainWindow::onSlotDeviceProjectListReceived(QByteArray *text)
{
    if (!text || text->isEmpty())
        return;
    if (listingPurpose == listingForStorage)
        dialogDiskSpaceDelete->parseProjectNameList(text);
    else if (listingPurpose == listingForReadBack)
        dialogExportData->parseProjectNameList(text);
}

// The storage listing answers the request; a repeated or unasked one opens no dialog, an empty
// one says that the instrument holds no data. The storage management closes the project only
// once there is something to manage.
void MainWindow::onSlotDeviceDiskSpaceReceived(QByteArray *text)
{
    if (!text)
        return;
    const int purpose = listingPurpose;
    listingPurpose = noListing;
    if (purpose == noListing) {
        qWarning() << "ignored a storage listing nobody asked for";
        return;
    }
    if (text->trimmed().isEmpty()) {
        OperatorPrompt::information(nullptr, tr("提醒"), tr("仪器中没有数据！"));
        return;
    }
    if (purpose == listingForStorage) {
        if (projectOpened)
            ui->tbtnCloseProject->click();
        if (projectOpened)
            return;
        dialogDiskSpaceDelete->parseDeviceFileList(text);
        dialogDiskSpaceDelete->diskSpaceDeleteDialogShow();
    } else if (purpose == listingForReadBack) {
        dialogExportData->parseDeviceFileList(text);
        dialogExportData->exportDataDialogShow(projectConfig.ProjectName, projectConfig.ProjectId);
    }
}

void MainWindow::onSlotExportData(QString projectName, QString projectId, int lineNum, double stationNum)
{
    const QList<DeviceProjectInfo> projects = dialogExportData->getDeviceProjectList();
    const DeviceProjectInfo *project = findProject(projects, projectName, projectId, true);
    if (!project || project->lines.isEmpty())
        return;
    statusPollTimer->stop();
    unsavedStations.clear();
    cutGroups.clear();
    exportProgress = showBusyDialog(tr("数据准备导出中..."), BusyDialogFrame::OwnFlagsWithClose);
    connect(exportProgress.get(), &QProgressDialog::canceled, this,
            [this] { abortReadBack(tr("数据导出已取消！")); });
    if (lineNum != everyLine && stationNum != everyStation) {
        exportMode = OneStation;
        requestStationExport(projectName, projectId, lineNum, stationNum);
        return;
    }
    if (lineNum != everyLine) {
        exportMode = OneLine;
        const DeviceLineInfo &line = chosenLine(project->lines, lineNum);
        if (line.stations.isEmpty()) {
            abortReadBack(tr("线%1没有测点！").arg(line.lineNum));
            return;
        }
        requestStationExport(projectName, projectId, line.lineNum, line.stations.first());
        return;
    }
    exportMode = EveryLine;
    const int first = firstLineWithStations(project->lines, 0);
    if (first < 0) {
        abortReadBack(tr("仪器工程中没有测点！"));
        return;
    }
    const DeviceLineInfo &line = project->lines.at(first);
    requestStationExport(projectName, projectId, line.lineNum, line.stations.first());
}

void MainWindow::requestStationExport(QString projectName, QString projectId, int lineNum, double stationNum)
{
    if (projectId.isEmpty() || (lineNum == PreSampleLineNum && stationNum == 0.0))
        return;
    readBackStation = StationSampleInfo();
    readBackStation.ProjectName = projectName;
    readBackStation.ProjectId = projectId;
    readBackStation.LineNum = lineNum;
    readBackStation.StationNum = stationNum;
    readBackGroups.clear();
    stationOverAwaited = false;
    stationTextAwaited = true;
    QByteArray request = exportRequestText(projectId, lineNum, stationNum);
    libCom->sendExportData(&request);
    enterPhase(RunPhase::ReadBack);
    transferWatchdog->start();
}

void MainWindow::onSlotExportDataProjectConfigFile(QByteArray *text)
{
    if (!text || projectDir.isEmpty() || hasFileNamedCaseless(projectDir, QStringLiteral("projectConfig.ini")))
        return;
    QFile file(projectDir + QStringLiteral("/projectConfig.ini"));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        file.write(*text);
}

// A text that comes when no read-back waits for it (one the operator has left), or a repeated one
// while the station's groups arrive, starts nothing.
void MainWindow::onSlotExportDataStationConfigFile(QByteArray *text)
{
    if (!text || text->isEmpty() || runPhase.phase() != RunPhase::ReadBack)
        return;
    if (!std::exchange(stationTextAwaited, false)) {
        qWarning() << "ignored a station text nobody waits for";
        return;
    }
    transferWatchdog->feed();
    const QString stationDir = ProjectFolder::stationFolderPath(projectDir + QStringLiteral("/data"),
                                                                readBackStation.LineNum, readBackStation.StationNum);
    const QString tempFolder = appDirPath + QStringLiteral("/TempFile");
    if (!QDir().mkpath(stationDir) || !QDir().mkpath(tempFolder)) {
        abortReadBack(tr("无法创建测点文件夹！"));
        return;
    }
    stationTextCopy = stationTextCopyPath(tempFolder, readBackStation.LineNum, readBackStation.StationNum);
    const std::optional<QByteArray> stored = writeStationTextCopy(stationTextCopy, *text);
    if (!stored) {
        abortReadBack(tr("无法写入测点配置临时文件！"));
        return;
    }
    const StationConfigText parsed = parseStationConfigText(*stored, currentGainTables());
    if (!parsed.matches(readBackStation.ProjectId, readBackStation.LineNum, readBackStation.StationNum)) {
        showReadBackMismatch();
        return;
    }
    removeStationTextCopy();
    const StationSampleInfo &station = parsed.station;
    readBackStation.MachineID = station.MachineID;
    readBackStation.GPS_Latitude = station.GPS_Latitude;
    readBackStation.GPS_Longtitude = station.GPS_Longtitude;
    readBackStation.GPS_Elevation = station.GPS_Elevation;
    readBackStation.sampleInfoList = station.sampleInfoList;
    const QList<SampleInfo> &groups = station.sampleInfoList;
    if (groups.isEmpty()) {
        abortReadBack(tr("%1的配置信息中没有频组！").arg(stationText(station.LineNum, station.StationNum)));
        return;
    }
    if (!parsed.rejection.isEmpty()) {
        skipReadBackStation(tr("%1配置信息无效（%2），已跳过").arg(stationText(station.LineNum, station.StationNum),
                                                                   parsed.rejection));
        return;
    }
    readBackGroups.start(groups, stationRecordings(stationDir + QStringLiteral("/config.ini")));
    if (readBackGroups.wantedCount() == 0) {
        skipReadBackStation(tr("%1无新增数据").arg(stationText(station.LineNum, station.StationNum)));
        return;
    }
    readBackRecording = groups.first();
    connectDataCom(DATA_MODE_ALL_CHANNELS);
}

void MainWindow::removeStationTextCopy()
{
    if (!stationTextCopy.isEmpty())
        QFile::remove(stationTextCopy);
    stationTextCopy.clear();
}

void MainWindow::setExportProgressLabel(const QString &text)
{
    if (exportProgress)
        exportProgress->setLabelText(text);
}

void MainWindow::showDataComAttempt(bool started)
{
    setExportProgressLabel(started ? tr("数据传输端口连接中...") : tr("数据传输端口连接失败，正在重试..."));
}

// The station text answers another station: the operator leaves with "退出".
void MainWindow::showReadBackMismatch()
{
    const QString notice = tr("机器当前导出点config信息不匹配");
    if (!exportProgress) {
        abortReadBack(notice);
        return;
    }
    exportProgress->setLabelText(notice);
    exportProgress->setRange(0, readBackStation.sampleInfoList.size());
    exportProgress->setValue(readBackGroups.position());
    exportProgress->setCancelButtonText(tr("退出"));
    transferWatchdog->stop();
    disconnect(exportProgress.get(), &QProgressDialog::canceled, this, nullptr);
    connect(exportProgress.get(), &QProgressDialog::canceled, this, [this, notice] { abortReadBack(notice); });
}

// Nothing of the station is received; the instrument is told so and answers with its reply,
// which moves on to the next station.
void MainWindow::skipReadBackStation(const QString &notice)
{
    snackbar->addMessage(notice);
    exportLineNum = readBackStation.LineNum;
    exportStationNum = readBackStation.StationNum;
    stationOverAwaited = true;
    libCom->notifyExportDataEnd();
}

// Only the blocks of the group asked for count, each channel's once; a block cut short drops its
// group, which the end of the read-back reports.
void MainWindow::onSlotExportChannelDataEnd(int channel, SampleDataControlParam *param, char *data)
{
    if (!param || channel < 0 || channel > 4 || !ofReadBackStation(*param))
        return;
    const ReadBackGroups::Block block =
        readBackGroups.take(channel, param->dataIndexNum, data ? param->dataLength : 0);
    if (block == ReadBackGroups::Block::Ignored)
        return;
    setExportProgressLabel(tr("通道%2导出完成").arg(channel));
    if (block == ReadBackGroups::Block::Keep)
        keepReadBackBlock(channel, *param, data);
    else if (block == ReadBackGroups::Block::Cut)
        dataModelIndex->discardCurrentTempSample();
    // The link's group end may have been spent on a repeated frame of the group before.
    completeReadBackGroup(*param);
}

bool MainWindow::ofReadBackStation(const SampleDataControlParam &param) const
{
    return runPhase.phase() == RunPhase::ReadBack && param.machineID == readBackStation.MachineID
           && param.lineNum == readBackStation.LineNum && double(param.stationNum) == readBackStation.StationNum;
}

void MainWindow::keepReadBackBlock(int channel, const SampleDataControlParam &param, const char *data)
{
    SampleInfo block = readBackRecording;
    block.MachineID = param.machineID;
    block.LineNum = param.lineNum;
    block.StationNum = double(param.stationNum);
    dataModelIndex->saveTempChannelData(block, param.dataIndexNum, channelNameList.at(channel), data,
                                        unsigned(param.dataLength));
    transferWatchdog->feed();
}

void MainWindow::onSlotExportDataFreqGroupEnd(SampleDataControlParam *param)
{
    if (param && ofReadBackStation(*param) && param->dataIndexNum == readBackGroups.groupIndex())
        completeReadBackGroup(*param);
}

// Once every block of the group asked for is in, the next group is asked for, or the station saved.
void MainWindow::completeReadBackGroup(const SampleDataControlParam &param)
{
    if (!readBackGroups.whole())
        return;
    if (readBackGroups.wanted())
        dataModelIndex->finishCurrentTempSample(readBackRecording.LineNum, readBackRecording.StationNum);
    const bool more = readBackGroups.next();
    if (exportProgress) {
        exportProgress->setLabelText(
            tr("%1线%2点任务%3导出中...").arg(param.lineNum).arg(param.stationNum).arg(param.dataIndexNum));
        exportProgress->setRange(0, readBackGroups.count());
        exportProgress->setValue(readBackGroups.position());
    }
    if (more) {
        readBackRecording = readBackStation.sampleInfoList.at(readBackGroups.position());
        stationOverAwaited = true;
        libCom->notifyExportDataEnd();
        return;
    }
    saveReadBackStation();
}

// Only the groups the project lacks that came whole are saved. A station that cannot be saved is
// reported at the end; its temporary recordings go, and the read-back carries on with the next
// station.
void MainWindow::saveReadBackStation()
{
    exportLineNum = readBackStation.LineNum;
    exportStationNum = readBackStation.StationNum;
    const QString station = stationText(readBackStation.LineNum, readBackStation.StationNum);
    for (const QString &group : readBackGroups.cutGroupNames())
        cutGroups << station + group;
    StationSampleInfo kept = readBackStation;
    kept.sampleInfoList = readBackGroups.keptGroups();
    QString reason;
    if (kept.sampleInfoList.isEmpty()) {
        dataModelIndex->clearTempSampleData();
    } else if (dataModelIndex->saveStationTempSampleData(kept, stationNumAutoConfig, 0, &reason)) {
        dataModelIndex->showStationProcessData(readBackRecording.LineNum, readBackRecording.StationNum, -1);
        formStationInfo->setStation(readBackRecording.MachineID, readBackRecording.LineNum,
                                    readBackRecording.StationNum);
    } else {
        unsavedStations.append(station + " " + reason);
        dataModelIndex->clearTempSampleData();
    }
    stationOverAwaited = true;
    libCom->disconnectCom(COM_SELECT_DATA);
    resetSampleRun();
    readBackGroups.clear();
    // The save took its time; the watch goes on for the instrument's reply.
    transferWatchdog->feed();
}

// The reply is taken once per station done: a repeated one asks for no station twice.
// A read-back that ends within a station keeps the station's groups that came whole before.
void MainWindow::saveReadBackGroupsSoFar()
{
    StationSampleInfo kept = readBackStation;
    kept.sampleInfoList = readBackGroups.keptGroupsSoFar();
    if (kept.sampleInfoList.isEmpty())
        return;
    dataModelIndex->discardCurrentTempSample();
    QString reason;
    if (!dataModelIndex->saveStationTempSampleData(kept, stationNumAutoConfig, 0, &reason))
        qWarning().noquote() << "the groups received before the read-back ended were not saved:" << reason;
}

void MainWindow::onSlotNewLineStationExportData()
{
    if (runPhase.phase() != RunPhase::ReadBack || !std::exchange(stationOverAwaited, false)) {
        qWarning() << "ignored a station-over reply nobody waits for";
        return;
    }
    if (exportMode == OneStation)
        finishReadBack();
    else
        requestNextStation();
}

void MainWindow::requestNextStation()
{
    const QString name = dialogExportData->getProjectName();
    const QString id = dialogExportData->getProjectId();
    const QList<DeviceProjectInfo> projects = dialogExportData->getDeviceProjectList();
    const DeviceProjectInfo *project = findProject(projects, name, id, false);
    int lineIndex = -1;
    for (int i = 0; project && i < project->lines.size() && lineIndex < 0; ++i) {
        if (project->lines.at(i).lineNum == exportLineNum)
            lineIndex = i;
    }
    const int stationIndex = lineIndex < 0 ? -1 : project->lines.at(lineIndex).stations.indexOf(exportStationNum);
    if (stationIndex < 0) {
        abortReadBack(tr("仪器中找不到%1！").arg(stationText(exportLineNum, exportStationNum)));
        return;
    }
    const DeviceLineInfo &line = project->lines.at(lineIndex);
    if (stationIndex + 1 < line.stations.size()) {
        requestStationExport(name, id, line.lineNum, line.stations.at(stationIndex + 1));
        return;
    }
    const int next = exportMode == EveryLine ? firstLineWithStations(project->lines, lineIndex + 1) : -1;
    if (next < 0) {
        finishReadBack();
        return;
    }
    const DeviceLineInfo &nextLine = project->lines.at(next);
    requestStationExport(name, id, nextLine.lineNum, nextLine.stations.first());
}

void MainWindow::closeExportProgress()
{
    if (!exportProgress)
        return;
    // The dialog may be the sender of the signal being handled.
    exportProgress->hide();
    exportProgress.release()->deleteLater();
}

void MainWindow::endReadBack()
{
    stationOverAwaited = false;
    stationTextAwaited = false;
    transferWatchdog->stop();
    closeExportProgress();
    removeStationTextCopy();
    exportLineNum = 0;
    exportStationNum = 0.0;
    resetSampleRun();
    readBackGroups.clear();
    dialogExportData->clearExportSelection();
    startStatusPoll();
    enterRestingPhase();
}

void MainWindow::finishReadBack()
{
    endReadBack();
    const QString shortfall = readBackShortfallText(unsavedStations, cutGroups);
    unsavedStations.clear();
    cutGroups.clear();
    if (shortfall.isEmpty()) {
        snackbar->addMessage(tr("数据导出成功！"));
        return;
    }
    OperatorPrompt::warning(nullptr, tr("提醒"), shortfall);
}

// The instrument answers a station it holds no raw data for with the stop reply, which ends the
// whole read-back.
void MainWindow::endReadBackWithoutRawData()
{
    const QString notice = noRawDataNotice(readBackStation.LineNum, readBackStation.StationNum);
    dropReadBack();
    snackbar->addMessage(notice);
}

// Every dead end of a read-back ends here: no connection, view or temporary recording is left
// behind and the window is idle again.
void MainWindow::abortReadBack(const QString &reason)
{
    dropReadBack();
    OperatorPrompt::warning(nullptr, tr("提醒"), reason);
}

void MainWindow::dropReadBack()
{
    libCom->disconnectCom(COM_SELECT_DATA);
    dataModelIndex->discardCurrentTempSample();
    dataModelIndex->clearTempSampleData();
    clearDataViews();
    unsavedStations.clear();
    cutGroups.clear();
    endReadBack();
}
