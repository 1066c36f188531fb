#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "dialogs/ComboPopupViews.h"
#include "mainwindow/BuildStamp.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/ToolBarStateMachine.h"
#include "mainwindow/WorkState.h"
#include "shell/chrome/FramelessHelper.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpressionValidator>

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
};

// The sampling page's buttons, in the order they are set up.
const ButtonShortcut sampleTaskButtons[] = {
    {&Ui_MainWindow::tbtnConnectNetwork, "ctrl+c", "快捷键：ctrl+c"},
    {&Ui_MainWindow::tbtnDisconnectNetwork, "ctrl+d", "快捷键：ctrl+d"},
    {&Ui_MainWindow::tbtnSampleTaskConfig, "ctrl+t", "快捷键：ctrl+t"},
    {&Ui_MainWindow::tbtnExportData, "ctrl+e", "快捷键：ctrl+e"},
    {&Ui_MainWindow::tbtnSwitchView, nullptr, nullptr},
    {&Ui_MainWindow::tbtnLastSampleGroup, nullptr, nullptr},
    {&Ui_MainWindow::tbtnPreSampleData, "ctrl+p", "快捷键：ctrl+p"},
    {&Ui_MainWindow::tbtnStartSample, "ctrl+return", "快捷键：ctrl+enter"},
    {&Ui_MainWindow::tbtnStopSample, "ctrl+s", "快捷键：ctrl+s"},
    {&Ui_MainWindow::tbtnSave, nullptr, nullptr},
    {&Ui_MainWindow::tbtnCancelSave, nullptr, nullptr},
    {&Ui_MainWindow::tbtnPowerOff, nullptr, nullptr},
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui_MainWindow>())
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    appDirPath = QDir::fromNativeSeparators(QCoreApplication::applicationDirPath());
    ui->setupUi(this);
    setMinimumSize(1050, 650);

    formStationInfo = new Form_StationInfo;
    ui->verticalLayout_5->addWidget(formStationInfo);
    formStatusBar = new Form_StatusBar;
    ui->statusBar->setContentsMargins(-1, -1, -1, 1);
    ui->statusBar->addWidget(formStatusBar, 1);
    formSystemInfo = new Form_SystemInfo;
    ui->layoutSystemConfig->addWidget(formSystemInfo);

    snackbar = new QtMaterialSnackbar(this);

    initForm();
    initStateMachine();
    initLeftProjectManageWidget();
    initLeftSystemConfig();
    initLeftSampleTask();
    setWorkState(WORK_IDLE);
}

MainWindow::~MainWindow() = default;

void MainWindow::initForm()
{
    const QDateTime built = buildDateTime();
    ui->label_Version->setText(
        tr("V%1 (Build %2)").arg(QLatin1String(programVersion), built.toString(QStringLiteral("yyMMdd"))));
    ui->label_CopyRight->setText(tr("版权所有 © %1").arg(built.toString(QStringLiteral("yyyy"))));
    initTabBar();
    initTitleBand();
    setWindowTitle(QStringLiteral("Velkor"));
    installComboPopupViews(this);
    // A new pop-up view shows every row again.
    formSystemInfo->setDeveloperMode(developerMode);
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
    connect(ui->btnMenu_Close, &QPushButton::clicked, this, &QWidget::close);
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
    toolBarStates->start();
}

void MainWindow::initLeftProjectManageWidget()
{
    QListWidget *list = ui->recentProjectList;
    list->setMovement(QListView::Static);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setViewMode(QListView::ListMode);
    list->setAlternatingRowColors(true);
    list->clear();
    for (QToolButton *button : {ui->tbtnNewProject, ui->tbtnOpenProject, ui->tbtnCloseProject})
        setIconBtn(button);
}

void MainWindow::initLeftSystemConfig()
{
    for (QToolButton *button : {ui->tbtnInputChannelConfig, ui->tbtnMemoryManage, ui->tbtnOtherConfig,
                                ui->tbtnSystemUpdate, ui->tbtnSDCardFormat, ui->tbtnExportLog})
        setIconBtn(button);
}

void MainWindow::initLeftSampleTask()
{
    for (const ButtonShortcut &entry : sampleTaskButtons) {
        QToolButton *button = ui.get()->*entry.button;
        setIconBtn(button);
        if (!entry.shortcut)
            continue;
        button->setShortcut(QKeySequence(tr(entry.shortcut)));
        button->setToolTip(tr(entry.toolTip));
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

void MainWindow::setWorkState(int state)
{
    workState = state;
    toolBarStates->setWorkState(state);
}
