// Connection to the instrument, status polling and the error word.
#include "mainwindow/MainWindow.h"

#include "link/LibCom.h"
#include "mainwindow/Form_StatusBar.h"
#include "ui_MainWindow.h"

void MainWindow::connnectNetwork() {}

void MainWindow::disconnectNetwork() {}

void MainWindow::onSlotNetWorkConnected() {}

void MainWindow::onSlotNetWorkDisconnected() {}

void MainWindow::onSlotAdjustTimeOver() {}

void MainWindow::onSlotErrorCode(uint32_t) {}

void MainWindow::onSlotSystemInfo(SystemInfo) {}

void MainWindow::onSlotProjectConfiged() {}

void MainWindow::onSlotMachineStatus(void *) {}

void MainWindow::onSlotDeviceErrorFlagClear() {}

void MainWindow::onTimeOut() {}

void MainWindow::refreshNetworkState()
{
    connected = libCom->isNetWorkConnected();
    setNetworkUiState(connected);
    switchDisplayView(0);
}

void MainWindow::setNetworkUiState(bool connectedNow)
{
    connected = connectedNow;
    ui->tbtnConnectNetwork->setVisible(!connectedNow);
    ui->tbtnDisconnectNetwork->setVisible(connectedNow);
    ui->tbtnPowerOff->setVisible(connectedNow);
    const QList<QWidget *> needConnection{ui->tbtnPreSampleData, ui->tbtnStartSample,   ui->tbtnStopSample,
                                          ui->tbtnExportData,    ui->tbtnMemoryManage,  ui->tbtnSDCardFormat,
                                          ui->lineEdit_LineNum,  ui->lineEdit_StationNum};
    for (QWidget *widget : needConnection)
        widget->setEnabled(connectedNow);
    formStatusBar->setNetworkConnected(connectedNow);
}
