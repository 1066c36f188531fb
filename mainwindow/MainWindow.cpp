#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "dialogs/ComboPopupViews.h"
#include "dialogs/Dialog_DiskSpaceDelete.h"
#include "dialogs/Dialog_ExportData.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_NewProject.h"
#include "dialogs/Dialog_OthersSetting.h"
#include "dialogs/Dialog_SampleTask.h"
#include "link/LibCom.h"
#include "mainwindow/BuildStamp.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/StartWatch.h"
#include "mainwindow/ToolBarClickGuard.h"
#include "mainwindow/ToolBarStateMachine.h"
#include "mainwindow/TransferWatchdog.h"
#include "projectdata/DataModel_Index.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/FramelessHelper.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_ProcessDataViewSet.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/Form_TimeSeriesViewSet.h"

#include <QCloseEvent>
#include <QDebug>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QThreadPool>
#include <QTimer>

namespace {

const char *const programVersion = "1.0.1";

// The caption buttons keep their symbol-font codes as texts ("0" minimise, "1" maximise,
// "2" restore, "r" close); that font is not installed here, so they show these icons.
const QString minimizeIcon = QStringLiteral(":/Icon/window-minimize.svg");
const QString maximizeIcon = QStringLiteral(":/Icon/window-maximize.svg");
const QString restoreIcon = QStringLiteral(":/Icon/window-restore.svg");
const QString closeIcon = QStringLiteral(":/Icon/window-close.svg");

struct ButtonShortcut
{
    QToolButton *Ui_MainWindow::*button;
    const char *shortcut;
    const char *toolTip;
    void (MainWindow::*slot)();
};

// The sampling page's buttons, in the order they are set up.
const ButtonShortcut sampleTaskButtons[] = {
    {&Ui_MainWindow::tbtnConnectNetwork, "ctrl+c", "快捷键：ctrl+c", &MainWindow::connnectNetwork},
    {&Ui_MainWindow::tbtnDisconnectNetwork, "ctrl+d", "快捷键：ctrl+d", &MainWindow::disconnectNetwork},
    {&Ui_MainWindow::tbtnSampleTaskConfig, "ctrl+t", "快捷键：ctrl+t", nullptr},
    {&Ui_MainWindow::tbtnExportData, "ctrl+e", "快捷键：ctrl+e", &MainWindow::onSlotExportDataAction},
    {&Ui_MainWindow::tbtnSwitchView, nullptr, nullptr, &MainWindow::onSlotSwitchDisplayAction},
    {&Ui_MainWindow::tbtnLastSampleGroup, nullptr, nullptr, &MainWindow::onSlotLastSampleGroupAction},
    {&Ui_MainWindow::tbtnPreSampleData, "ctrl+p", "快捷键：ctrl+p", &MainWindow::onSlotPreSampleDataAction},
    {&Ui_MainWindow::tbtnStartSample, "ctrl+return", "快捷键：ctrl+enter", &MainWindow::onSlotStartSampleAction},
    {&Ui_MainWindow::tbtnStopSample, "ctrl+s", "快捷键：ctrl+s", &MainWindow::onSlotStopSampleAction},
    {&Ui_MainWindow::tbtnSave, nullptr, nullptr, &MainWindow::onSlotSaveDataAction},
    {&Ui_MainWindow::tbtnCancelSave, nullptr, nullptr, &MainWindow::onSlotUnsaveDataAction},
    {&Ui_MainWindow::tbtnPowerOff, nullptr, nullptr, &MainWindow::onSlotPowerOffAction},
};

// Types that signals carry, some of them from the thread pool to the GUI thread, where a queued
// connection needs them registered.
void registerSignalTypes()
{
    qRegisterMetaType<SampleInfo>("SampleInfo");
    qRegisterMetaType<QVector<OneFreqImpedance>>("QVector<OneFreqImpedance>");
    qRegisterMetaType<ProjectConfig>("ProjectConfig");
    qRegisterMetaType<ChannelInputsConfig>("ChannelInputsConfig");
    qRegisterMetaType<StationNumAutoConfig>("StationNumAutoConfig");
    qRegisterMetaType<CtrlParam>("CtrlParam");
    qRegisterMetaType<QList<CtrlParam>>("QList<CtrlParam>");
    qRegisterMetaType<SystemInfo>("SystemInfo");
    qRegisterMetaType<ChannelsUseInfo>("ChannelsUseInfo");
    qRegisterMetaType<ProcessDataUseInfo>("ProcessDataUseInfo");
    qRegisterMetaType<uint32_t>("uint32_t");
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::FramelessWindowHint), ui(std::make_unique<Ui_MainWindow>()),
      statusPollTimer(new QTimer), dataComTimer(new QTimer)
{
    registerSignalTypes();
    // A folder set beforehand (by tests and tools) is kept; the program starts with none.
    if (appDirPath.isEmpty())
        appDirPath = QDir::fromNativeSeparators(QCoreApplication::applicationDirPath());
    ui->setupUi(this);
    setMinimumSize(1050, 650);
    developerMode = false;

    createPanels();
    createDialogs();
    createViews();
    createProjectTree();
    snackbar = new QtMaterialSnackbar(this);
    libCom = new LibCom(this);
    transferWatchdog = new TransferWatchdog([this] { return libCom->dataBytesArrived(); }, this);
    connect(transferWatchdog, &TransferWatchdog::stalled, this, &MainWindow::onTransferStalled);
    samplingWatch = new QTimer(this);
    samplingWatch->setSingleShot(true);
    samplingMarginMs = SamplingWatchMarginMs;
    connect(samplingWatch, &QTimer::timeout, this, &MainWindow::onSamplingOverdue);
    startWatch = new StartWatch(this);
    connect(startWatch, &StartWatch::notificationOverdue, this, &MainWindow::onStartNotificationOverdue);
    connect(startWatch, &StartWatch::statusOverdue, this, &MainWindow::onStartStatusOverdue);
    connectLink();
    resetSampleRun();
    // The instrument's address on a first start; the settings file may name another.
    machineAddress.IP = QStringLiteral("127.0.0.1");
    machineAddress.port = 8010;

    statusPollTimer->stop();
    connect(statusPollTimer, &QTimer::timeout, this, &MainWindow::onTimeOut);
    dataComTimer->stop();
    pollIntervalMs = statusPollIntervalMs;
    connect(dataComTimer, &QTimer::timeout, this, &MainWindow::onDataComConnectTimeOut);

    initForm();
    initStateMachine();
    initLeftProjectManageWidget();
    initLeftSystemConfig();
    initLeftSampleTask();
    refreshNetworkState();
    setNetworkUiState(false);
    loadSystemConfig();
    connectProjectTree();
    updateRecentProjectList(recentProjects);
}

// Curves still computed on the pool report to the project tree, so the pool ends first. The
// dialogs are top-level windows and go explicitly; the rest goes with the widget tree.
MainWindow::~MainWindow()
{
    QThreadPool::globalInstance()->waitForDone();
    delete dialogNewProject;
    delete dialogInputsSetting;
    delete dialogDiskSpaceDelete;
    delete dialogOthersSetting;
    delete formSystemInfo;
    delete formStationInfo;
    delete formTimeSeriesGraph;
    delete formTimeSeriesViewSet;
    delete formProcessDataGraph;
    delete formProcessDataViewSet;
    delete dialogSampleTask;
    delete dialogExportData;
    ui.reset();
    delete statusPollTimer;
    delete dataComTimer;
    delete systemConfig;
}

void MainWindow::setApplicationDirOverride(const QString &dir)
{
    appDirPath = dir;
}

QMessageBox::StandardButton MainWindow::askYesNo(const QString &title, const QString &text)
{
    return OperatorPrompt::question(nullptr, title, text) ? QMessageBox::Yes : QMessageBox::No;
}

// The panels in their placeholders; the settings panels drive their views directly.
void MainWindow::createPanels()
{
    formStationInfo = new Form_StationInfo;
    ui->verticalLayout_5->addWidget(formStationInfo);
    formStatusBar = new Form_StatusBar;
    ui->statusBar->setContentsMargins(-1, -1, -1, 1);
    ui->statusBar->addWidget(formStatusBar, 1);
    formSystemInfo = new Form_SystemInfo;
    ui->layoutSystemConfig->addWidget(formSystemInfo);
    connect(formSystemInfo, &Form_SystemInfo::signalWactchMachineChanged, this, &MainWindow::onSlotSetWatchMachineType);
}

void MainWindow::createDialogs()
{
    dialogDiskSpaceDelete = new Dialog_DiskSpaceDelete;
    dialogDiskSpaceDelete->hide();
    dialogOthersSetting = new Dialog_OthersSetting;
    dialogOthersSetting->hide();
    dialogSampleTask = new Dialog_SampleTask;
    dialogNewProject = new Dialog_NewProject;
    dialogNewProject->hide();
    connect(dialogNewProject, &Dialog_NewProject::sigalNewProject, this, &MainWindow::onSlotNewProjectPrepared);
    dialogInputsSetting = new Dialog_InputsSetting;
    dialogInputsSetting->hide();
    dialogExportData = new Dialog_ExportData;
    dialogExportData->hide();
    connect(dialogExportData, &Dialog_ExportData::signalExportDataSelectLineStation, this,
            &MainWindow::onSlotExportData);
}

void MainWindow::createViews()
{
    formTimeSeriesGraph = new Form_TimeSeriesGraph;
    formTimeSeriesViewSet = new Form_TimeSeriesViewSet;
    ui->verticalLayout_12->addWidget(formTimeSeriesViewSet);
    connect(formTimeSeriesViewSet, &Form_TimeSeriesViewSet::signalInputChannelsView, formTimeSeriesGraph,
            &Form_TimeSeriesGraph::setSelectedChannelsDisplay);
    connect(formTimeSeriesViewSet, &Form_TimeSeriesViewSet::signalSelectTimeSeriesChannels, formTimeSeriesGraph,
            &Form_TimeSeriesGraph::setTimeSeriesChannelsView);

    formProcessDataViewSet = new Form_ProcessDataViewSet;
    ui->verticalLayout_13->addWidget(formProcessDataViewSet);
    formProcessDataGraph = new Form_ProcessDataGraph;
    connect(formProcessDataViewSet, &Form_ProcessDataViewSet::signalProcessDataViewUseInfo, formProcessDataGraph,
            &Form_ProcessDataGraph::setProcessDataSelectedChannelsView);
    connect(formProcessDataViewSet, &Form_ProcessDataViewSet::signalProcessDataViewParamChanged, formProcessDataGraph,
            &Form_ProcessDataGraph::setProcessDataYAxisView);

    QWidget *placeholder = ui->stacked_SampleTask->widget(0);
    ui->stacked_SampleTask->removeWidget(placeholder);
    delete placeholder;
    ui->stacked_SampleTask->addWidget(formTimeSeriesGraph);
    ui->stacked_SampleTask->addWidget(formProcessDataGraph);
    ui->stacked_SampleTask->setCurrentIndex(0);
    ui->stacked_SampleTask->setMinimumSize(600, 500);
    shownView = 0;
}

void MainWindow::createProjectTree()
{
    dataModelIndex = new DataModel_Index;
    dataModelIndex->setNewProjectDialog(dialogNewProject);
    ui->verticalLayout_8->addWidget(dataModelIndex);
}

void MainWindow::connectLink()
{
    connect(libCom, &LibCom::AMTMachineNetWorkConnected, this, &MainWindow::onSlotNetWorkConnected);
    connect(libCom, &LibCom::AMTMachineNetWorkClosed, this, &MainWindow::onSlotNetWorkDisconnected);
    connect(libCom, &LibCom::AMTMachineAdjustTimeOver, this, &MainWindow::onSlotAdjustTimeOver);
    connect(libCom, &LibCom::AMTMachineErrorCode, this, &MainWindow::onSlotErrorCode);
    connect(libCom, &LibCom::AMTMachineSystemInfo, this, &MainWindow::onSlotSystemInfo);
    connect(libCom, &LibCom::AMTMachineProjectConfigSuccess, this, &MainWindow::onSlotProjectConfiged);
    connect(libCom, &LibCom::AMTMachineSampleStarted, this, &MainWindow::onSlotSampleStarted);
    connect(libCom, &LibCom::AMTMachineSampleStoped, this, &MainWindow::onSlotSampleStopped);
    connect(libCom, &LibCom::AMTMachineStatus, this, &MainWindow::onSlotMachineStatus);
    connect(libCom, &LibCom::AMTMachineFreqGroupSampleOver, this, &MainWindow::onSlotRequestTransormData);
    connect(libCom, &LibCom::AMTMachineRequestDataComConnecting, this, &MainWindow::onSlotRequestDataComConnecting);
    connect(libCom, &LibCom::AMTMachineDataComNetworkConnected, this, &MainWindow::onSlotDataComConnected);
    connect(libCom, &LibCom::AMTMachineTransformChannelDataEnd, this, &MainWindow::onSlotTransformChannelData);
    connect(libCom, &LibCom::AMTMachineTransformDataEnd, this, &MainWindow::onSlotTransformDataEnd);
    connect(libCom, &LibCom::AMTMachineDataComClosed, this, &MainWindow::onSlotDataComDisconnected);
    connect(libCom, &LibCom::AMTMachineFreqGroupTransformDataOver, this, &MainWindow::onSlotTransformDataFreqGroupOver);
    connect(libCom, &LibCom::AMTMachineExportDataProjectConfig, this, &MainWindow::onSlotExportDataProjectConfigFile);
    connect(libCom, &LibCom::AMTMachineExportDataStationConfig, this, &MainWindow::onSlotExportDataStationConfigFile);
    connect(libCom, &LibCom::AMTMachineExportChannelDataEnd, this, &MainWindow::onSlotExportChannelDataEnd);
    connect(libCom, &LibCom::AMTMachineExportDataEnd, this, &MainWindow::onSlotExportDataFreqGroupEnd);
    connect(libCom, &LibCom::AMTMachineStationExportSampleDataOver, this, &MainWindow::onSlotNewLineStationExportData);
    connect(libCom, &LibCom::AMTMachineProjectListFile, this, &MainWindow::onSlotDeviceProjectListReceived);
    connect(libCom, &LibCom::AMTMachineDiskSpaceFile, this, &MainWindow::onSlotDeviceDiskSpaceReceived);
    connect(libCom, &LibCom::AMTMachineSampleGroupsNum, this, &MainWindow::onSlotStationSampleGroupsNum);
    connect(libCom, &LibCom::AMTMachineErrorFlagClear, this, &MainWindow::onSlotDeviceErrorFlagClear);
    connect(libCom, &LibCom::AMTMachineDataDeleteOver, this, &MainWindow::onSlotDeviceSpaceDeleteOver);
    connect(libCom, &LibCom::AMTMachineSDCardDiskPrepareForFormat, this, &MainWindow::onSlotPrepareForSDCardFormat);
    connect(libCom, &LibCom::AMTMachineSDCardDiskFormatSucceed, this, &MainWindow::onSlotSDCardFormatSucceed);
    connect(libCom, &LibCom::AMTMachineExportLogComNetworkConnected, this, &MainWindow::onSlotExportLogComConnected);
    connect(libCom, &LibCom::AMTMachineExportLogComClosed, this, &MainWindow::onSlotExportLogComDisconnected);
    connect(libCom, &LibCom::AMTMachinePrepareForExportLog, this, &MainWindow::onSlotPrepareForExportLog);
    connect(libCom, &LibCom::AMTMachineExportLogData, this, &MainWindow::onSlotExportLogFileData);
    connect(libCom, &LibCom::AMTMachineExportLogDataOver, this, &MainWindow::onSlotExportLogFileSucceed);
}

// The tree's model-change signal has no receiver.
void MainWindow::connectProjectTree()
{
    connect(dataModelIndex, &DataModel_Index::signalLoadProjectConfig, this, &MainWindow::onSlotLoadProjectConfig);
    connect(dataModelIndex, &DataModel_Index::signalLoadLastLineStationNum, this,
            &MainWindow::onSlotLoadLastLineStationNum);
    connect(dataModelIndex, &DataModel_Index::showTimeSeries, this, &MainWindow::showSampleTimeSeries);
    connect(dataModelIndex, &DataModel_Index::signalSelectStation, this, &MainWindow::onSlotSelectStation);
    connect(dataModelIndex, &DataModel_Index::signalSelectLine, this, &MainWindow::onSlotSelectLine);
    connect(dataModelIndex, &DataModel_Index::showProcessData, this, &MainWindow::showStationProcessData);
    connect(dataModelIndex, &DataModel_Index::snackMessage, snackbar, &QtMaterialSnackbar::addMessage);
    connect(dataModelIndex, &DataModel_Index::pendingCalculationsChanged, this,
            &MainWindow::onPendingCalculationsChanged);
    // A rename moves the files the views read.
    connect(dataModelIndex, &DataModel_Index::signalClearDataViews, this, &MainWindow::clearDataViews);
}

// Closing the window ends the program, even while a dialog is still open. A close that did not
// come through the close button (the window manager, a logout) asks the close button's question
// first, once the close under way has been refused.
void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!closeConfirmed) {
        event->ignore();
        if (closeQuestionQueued)
            return;
        closeQuestionQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                closeQuestionQueued = false;
                onClickBtnClose();
            },
            Qt::QueuedConnection);
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

void MainWindow::initForm()
{
    const QDateTime built = buildDateTime();
    ui->label_Version->setText(
        tr("V%1 (Build %2)").arg(QLatin1String(programVersion), built.toString(QStringLiteral("yyMMdd"))));
    ui->label_CopyRight->setText(tr("版权所有 © %1").arg(built.toString(QStringLiteral("yyyy"))));
    initTabBar();
    initTitleBand();
    setWindowTitle(QStringLiteral("Velkor"));
    connect(ui->labIco, &QPushButton::clicked, this, &MainWindow::onTryDeveloperMode);
    installComboPopupViews(this);
    // After the new pop-up views, which show every row again.
    applyDeveloperMode(developerMode);
}

void MainWindow::initTabBar()
{
    ui->tabBar->addTab(tr("工程管理"));
    ui->tabBar->addTab(tr("参数设置"));
    ui->tabBar->addTab(tr("采集任务"));
    ui->tabBar->setTabToolTip(2, QStringLiteral("ADS1282"));
    ui->tabBar->setCursor(Qt::PointingHandCursor);
    connect(ui->tabBar, &QTabBar::currentChanged, ui->stackedWidget, &QStackedWidget::setCurrentIndex);
    ui->stackedWidget->setCurrentIndex(0);
}

// The title band moves the window, its edges resize it; the logo, the tabs and the caption
// buttons stay clickable.
void MainWindow::initTitleBand()
{
    framelessHelper = new FramelessHelper(this);
    framelessHelper->setResizeMargins(3, 3, 3, 3);
    framelessHelper->setTitleBarHeight(50);
    const QList<QWidget *> excluded{ui->labIco, ui->btnMenu_Min, ui->btnMenu_Max, ui->btnMenu_Close, ui->tabBar};
    for (QWidget *widget : excluded)
        framelessHelper->addExcludedWidget(widget);
    connect(ui->btnMenu_Min, &QPushButton::clicked, framelessHelper, &FramelessHelper::triggerMinimizeButtonAction);
    connect(ui->btnMenu_Max, &QPushButton::clicked, framelessHelper, &FramelessHelper::triggerMaximizeButtonAction);
    connect(ui->btnMenu_Close, &QPushButton::clicked, this, &MainWindow::onClickBtnClose);
    connect(framelessHelper, &FramelessHelper::maximizedChanged, this, &MainWindow::updateMaximizeButton);

    ui->btnMenu_Min->setIcon(QIcon(minimizeIcon));
    ui->btnMenu_Min->setToolTip(tr("最小化"));
    ui->btnMenu_Close->setIcon(QIcon(closeIcon));
    ui->btnMenu_Close->setToolTip(tr("关闭"));
    updateMaximizeButton(false);
}

void MainWindow::initStateMachine()
{
    toolBarStates = new ToolBarStateMachine(this);
    toolBarStates->show(runPhase.phase());
    toolBarStates->start();
    toolBarClickGuard = new ToolBarClickGuard(this);
}

void MainWindow::initLeftProjectManageWidget()
{
    QListWidget *list = ui->recentProjectList;
    list->setMovement(QListView::Static);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setViewMode(QListView::ListMode);
    list->setAlternatingRowColors(true);
    list->clear();
    // A double click delivers the item twice; the second finds the project open.
    connect(list, &QListWidget::itemClicked, this, &MainWindow::onRecentProjectsListClicked);
    connect(list, &QListWidget::itemDoubleClicked, this, &MainWindow::onRecentProjectsListClicked);
    updateRecentProjectList(recentProjects);
    for (QToolButton *button : {ui->tbtnNewProject, ui->tbtnOpenProject, ui->tbtnCloseProject})
        setIconBtn(button);
    connect(ui->tbtnNewProject, &QToolButton::clicked, this, &MainWindow::onSlotNewProjectAction);
    connect(ui->tbtnOpenProject, &QToolButton::clicked, this, &MainWindow::onSlotOpenProjectAction);
    connect(ui->tbtnCloseProject, &QToolButton::clicked, this, &MainWindow::onSlotCloseProjectAction);
}

void MainWindow::initLeftSystemConfig()
{
    for (QToolButton *button : {ui->tbtnInputChannelConfig, ui->tbtnMemoryManage, ui->tbtnOtherConfig,
                                ui->tbtnSystemUpdate, ui->tbtnSDCardFormat, ui->tbtnExportLog})
        setIconBtn(button);
    connect(ui->tbtnInputChannelConfig, &QToolButton::clicked, this, &MainWindow::onSlotInputChannelConfigAction);
    connect(dialogInputsSetting, &Dialog_InputsSetting::signalChannelInputsConfig, this,
            &MainWindow::onSlotChannelInputsConfig);
    connect(dialogOthersSetting, &Dialog_OthersSetting::signalStationNumAutoConfig, this,
            &MainWindow::onSlotSetStationNumAutoConfig);
    connect(ui->tbtnMemoryManage, &QToolButton::clicked, this, &MainWindow::onSlotMachineSettingAction);
    connect(dialogDiskSpaceDelete, &Dialog_DiskSpaceDelete::signalDeletePushButtonClicked, this,
            &MainWindow::onSlotInstrumentDiskSpaceDelete);
    connect(dialogDiskSpaceDelete, &Dialog_DiskSpaceDelete::signalDeleteCancelPushButtonClicked, this,
            &MainWindow::onSlotInstrumentDiskSpaceDeleteCancel);
    connect(ui->tbtnOtherConfig, &QToolButton::clicked, this, &MainWindow::onSlotOthersSettingAction);
    connect(ui->tbtnSystemUpdate, &QToolButton::clicked, this, &MainWindow::onSlotSystemUpdateAction);
    connect(ui->tbtnSDCardFormat, &QToolButton::clicked, this, &MainWindow::onSlotSDCardFormatAction);
    connect(ui->tbtnExportLog, &QToolButton::clicked, this, &MainWindow::onSlotExportLogFileAction);

    watchMachineType = formSystemInfo->watchMachineType();
    channelInputsConfig = dialogInputsSetting->getChannelInputsConfig();
    stationNumAutoConfig = dialogOthersSetting->getStationNumAutoConfig();
}

void MainWindow::initLeftSampleTask()
{
    for (const ButtonShortcut &entry : sampleTaskButtons) {
        QToolButton *button = ui.get()->*entry.button;
        setIconBtn(button);
        if (entry.shortcut) {
            button->setShortcut(QKeySequence(tr(entry.shortcut)));
            button->setToolTip(tr(entry.toolTip));
        }
        if (entry.slot) {
            connect(button, &QToolButton::clicked, this, entry.slot);
            continue;
        }
        // The task button opens the task dialog, whose confirmation comes back to the window.
        connect(button, &QToolButton::clicked, this, &MainWindow::onSlotSampleTaskConfigAction);
        connect(dialogSampleTask, &Dialog_SampleTask::signalSureParameters, this,
                &MainWindow::onSlotTasksSettingSureClicked);
    }
    // An optional minus sign and at most six digits.
    const QRegularExpression number(QStringLiteral("^-?[0-9]{1,6}$"));
    ui->lineEdit_LineNum->setValidator(new QRegularExpressionValidator(number, this));
    ui->lineEdit_StationNum->setValidator(new QRegularExpressionValidator(number, this));
    ui->label_LineNum->setAttribute(Qt::WA_TranslucentBackground);
    ui->label_StationNum->setAttribute(Qt::WA_TranslucentBackground);
}

void MainWindow::setIconBtn(QToolButton *button)
{
    button->setIconSize(QSize(32, 32));
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

void MainWindow::updateMaximizeButton(bool maximized)
{
    ui->btnMenu_Max->setText(maximized ? QStringLiteral("2") : QStringLiteral("1"));
    ui->btnMenu_Max->setIcon(QIcon(maximized ? restoreIcon : maximizeIcon));
    ui->btnMenu_Max->setToolTip(maximized ? tr("还原") : tr("最大化"));
}

QDateTime MainWindow::buildDateTime() const
{
    return parseBuildDateTime(QStringLiteral(__DATE__), QStringLiteral(__TIME__));
}

void MainWindow::setTimerIntervals(int statusPollMs, int dataComMs)
{
    pollIntervalMs = statusPollMs;
    dataComIntervalMs = dataComMs;
}

void MainWindow::setTransferStallInterval(int ms)
{
    transferWatchdog->setInterval(ms);
}

void MainWindow::setSamplingWatchMargin(int ms)
{
    samplingMarginMs = ms;
}

// The work state and the tool bar follow the phase; the tool bar's rows are assigned only when
// the phase changes, so a group's own buttons stay as the group left them.
void MainWindow::enterPhase(RunPhase::Phase phase)
{
    if (phase == runPhase.phase()) {
        runPhase.enter(phase);
        return;
    }
    qInfo().noquote() << "run phase:" << RunPhase::name(runPhase.phase()) << "->" << RunPhase::name(phase);
    runPhase.enter(phase);
    toolBarStates->show(phase);
    toolBarClickGuard->arm();
}

void MainWindow::enterRestingPhase()
{
    enterPhase(projectOpened ? RunPhase::Idle : RunPhase::NoProject);
}

// True, after the refusal's box, when the phase does not allow the action.
bool MainWindow::refuseIn(RunPhase::Action action)
{
    if (runPhase.may(action))
        return false;
    QString text = RunPhase::refusalText(action);
    if (text.isEmpty() && runPhase.starting())
        text = RunPhase::startingText();
    qInfo().noquote() << "refused in the phase" << RunPhase::name(runPhase.phase()) << ":" << text;
    if (!text.isEmpty())
        OperatorPrompt::warning(nullptr, tr("提醒"), text);
    return true;
}

// A reply or notification that the phase does not wait for (a repeat, a late one, one for
// another group) changes nothing.
bool MainWindow::expectsReply(RunPhase::Reply reply, const char *what) const
{
    if (runPhase.expects(reply))
        return true;
    qWarning().noquote() << "ignored" << what << "in the phase" << RunPhase::name(runPhase.phase()) << "at group"
                         << taskIndex + 1;
    return false;
}
