// Instrument maintenance (storage, update, format, log, power) and the developer mode.
#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "dialogs/Dialog_DiskSpaceDelete.h"
#include "link/LibCom.h"
#include "mainwindow/BusyDialog.h"
#include "mainwindow/DeveloperPassword.h"
#include "mainwindow/Form_SystemInfo.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace {

constexpr int listingForStorage = 3;
constexpr int clicksForPassword = 7;
int logoClickCount = 0; // program-wide, as the logo is

// Refuses an instrument operation while there is no link; true when refused.
bool refuseUnconnected(bool connected)
{
    if (!connected)
        OperatorPrompt::warning(nullptr, QObject::tr("提醒"), QObject::tr("请先连接网络！"));
    return !connected;
}

const QString &formatConfirmLabel()
{
    static const QString label = QObject::tr(
        "<p>该行为 <strong>无法</strong> 被撤回。这将永久删除机器内 <strong>所有工程文件</strong> 包括离线文件。</p>"
        "<p>请勿在野外进行该操作，恢复过程中仪器会进行多次重启，请勿断电！</p>"
        "<p>请输入 <font color=\"red\">恢复</font> 以确认。</p>");
    return label;
}

bool writeWholeFile(const QString &path, const char *data, int size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(data, size) == size;
    return file.flush() && written;
}

} // namespace

void MainWindow::onSlotMachineSettingAction()
{
    if (refuseUnconnected(connected) || refuseIn(RunPhase::StorageManagement))
        return;
    if (askYesNo(tr("温馨提示"), tr("请确认是否进入仪器内存管理操作?")) != QMessageBox::Yes
        || !answerStillApplies(RunPhase::StorageManagement))
        return;
    libCom->sendGetDiskSpaceFile();
    listingPurpose = listingForStorage;
}

// The deletion is sent, and maintenance entered, only while the instrument can still be reached.
void MainWindow::onSlotInstrumentDiskSpaceDelete(QByteArray *request)
{
    if (!libCom || !request || request->isEmpty() || !answerStillApplies(RunPhase::StorageManagement))
        return;
    libCom->sendDataDelete(request);
    enterPhase(RunPhase::Maintenance);
    dialogDiskSpaceDelete->clearProjectTree();
    dialogDiskSpaceDelete->mayClose = true;
    dialogDiskSpaceDelete->close();
    deleteProgress = showBusyDialog(tr("内存删除过程正在进行中..."), BusyDialogFrame::OwnFlagsWithClose);
    leaveMaintenanceWhenClosed(deleteProgress.get());
}

// The operator who closes a busy dialog no longer waits for the instrument's answer.
void MainWindow::leaveMaintenanceWhenClosed(QProgressDialog *busy)
{
    connect(busy, &QProgressDialog::canceled, this, [this] {
        if (runPhase.phase() == RunPhase::Maintenance)
            enterRestingPhase();
    });
}

void MainWindow::onSlotInstrumentDiskSpaceDeleteCancel()
{
    resetSampleRun();
}

void MainWindow::onSlotSystemUpdateAction()
{
    refuseUnconnected(connected);
}

void MainWindow::onSlotSDCardFormatAction()
{
    if (refuseUnconnected(connected) || refuseIn(RunPhase::Format))
        return;
    bool ok = false;
    const QString typed =
        OperatorPrompt::getText(this, tr("你真的确定吗？"), formatConfirmLabel(), tr("请认真阅读上方文字"), &ok);
    if (!ok || typed != tr("恢复") || !answerStillApplies(RunPhase::Format))
        return;
    if (projectOpened)
        ui->tbtnCloseProject->click();
    statusPollTimer->stop();
    libCom->sendSDCardFormat();
    enterPhase(RunPhase::Maintenance);
}

void MainWindow::onSlotExportLogFileAction()
{
    if (refuseUnconnected(connected))
        return;
    if (askYesNo(tr("温馨提示"), tr("请确认是否导出Log文件?")) != QMessageBox::Yes)
        return;
    statusPollTimer->stop();
    libCom->sendExportLog();
}

// The connection loss that follows is the instrument switching off.
void MainWindow::onSlotPowerOffAction()
{
    if (refuseIn(RunPhase::PowerOff))
        return;
    if (askYesNo(tr("温馨提示"), tr("请确认是否关闭仪器电源?")) != QMessageBox::Yes
        || !answerStillApplies(RunPhase::PowerOff))
        return;
    statusPollTimer->stop();
    poweringOff = true;
    libCom->sendPowerOff();
}

void MainWindow::onSlotDeviceSpaceDeleteOver()
{
    deleteProgress.reset();
    enterRestingPhase();
    resetSampleRun();
    libCom->sendGetDiskSpaceFile();
    listingPurpose = listingForStorage;
}

void MainWindow::onSlotPrepareForSDCardFormat()
{
    formatProgress = showBusyDialog(tr("仪器内存正在格式化中..."), BusyDialogFrame::CloseAndCustomizeOnly);
    leaveMaintenanceWhenClosed(formatProgress.get());
}

void MainWindow::onSlotSDCardFormatSucceed()
{
    formatProgress.reset();
    enterRestingPhase();
    snackbar->addMessage(tr("仪器正在进行恢复出厂设置！"));
    startStatusPoll();
}

void MainWindow::onSlotExportLogComConnected() {}

void MainWindow::onSlotExportLogComDisconnected()
{
    libCom->notifyExportLogEnd();
}

// A log connection that cannot be started is reported; no log comes then, nor the instrument's
// reply that would restart the status poll.
void MainWindow::onSlotPrepareForExportLog()
{
    libCom->openExportLogCom(machineAddress);
    if (!libCom->connectCom(COM_SELECT_EXPORT_LOG)) {
        startStatusPoll();
        OperatorPrompt::critical(nullptr, tr("通讯出错"), tr("日志端口未成功连接！"));
        return;
    }
    logProgress = showBusyDialog(tr("正在导出Log文件..."), BusyDialogFrame::OwnFlagsWithClose);
}

// The log connection is closed on every path, so the instrument is never left waiting; a log
// that could not be stored is reported instead of the success notice.
void MainWindow::onSlotExportLogFileData(char *data, int length)
{
    if (!data || length <= 0)
        return;
    const QString folder = appDirPath + QStringLiteral("/TempFile");
    logExportFailed = !QDir().mkpath(folder)
                      || !writeWholeFile(folder + QStringLiteral("/syslog.txt"), data, length);
    libCom->disconnectCom(COM_SELECT_EXPORT_LOG);
}

void MainWindow::onSlotExportLogFileSucceed()
{
    logProgress.reset();
    if (logExportFailed)
        OperatorPrompt::warning(nullptr, tr("提醒"), tr("系统日志保存失败！"));
    else
        snackbar->addMessage(tr("系统日志导出成功！"));
    logExportFailed = false;
    startStatusPoll();
}

// Each seventh click on the logo asks for the password; every other click leaves developer mode.
void MainWindow::onTryDeveloperMode()
{
    if (++logoClickCount < clicksForPassword) {
        developerMode = false;
        applyDeveloperMode(false);
        return;
    }
    logoClickCount = 0;
    askDeveloperPassword();
}

void MainWindow::askDeveloperPassword()
{
    bool ok = false;
    const QString typed = OperatorPrompt::getPassword(this, tr("密码验证"), tr("请输入开发者密码:"), &ok);
    if (!ok)
        return;
    developerMode = DeveloperPassword::installed().matches(typed);
    if (developerMode)
        snackbar->addMessage(tr("欢迎进入开发者模式！"));
    applyDeveloperMode(developerMode);
}

// The log export and the developer's observation modes are offered only in developer mode.
void MainWindow::applyDeveloperMode(bool enabled)
{
    ui->tbtnExportLog->setVisible(enabled);
    formSystemInfo->setDeveloperMode(enabled);
}
