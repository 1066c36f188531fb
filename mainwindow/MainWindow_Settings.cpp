// The settings file "systemConfig.ini" and the option slots of the system configuration page.
#include "mainwindow/MainWindow.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_OthersSetting.h"
#include "dialogs/Dialog_SampleTask.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/HardwareGains.h"
#include "mainwindow/RecentProjects.h"
#include "mainwindow/StoredTasks.h"
#include "mainwindow/SystemConfigFile.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "views/Form_ProcessDataViewSet.h"
#include "views/Form_TimeSeriesViewSet.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString recentKey(int slot)
{
    return QStringLiteral("RecentOpenProjectPath%1").arg(slot);
}

QString systemKey(const char *name)
{
    return QStringLiteral("SystemConfig/") + QLatin1String(name);
}

bool isExistingFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

struct InputKey
{
    const char *key;
    QString ChannelInputsConfig::*name;
};

const InputKey inputKeys[] = {
    {"HxInputNum", &ChannelInputsConfig::HxInputNum}, {"HyInputNum", &ChannelInputsConfig::HyInputNum},
    {"E0InputNum", &ChannelInputsConfig::E0InputNum}, {"E1InputNum", &ChannelInputsConfig::E1InputNum},
    {"E2InputNum", &ChannelInputsConfig::E2InputNum},
};

// The stored value of the key, or, when it is absent, the current one written back.
QVariant readOrWriteBack(QSettings &settings, const QString &key, const QVariant &current)
{
    if (settings.contains(key))
        return settings.value(key);
    settings.setValue(key, current);
    return current;
}

} // namespace

void MainWindow::loadSystemConfig()
{
    QString unreadable;
    systemConfig = SystemConfigFile::open(appDirPath + QStringLiteral("/systemConfig.ini"), &unreadable);
    QStringList refused{unreadable};
    loadRecentProjects();
    refused << loadMachineAddress();
    loadWatchMachineMode();
    loadChannelInputs();
    loadStationStep();
    loadSampleOnLine();
    loadHardwareVersion();
    refused << loadTasks();
    systemConfig->sync();
    refused.removeAll(QString());
    if (!refused.isEmpty())
        OperatorPrompt::warning(nullptr, tr("提示"), refused.join(QLatin1Char('\n')));
}

// A slot that is empty, names no file or repeats an earlier one is blanked in place.
void MainWindow::loadRecentProjects()
{
    recentProjects.clear();
    for (int slot = 1; slot <= maxRecentProjects; ++slot) {
        const QString path = systemConfig->value(recentKey(slot)).toString();
        if (!systemConfig->contains(recentKey(slot)) || !isExistingFile(path) || recentProjects.contains(path)) {
            systemConfig->setValue(recentKey(slot), QString());
            continue;
        }
        recentProjects.append(path);
    }
}

// An address that is refused stays in the file as the operator typed it; the default one is used.
QString MainWindow::loadMachineAddress()
{
    const QString ip = readOrWriteBack(*systemConfig, systemKey("IPAddress"), machineAddress.IP).toString();
    const QString port = readOrWriteBack(*systemConfig, systemKey("PortNumber"), machineAddress.port).toString();
    const QString refusal = SystemConfigFile::addressRefusal(ip, port);
    if (!refusal.isEmpty())
        return refusal + tr("仍使用地址%1，端口%2。").arg(machineAddress.IP).arg(machineAddress.port);
    machineAddress.IP = ip;
    machineAddress.port = quint16(port.trimmed().toInt());
    return QString();
}

void MainWindow::loadWatchMachineMode()
{
    const QString key = readOrWriteBack(*systemConfig, systemKey("WatchMachineMode"),
                                        watchMachineModeList.value(watchMachineType))
                            .toString();
    const int mode = watchMachineModeList.indexOf(key);
    if (mode >= 0)
        watchMachineType = mode;
    formSystemInfo->setWatchMachineType(watchMachineType);
}

void MainWindow::loadChannelInputs()
{
    ChannelInputsConfig inputs = channelInputsConfig;
    for (const InputKey &entry : inputKeys)
        inputs.*entry.name = readOrWriteBack(*systemConfig, systemKey(entry.key), inputs.*entry.name).toString();
    dialogInputsSetting->setChannelInputsConfig(inputs);
    formSystemInfo->setChannelInputsConfig(inputs);
}

void MainWindow::loadStationStep()
{
    StationNumAutoConfig step = stationNumAutoConfig;
    step.StationNumAutoEnable =
        readOrWriteBack(*systemConfig, systemKey("StationNumAutoEnable"), step.StationNumAutoEnable).toBool();
    step.StationNumAutoStepSize =
        readOrWriteBack(*systemConfig, systemKey("StationNumAutoStepSize"), step.StationNumAutoStepSize).toDouble();
    dialogOthersSetting->setStationNumAutoConfig(step);
}

void MainWindow::loadSampleOnLine()
{
    sampleOnLine = readOrWriteBack(*systemConfig, systemKey("SampleOnLineSelect"), sampleOnLine ? 1 : 0).toBool();
    dialogSampleTask->setSampleOnLineSelect(sampleOnLine ? 1 : 0);
}

// Only the connection writes the version; without one the current gain lists apply.
void MainWindow::loadHardwareVersion()
{
    followHardwareVersion(hardwareVersionForGains(systemConfig->value(systemKey("HardwareVer"))));
}

void MainWindow::followHardwareVersion(double version)
{
    if (selectGainListsForHardware(version))
        dialogSampleTask->updateGainListAndPresetTasks();
}

QStringList MainWindow::loadTasks()
{
    QStringList dropped;
    taskList = readStoredTasks(*systemConfig, &dropped);
    dialogSampleTask->setTaskList(taskList);
    return dropped;
}

void MainWindow::saveSystemConfig()
{
    saveRecentProjects();
    saveSystemGroup();
    saveTasks();
    systemConfig->sync();
    if (systemConfig->status() != QSettings::NoError)
        OperatorPrompt::warning(nullptr, tr("提示"),
                                tr("设置无法保存到文件：\n%1").arg(systemConfig->fileName()));
}

// Slots beyond the list keep a path that still exists; the next load blanks it as a repeat.
void MainWindow::saveRecentProjects()
{
    for (int slot = 1; slot <= maxRecentProjects; ++slot) {
        if (slot <= recentProjects.size()) {
            const QString path = recentProjects.at(slot - 1);
            systemConfig->setValue(recentKey(slot), isExistingFile(path) ? path : QString());
        } else if (!isExistingFile(systemConfig->value(recentKey(slot)).toString())) {
            systemConfig->setValue(recentKey(slot), QString());
        }
    }
}

// The address is the operator's: the program writes it only when it is missing at load.
void MainWindow::saveSystemGroup()
{
    systemConfig->setValue(systemKey("WatchMachineMode"), watchMachineModeList.value(watchMachineType));
    for (const InputKey &entry : inputKeys)
        systemConfig->setValue(systemKey(entry.key), channelInputsConfig.*entry.name);
    systemConfig->setValue(systemKey("StationNumAutoEnable"), stationNumAutoConfig.StationNumAutoEnable);
    systemConfig->setValue(systemKey("StationNumAutoStepSize"), stationNumAutoConfig.StationNumAutoStepSize);
    sampleOnLine = dialogSampleTask->getSampleOnLineSelect();
    systemConfig->setValue(systemKey("SampleOnLineSelect"), sampleOnLine ? 1 : 0);
}

void MainWindow::saveTasks()
{
    removeStoredTasks(*systemConfig);
    taskList = dialogSampleTask->getTaskList();
    writeStoredTasks(*systemConfig, taskList);
}

void MainWindow::onSlotInputChannelConfigAction()
{
    dialogInputsSetting->inputsSettingDialogShow();
}

void MainWindow::onSlotChannelInputsConfig(ChannelInputsConfig config)
{
    channelInputsConfig = config;
    formSystemInfo->setChannelInputsConfig(channelInputsConfig);
}

void MainWindow::onSlotOthersSettingAction()
{
    dialogOthersSetting->othersSettingDialogShow();
}

void MainWindow::onSlotSetStationNumAutoConfig(StationNumAutoConfig config)
{
    stationNumAutoConfig = config;
    formSystemInfo->setStationNumAutoConfig(stationNumAutoConfig);
}

// Another mode needs other tasks: the custom list goes.
// A run keeps the mode it started in; the tool bar disables the chooser meanwhile.
void MainWindow::onSlotSetWatchMachineType(int machineType)
{
    if (machineType != watchMachineType && refuseIn(RunPhase::ObservationMode))
        return;
    watchMachineType = machineType;
    formStationInfo->showWatchMachineType(machineType);
    dialogSampleTask->setWatchMachineType(machineType);
    formTimeSeriesViewSet->setWatchMachineType(machineType);
    formProcessDataViewSet->setWatchMachineType(machineType);
    clearDataViews();
    if (taskList.isEmpty())
        return;
    taskList.clear();
    dialogSampleTask->clearTaskList();
    snackbar->addMessage(tr("自定义采集任务列表已经删除！"));
}
