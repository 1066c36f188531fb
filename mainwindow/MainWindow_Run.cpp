// Starting and stopping a sampling run.
#include "mainwindow/MainWindow.h"

void MainWindow::onSlotPreSampleDataAction() {}

void MainWindow::onSlotStartSampleAction() {}

void MainWindow::onSlotStopSampleAction() {}

void MainWindow::onSlotSampleStarted() {}

void MainWindow::onSlotSampleStopped() {}

void MainWindow::onSlotStationSampleGroupsNum(int) {}

void MainWindow::resetSampleRun() {}
