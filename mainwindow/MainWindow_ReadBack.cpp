// Read-back of data stored on the instrument.
#include "mainwindow/MainWindow.h"

void MainWindow::onSlotExportDataAction() {}

void MainWindow::onSlotExportData(QString, QString, int, double) {}

void MainWindow::onSlotExportDataProjectConfigFile(QByteArray *) {}

void MainWindow::onSlotExportDataStationConfigFile(QByteArray *) {}

void MainWindow::onSlotExportChannelDataEnd(int, SampleDataControlParam *, char *) {}

void MainWindow::onSlotExportDataFreqGroupEnd(SampleDataControlParam *) {}

void MainWindow::onSlotNewLineStationExportData() {}

void MainWindow::onSlotDeviceProjectListReceived(QByteArray *) {}

void MainWindow::onSlotDeviceDiskSpaceReceived(QByteArray *) {}
