// Opening, creating and closing projects, the recent-projects list, and closing the program.
#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "dialogs/Dialog_NewProject.h"
#include "link/LibCom.h"
#include "mainwindow/CloseQuestionText.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/RecentProjects.h"
#include "mainwindow/TempFolder.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "store/LibHORM.h"
#include "ui_MainWindow.h"

#include <QFileInfo>
#include <QListWidget>

#include <cmath>

void MainWindow::openProject(QString path)
{
    openProjectFile(path, MissingProjectFile::Refuse);
}

void MainWindow::onSlotNewProjectPrepared(QString path)
{
    openProjectFile(path, MissingProjectFile::Create);
}

void MainWindow::openProjectFile(const QString &path, MissingProjectFile missing)
{
    if (projectOpened) {
        snackbar->addMessage(tr("工程已经打开,请关闭当前工程再操作！"));
        return;
    }
    if (!openProjectStore(path, missing))
        return;
    if (connected)
        libCom->sendProjectConfigFile(dataModelIndex->getProjectConfigFilePath());
    showProjectInTitle();
    recentProjects = withRecentProject(recentProjects, path);
    updateRecentProjectList(recentProjects);
    formStatusBar->setProjectOpened(true);
    snackbar->addMessage(tr("%1\n工程已经打开！").arg(path));
    refreshNetworkState();
    enterPhase(RunPhase::Idle);
    emit projOpened();
}

// The project tree owns the store once it has loaded the project. A database it refuses has
// been reported by the tree and is dropped here. A missing file is created only for a new project.
bool MainWindow::openProjectStore(const QString &path, MissingProjectFile missing)
{
    auto *store = new LibHORM;
    const bool mayOpen = missing == MissingProjectFile::Create || QFileInfo(path).isFile();
    if (!mayOpen || !store->openSqlite(path)) {
        delete store;
        OperatorPrompt::critical(nullptr, tr("出错"), tr("工程文件打开失败！\n%1").arg(path));
        return false;
    }
    projectFilePath = path;
    projectDir = QFileInfo(path).absolutePath();
    dataModelIndex->setProjectDir(projectDir);
    if (dataModelIndex->loadProject(store)) {
        projectStore = store;
        return true;
    }
    delete store;
    projectFilePath.clear();
    projectDir.clear();
    showProjectInTitle();
    return false;
}

void MainWindow::onSlotOpenProjectAction()
{
    const QString path = OperatorPrompt::getOpenFileName(this, tr("打开工程"), appDirPath, tr("HMT工程 (*.HMT)"));
    if (!path.isEmpty())
        openProject(path);
}

void MainWindow::onSlotNewProjectAction()
{
    if (projectOpened)
        ui->tbtnCloseProject->click();
    if (projectOpened)
        return;
    dialogNewProject->newProjectDialogShow();
}

void MainWindow::onRecentProjectsListClicked(QListWidgetItem *item)
{
    if (projectOpened) {
        snackbar->addMessage(tr("工程已经打开,请关闭当前工程再操作！"));
        return;
    }
    if (!item)
        return;
    const QString path = item->text();
    if (QFileInfo::exists(path)) {
        openProject(path);
        return;
    }
    snackbar->addMessage(tr("此工程路径不存在，请核实路径或打开其他工程！"));
    recentProjects.removeOne(path);
    updateRecentProjectList(recentProjects);
}

// Only the idle project closes: not while a run, a read-back or a run's save choice is on.
void MainWindow::onSlotCloseProjectAction()
{
    if (refuseIn(RunPhase::CloseProject))
        return;
    if (projectOpened)
        snackbar->addMessage(tr("%1\n工程已经关闭！").arg(projectFilePath));
    // The views may name the tree's channel files, which go with the project.
    clearDataViews();
    dataModelIndex->closeProject();
    projectStore = nullptr;
    projectOpened = false;
    ui->recentProjectList->setEnabled(true);
    ui->tbtnNewProject->setEnabled(true);
    ui->tbtnOpenProject->setEnabled(true);
    projectConfigured = false;
    formStatusBar->setProjectOpened(false);
    projectFilePath.clear();
    projectDir.clear();
    showProjectInTitle();
    refreshNetworkState();
    enterPhase(RunPhase::NoProject);
}

// The title names the open project's file, and nothing once no project is open.
void MainWindow::showProjectInTitle()
{
    const QString program = tr("Velkor");
    setWindowTitle(projectFilePath.isEmpty() ? program : program + QStringLiteral(" -- ") + projectFilePath);
}

void MainWindow::updateRecentProjectList(QStringList paths)
{
    ui->recentProjectList->clear();
    for (const QString &path : paths) {
        if (!path.isEmpty())
            ui->recentProjectList->addItem(path);
    }
}

void MainWindow::onSlotLoadProjectConfig(ProjectConfig config)
{
    projectConfig = config;
    stationSampleInfo.ProjectName = config.ProjectName;
    stationSampleInfo.ProjectId = config.ProjectId;
    projectOpened = true;
    ui->recentProjectList->setEnabled(false);
    ui->tbtnNewProject->setEnabled(false);
    ui->tbtnOpenProject->setEnabled(false);
}

// The field shows the next station when the step is on; the stored last station stays as received.
void MainWindow::onSlotLoadLastLineStationNum(int lineNum, double stationNum)
{
    lastLineNum = lineNum;
    lastStationNum = stationNum;
    ui->lineEdit_LineNum->setText(QString::number(lineNum));
    double next = stationNum;
    if (stationNumAutoConfig.StationNumAutoEnable)
        next += stationNumAutoConfig.StationNumAutoStepSize;
    if (qAbs(next) > 999999)
        next = std::trunc(next / 10);
    ui->lineEdit_StationNum->setText(StationNumberText::text(next));
}

void MainWindow::onSlotSelectLine(int) {}

void MainWindow::onSlotSelectStation(int machineID, int lineNum, double stationNum)
{
    formStationInfo->setStation(machineID, lineNum, stationNum);
}

bool MainWindow::hasUnsavedRun() const
{
    return runPhase.phase() == RunPhase::SaveChoice || (realSample == 1 && !dataModelIndex->getTempSamples().isEmpty());
}

// The close question names what closing loses, as things stand when it is asked.
QString MainWindow::closeQuestion() const
{
    return closeQuestionText(runPhase.phase(), hasUnsavedRun());
}

// The settings are saved and "TempFile" is emptied; an open project goes with the window. A yes
// given while things changed under the box answered another question: the new one is asked.
void MainWindow::onClickBtnClose()
{
    QString question = closeQuestion();
    for (;;) {
        if (askYesNo(tr("温馨提示"), question) != QMessageBox::Yes)
            return;
        const QString now = closeQuestion();
        if (now == question)
            break;
        question = now;
    }
    saveSystemConfig();
    emptyTempFolder(appDirPath + QStringLiteral("/TempFile"));
    closeConfirmed = true;
    close();
}
