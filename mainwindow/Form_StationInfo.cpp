#include "mainwindow/Form_StationInfo.h"

#include "mainwindow/StationInfoTexts.h"
#include "projectdata/StationNumberText.h"
#include "ui_Form_StationInfo.h"

Form_StationInfo::Form_StationInfo(QWidget *parent)
    : QWidget(parent), ui(new Ui_Form_StationInfo)
{
    ui->setupUi(this);
    clearInfo();
    ui->label_WatchMachineValue->setText(tr("标量"));

    // Small grey captions without the colon.
    const QList<QPair<QLabel *, QString>> captions{
        {ui->label_MachineID, tr("仪器编号")}, {ui->label_WatchMachine, tr("观测装置")},
        {ui->label_LineNum, tr("线号")},       {ui->label_StationNum, tr("点号")},
        {ui->label_SampleRate, tr("采样率")},  {ui->label_SampleTime, tr("采样时间")},
        {ui->label_Gain, tr("增益")},          {ui->label_PoleDistance, tr("极距")}};
    for (const auto &caption : captions)
        caption.first->setText(QStringLiteral("<font size=\"2\" color=\"#707070\">%1</font>").arg(caption.second));
}

Form_StationInfo::~Form_StationInfo()
{
    delete ui;
}

void Form_StationInfo::setStation(int machineID, int lineNum, double stationNum)
{
    if (machineID != 0)
        ui->label_MachineIDValue->setText(QString::number(machineID));
    ui->label_LineNumValue->setText(QString::number(lineNum));
    ui->label_StationNumValue->setText(StationNumberText::text(stationNum));
    setSamplingRowsVisible(false);
    resetSamplingRows();
}

void Form_StationInfo::setSampleInfo(const SampleInfo &info)
{
    ui->label_MachineIDValue->setText(QString::number(info.MachineID));
    ui->label_LineNumValue->setText(QString::number(info.LineNum));
    ui->label_StationNumValue->setText(StationNumberText::text(info.StationNum));
    showWatchMachineType(info.WatchMachineMode);
    setSamplingRowsVisible(true);
    const SamplingTexts texts = samplingTexts(info.ctrlParam);
    ui->label_SampleRateValue->setText(texts.sampleRate);
    ui->label_SampleTimeValue->setText(texts.sampleTime);
    ui->label_GainValue->setText(texts.gain);
    ui->label_PoleDistanceValue->setText(texts.poleDistance);
}

void Form_StationInfo::showWatchMachineType(int mode)
{
    ui->label_WatchMachineValue->setText(stationInfoModeWord(mode));
}

void Form_StationInfo::clearInfo()
{
    ui->label_MachineIDValue->setText(noValueText);
    ui->label_LineNumValue->setText(noValueText);
    ui->label_StationNumValue->setText(noValueText);
    resetSamplingRows();
}

void Form_StationInfo::resetSamplingRows()
{
    ui->label_SampleRateValue->setText(noSampleRateText);
    ui->label_SampleTimeValue->setText(noSampleTimeText);
    ui->label_GainValue->setText(noGainText);
    ui->label_PoleDistanceValue->setText(noPoleDistanceText);
}

void Form_StationInfo::setSamplingRowsVisible(bool visible)
{
    ui->label_SampleRateValue->setVisible(visible);
    ui->label_SampleTimeValue->setVisible(visible);
    ui->label_GainValue->setVisible(visible);
    ui->label_PoleDistanceValue->setVisible(visible);
}
