#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "common/ChannelInputsConfig.h"
#include "common/ChannelsUseInfo.h"
#include "common/CtrlParam.h"
#include "common/MachineAddress.h"
#include "common/OneFreqImpedance.h"
#include "common/ProjectConfig.h"
#include "common/SampleDataControlParam.h"
#include "common/MachineStatus.h"
#include "common/SampleInfo.h"
#include "common/StationSampleInfo.h"
#include "common/StationNumAutoConfig.h"
#include "common/SystemInfo.h"
#include "mainwindow/DataComRetry.h"
#include "mainwindow/ReadBackGroups.h"
#include "mainwindow/RunPhase.h"

#include <QDateTime>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QVector>

#include <cstdint>
#include <memory>

class DataModel_Index;
class Dialog_DiskSpaceDelete;
class Dialog_ExportData;
class Dialog_InputsSetting;
class Dialog_NewProject;
class Dialog_OthersSetting;
class Dialog_SampleTask;
class Form_ProcessDataGraph;
class Form_ProcessDataViewSet;
class Form_StationInfo;
class Form_StatusBar;
class Form_SystemInfo;
class Form_TimeSeriesGraph;
class Form_TimeSeriesViewSet;
class FramelessHelper;
class LibCom;
class LibHORM;
class QListWidgetItem;
class QSettings;
class QTimer;
class QToolButton;
class QtMaterialSnackbar;
class StartWatch;
class ToolBarClickGuard;
class ToolBarStateMachine;
class TransferWatchdog;
class Ui_MainWindow;

// The program's frameless main window and driver. Its sources are split by concern:
// MainWindow.cpp (form and wiring), _Projects, _Settings, _Connection, _Run, _Transfer,
// _ReadBack and _Maintenance.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Tests give each window its own application folder; empty means the program's folder. The
    // same as setting appDirPath before the window is built.
    static void setApplicationDirOverride(const QString &dir);

    // The window's yes/no question ("是"/"否", question icon, no parent); closing the box counts as No.
    static QMessageBox::StandardButton askYesNo(const QString &title, const QString &text);

    // Tests shorten the status poll and the data-connection wait.
    void setTimerIntervals(int statusPollMs, int dataComMs);
    // Tests shorten the time a transfer may go without progress before its group is cut.
    void setTransferStallInterval(int ms);
    // Tests shorten the time a group's end is awaited beyond its duration.
    void setSamplingWatchMargin(int ms);
    // Tests shorten the time a start notification, and then the status asked about it, is awaited.
    void setStartWatchInterval(int ms);

    // "systemConfig.ini" in the application folder (UTF-8): read once at construction, written on
    // closing, on a new hardware version and on confirmed tasks. What is refused at reading is
    // told in one box.
    void loadSystemConfig();
    void saveSystemConfig();

signals:
    // Phases of the work; they drive the tool-bar states only.
    void projOpened();
    void sampleOver();
    void sampleStart();
    void samplStoped();
    void preSampleStart();
    void preSampleOver();
    void offlineSampleStart();
    void offlineSampleOver();

public slots:
    void setIconBtn(QToolButton *button);
    void updateMaximizeButton(bool maximized);
    QDateTime buildDateTime() const;
    void initForm();
    void initLeftProjectManageWidget();
    void initLeftSystemConfig();
    void initLeftSampleTask();

    // Projects and recent projects
    void openProject(QString path);
    // The ".HMT" path the new-project dialog has prepared: its database is created on opening.
    void onSlotNewProjectPrepared(QString path);
    void onSlotOpenProjectAction();
    void onSlotNewProjectAction();
    void onRecentProjectsListClicked(QListWidgetItem *item);
    void onSlotCloseProjectAction();
    void updateRecentProjectList(QStringList paths);
    void onSlotLoadProjectConfig(ProjectConfig config);
    void onSlotLoadLastLineStationNum(int lineNum, double stationNum);
    void onSlotSelectLine(int lineNum);
    void onSlotSelectStation(int machineID, int lineNum, double stationNum);
    void onClickBtnClose();

    // Settings and options
    void onSlotInputChannelConfigAction();
    void onSlotChannelInputsConfig(ChannelInputsConfig channelInputsConfig);
    void onSlotOthersSettingAction();
    void onSlotSetStationNumAutoConfig(StationNumAutoConfig stationNumAutoConfig);
    void onSlotSetWatchMachineType(int machineType);

    // Connection and status
    void connnectNetwork();
    void disconnectNetwork();
    void onSlotNetWorkConnected();
    void onSlotNetWorkDisconnected();
    void onSlotAdjustTimeOver();
    void onSlotErrorCode(uint32_t errorCode);
    void onSlotSystemInfo(SystemInfo info);
    void onSlotProjectConfiged();
    void onSlotMachineStatus(void *status);
    void onSlotDeviceErrorFlagClear();
    void onTimeOut();
    void refreshNetworkState();
    void setNetworkUiState(bool connected);

    // Starting and stopping a run
    void onSlotPreSampleDataAction();
    void onSlotStartSampleAction();
    void onSlotStopSampleAction();
    void onSlotSampleStarted();
    void onSlotSampleStopped();
    void onSlotStationSampleGroupsNum(int count);
    void resetSampleRun();

    // Data transfer and completion of a run
    void onSlotRequestTransormData();
    void onSlotRequestDataComConnecting();
    void onSlotDataComConnected();
    void onSlotTransformChannelData(int channel, SampleDataControlParam *controlParam, char *data);
    void onSlotTransformDataEnd(SampleDataControlParam *controlParam);
    void onSlotDataComDisconnected();
    void onSlotTransformDataFreqGroupOver();
    void onDataComConnectTimeOut();
    void onSlotSwitchDisplayAction();
    void onSlotLastSampleGroupAction();
    void onSlotSaveDataAction();
    void onSlotUnsaveDataAction();
    void onSlotTasksSettingSureClicked(QList<CtrlParam> list);
    void onSlotSampleTaskConfigAction();
    void showSampleTimeSeries(SampleInfo info);
    void showStationProcessData(QVector<OneFreqImpedance> e0, QVector<OneFreqImpedance> e1,
                                QVector<OneFreqImpedance> e2);
    void switchDisplayView(int view);
    void clearDataViews();

    // Read-back of stored data
    void onSlotExportDataAction();
    void onSlotExportData(QString projectName, QString projectId, int lineNum, double stationNum);
    void onSlotExportDataProjectConfigFile(QByteArray *text);
    void onSlotExportDataStationConfigFile(QByteArray *text);
    void onSlotExportChannelDataEnd(int channel, SampleDataControlParam *controlParam, char *data);
    void onSlotExportDataFreqGroupEnd(SampleDataControlParam *controlParam);
    void onSlotNewLineStationExportData();
    void onSlotDeviceProjectListReceived(QByteArray *text);
    void onSlotDeviceDiskSpaceReceived(QByteArray *text);

    // Instrument maintenance and developer mode
    void onSlotMachineSettingAction();
    void onSlotInstrumentDiskSpaceDelete(QByteArray *request);
    void onSlotInstrumentDiskSpaceDeleteCancel();
    void onSlotSystemUpdateAction();
    void onSlotSDCardFormatAction();
    void onSlotExportLogFileAction();
    void onSlotPowerOffAction();
    void onSlotDeviceSpaceDeleteOver();
    void onSlotPrepareForSDCardFormat();
    void onSlotSDCardFormatSucceed();
    void onSlotExportLogComConnected();
    void onSlotExportLogComDisconnected();
    void onSlotPrepareForExportLog();
    void onSlotExportLogFileData(char *data, int length);
    void onSlotExportLogFileSucceed();
    void onTryDeveloperMode();
    void applyDeveloperMode(bool enabled);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Form and wiring
    void createPanels();
    void createViews();
    void createDialogs();
    void createProjectTree();
    void initTabBar();
    void initTitleBand();
    void initStateMachine();
    void connectLink();
    void connectProjectTree();

    // Connection
    void startStatusPoll();
    void requestErrorWord();
    void handleErrorWord(uint32_t errorCode);
    void handleIdleReport();
    void checkHardwareVersion(float reported);

    // Run
    bool refuseUnlessIdle();
    void startSampleRun(bool preSample);
    bool passesStartChecks(bool preSample);
    void buildStationRecord(bool preSample, int lineNum, double stationNum);
    void stepStationNum();
    void endOfflineRun();
    void showOnlineRunStart();
    void showOfflineRunStart();

    // Transfer
    void connectDataCom(int mode);
    bool taskIndexInRun() const;
    void finishGroupTransfer(char flag);
    void dropCutShortGroup();
    void onPendingCalculationsChanged(int count);

    // Projects
    enum class MissingProjectFile { Refuse, Create };
    void openProjectFile(const QString &path, MissingProjectFile missing);
    bool openProjectStore(const QString &path, MissingProjectFile missing);
    bool hasUnsavedRun() const;
    void showProjectInTitle();
    QString closeQuestion() const;

    // Settings
    void loadRecentProjects();
    QString loadMachineAddress();
    void loadWatchMachineMode();
    void loadChannelInputs();
    void loadStationStep();
    void loadSampleOnLine();
    void loadHardwareVersion();
    QStringList loadTasks();
    void saveRecentProjects();
    void saveSystemGroup();
    void saveTasks();
    void followHardwareVersion(double version);

    std::unique_ptr<Ui_MainWindow> ui;
    bool developerMode = false;
    QSettings *systemConfig = nullptr;
    MachineAddress machineAddress;
    QStringList recentProjects;
    ProjectConfig projectConfig;

    Form_StationInfo *formStationInfo = nullptr;
    Form_TimeSeriesGraph *formTimeSeriesGraph = nullptr;
    Form_StatusBar *formStatusBar = nullptr;
    Dialog_NewProject *dialogNewProject = nullptr;
    Dialog_InputsSetting *dialogInputsSetting = nullptr;
    Dialog_DiskSpaceDelete *dialogDiskSpaceDelete = nullptr;
    Dialog_OthersSetting *dialogOthersSetting = nullptr;
    Form_SystemInfo *formSystemInfo = nullptr;
    Form_TimeSeriesViewSet *formTimeSeriesViewSet = nullptr;
    Form_ProcessDataViewSet *formProcessDataViewSet = nullptr;
    Form_ProcessDataGraph *formProcessDataGraph = nullptr;
    Dialog_SampleTask *dialogSampleTask = nullptr;
    Dialog_ExportData *dialogExportData = nullptr;
    LibCom *libCom = nullptr;
    LibHORM *projectStore = nullptr; // owned by the project tree once it has loaded the project
    DataModel_Index *dataModelIndex = nullptr;
    ToolBarStateMachine *toolBarStates = nullptr;
    ToolBarClickGuard *toolBarClickGuard = nullptr;
    QtMaterialSnackbar *snackbar = nullptr;
    FramelessHelper *framelessHelper = nullptr;

    uint32_t stickyErrorBits = 0;
    int watchMachineType = 0;
    ChannelInputsConfig channelInputsConfig;
    StationNumAutoConfig stationNumAutoConfig;
    QString projectFilePath;
    QString projectDir;
    int shownView = 0;
    QList<CtrlParam> taskList;
    int lastLineNum = 0;
    double lastStationNum = 0.0;
    bool connected = false;
    bool userDisconnect = false;
    bool projectOpened = false;
    bool projectConfigured = false;
    int realSample = 1;
    bool sampleOnLine = true; // the stored online choice; a run keeps its own (runOnLine)
    QTimer *statusPollTimer = nullptr;
    QTimer *dataComTimer = nullptr;
    int pollIntervalMs = 0;
    int dataComIntervalMs = DataComRetry::intervalMs;
    DataComRetry dataComRetry;
    MachineStatus lastMachineStatus;
    bool connecting = false;
    bool handlingErrorWord = false;
    StationSampleInfo stationSampleInfo;
    SampleInfo currentSampleInfo;
    int taskIndex = 0;
    QByteArray transferDoneFlags;
    int existSampleDataNum = 0;
    int shownGroup = 0;

    // Read-back and maintenance
    void closeExportProgress();
    void abortReadBack(const QString &reason);
    void dropReadBack();
    void finishReadBack();
    void endReadBack();
    void endReadBackWithoutRawData();
    void removeStationTextCopy();
    void setExportProgressLabel(const QString &text);
    void showDataComAttempt(bool started);
    void showReadBackMismatch();
    void skipReadBackStation(const QString &notice);
    void saveReadBackStation();
    void saveReadBackGroupsSoFar();
    void requestStationExport(QString projectName, QString projectId, int lineNum, double stationNum);
    void requestNextStation();
    void askDeveloperPassword();
    int listingPurpose = 0; // 3 storage management, 4 read-back
    bool logExportFailed = false;
    std::unique_ptr<QProgressDialog> exportProgress;
    std::unique_ptr<QProgressDialog> deleteProgress;
    std::unique_ptr<QProgressDialog> formatProgress;
    std::unique_ptr<QProgressDialog> logProgress;
    int exportMode = 0; // 0 one station, 1 every line, 2 every station of one line
    int exportLineNum = 0;
    double exportStationNum = 0.0;
    StationSampleInfo readBackStation; // the station being read back
    SampleInfo readBackRecording;      // its group being received
    QString stationTextCopy; // the station text's temporary copy while it is kept
    QStringList unsavedStations;
    bool stationOverAwaited = false; // an end notice of the station is sent; its reply may move on
    bool stationTextAwaited = false; // the station is asked for; its text starts its groups

    // What the instrument sends matched to the group asked for: blocks cut short, group indexes.
    bool markedCutShort(int channel, qint64 dataLength);
    bool ofReadBackStation(const SampleDataControlParam &param) const;
    void keepReadBackBlock(int channel, const SampleDataControlParam &param, const char *data);
    void completeReadBackGroup(const SampleDataControlParam &param);
    ReadBackGroups readBackGroups; // the groups of the station being read back
    QStringList cutGroups;         // groups of the read-back that came cut, for its closing box

    // The run's phase: every change goes through enterPhase, every refusal through refuseIn.
    void enterPhase(RunPhase::Phase phase);
    void enterRestingPhase();
    bool refuseIn(RunPhase::Action action);
    bool expectsReply(RunPhase::Reply reply, const char *what) const;
    void endRunOnIdleReport();
    void endTrialRun();
    void repeatOverWaterStation();
    void endOverWaterRepetition();
    void dropWaitingStart();
    void leaveMaintenanceWhenClosed(QProgressDialog *busy);
    void updateSaveEnabled();
    void showGroupButtons();
    RunPhase runPhase;
    bool runOnLine = true; // the run's own online choice, fixed when it starts
    bool closeConfirmed = false;
    bool closeQuestionQueued = false;

    // Watch of a transfer until its end: a run's from its data connections, a read-back's from
    // its request, but for the data-connection wait
    void onTransferStalled(int times);
    void cutStalledRunGroup();
    TransferWatchdog *transferWatchdog = nullptr;
    bool dataComsUp = false;

    // Watch of an online group's sampling: its end is awaited for its duration and a margin, then
    // the group is cut and the run goes on
    void armSamplingWatch();
    void onSamplingOverdue();
    void endGroup();
    QTimer *samplingWatch = nullptr;
    int samplingMarginMs = 0;

    // The end of a run whose groups did not all come: the instrument keeps those for a read-back
    void closeGroup();
    void finishRun();
    void endRunOnLostConnection();
    bool stopRunLeftOnInstrument(int workStatus);
    bool dataComFailureShown = false; // the run's one box for data connections that never came up
    bool runLeftOnInstrument = false; // ended here without the instrument; stopped once reached
    bool leftRunStopping = false;     // its stop is sent and not yet answered
    bool stopSent = false;            // the operator's stop is on its way: no group starts

    // Watch of a start in flight, from the click to the start notification of each group: when
    // the notification does not come, the status decides whether the group is taken as started
    void watchGroupStart();
    void onStartNotificationOverdue();
    void onStartStatusOverdue();
    bool decideOverdueStart(int workStatus);
    void takeGroupStarted();
    void endUnstartedGroup();
    void endStartOnLostConnection();
    StartWatch *startWatch = nullptr;
    // A real online run stopped after some groups came whole keeps them for its save choice.
    bool keepReceivedGroupsOnStop();
    // After a question box: false when the answer no longer applies (the phase forbids the
    // action now, or the connection is gone).
    bool answerStillApplies(RunPhase::Action action);
    bool poweringOff = false; // the power off is sent: the connection loss that follows is expected
};

#endif // MAINWINDOW_H
