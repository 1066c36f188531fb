// Instrument maintenance (storage, update, format, log, power) and the developer mode.
#include "mainwindow/MainWindow.h"

#include "mainwindow/Form_SystemInfo.h"
#include "ui_MainWindow.h"

void MainWindow::onSlotMachineSettingAction() {}

void MainWindow::onSlotInstrumentDiskSpaceDelete(QByteArray *) {}

void MainWindow::onSlotInstrumentDiskSpaceDeleteCancel() {}

void MainWindow::onSlotSystemUpdateAction() {}

void MainWindow::onSlotSDCardFormatAction() {}

void MainWindow::onSlotExportLogFileAction() {}

void MainWindow::onSlotPowerOffAction() {}

void MainWindow::onSlotDeviceSpaceDeleteOver() {}

void MainWindow::onSlotPrepareForSDCardFormat() {}

void MainWindow::onSlotSDCardFormatSucceed() {}

void MainWindow::onSlotExportLogComConnected() {}

void MainWindow::onSlotExportLogComDisconnected() {}

void MainWindow::onSlotPrepareForExportLog() {}

void MainWindow::onSlotExportLogFileData(char *, int) {}

void MainWindow::onSlotExportLogFileSucceed() {}

void MainWindow::onTryDeveloperMode() {}

// The log export and the developer's observation modes are offered only in developer mode.
void MainWindow::applyDeveloperMode(bool enabled)
{
    ui->tbtnExportLog->setVisible(enabled);
    formSystemInfo->setDeveloperMode(enabled);
}
