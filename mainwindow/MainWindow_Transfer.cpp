// Data transfer of a run, the views of its groups, and saving or discarding it.
#include "mainwindow/MainWindow.h"

#include "mainwindow/Form_StationInfo.h"
#include "ui_MainWindow.h"
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/Form_TimeSeriesViewSet.h"

void MainWindow::onSlotRequestTransormData() {}

void MainWindow::onSlotRequestDataComConnecting() {}

void MainWindow::onSlotDataComConnected() {}

void MainWindow::onSlotTransformChannelData(int, SampleDataControlParam *, char *) {}

void MainWindow::onSlotTransformDataEnd(SampleDataControlParam *) {}

void MainWindow::onSlotDataComDisconnected() {}

void MainWindow::onSlotTransformDataFreqGroupOver() {}

void MainWindow::onDataComConnectTimeOut() {}

void MainWindow::onSlotSwitchDisplayAction() {}

void MainWindow::onSlotLastSampleGroupAction() {}

void MainWindow::onSlotSaveDataAction() {}

void MainWindow::onSlotUnsaveDataAction() {}

void MainWindow::onSlotTasksSettingSureClicked(QList<CtrlParam>) {}

void MainWindow::showSampleTimeSeries(SampleInfo) {}

void MainWindow::showStationProcessData(QVector<OneFreqImpedance>, QVector<OneFreqImpedance>,
                                        QVector<OneFreqImpedance>)
{
}

// 0 the time series, 1 the impedance curves; another value is only remembered.
void MainWindow::switchDisplayView(int view)
{
    if (view == shownView)
        return;
    if (view == 0 || view == 1) {
        ui->stacked_SampleTask->setCurrentIndex(view);
        ui->stackedWidget_ViewSet->setCurrentIndex(view);
        ui->tbtnSwitchView->setText(view == 1 ? tr("时序图") : tr("阻抗图"));
    }
    shownView = view;
}

void MainWindow::clearDataViews()
{
    formTimeSeriesGraph->clearTimeSeriesGraph();
    formTimeSeriesViewSet->resetViewSet();
    formProcessDataGraph->clearProcessDataCurves();
    switchDisplayView(0);
    formStationInfo->clearInfo();
}
