#include "mainwindow/Form_StatusBar.h"

#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "mainwindow/StatusBarRules.h"
#include "ui_Form_StatusBar.h"

#include <QTimer>

namespace {

constexpr int clockIntervalMs = 499;
constexpr int progressIntervalMs = 1000;
constexpr int lampSize = 24;
const QString greenLamp = QStringLiteral(":/Icon/led_green.svg");
const QString blackLamp = QStringLiteral(":/Icon/led_black.svg");

} // namespace

Form_StatusBar::Form_StatusBar(QWidget *parent)
    : QWidget(parent), ui(new Ui_Form_StatusBar), clockTimer(new QTimer(this)), progressTimer(new QTimer(this))
{
    ui->setupUi(this);
    setProjectOpened(false);
    setNetworkConnected(false);
    ui->progressBar->setRange(0, 100);

    progressTimer->setInterval(progressIntervalMs);
    connect(progressTimer, &QTimer::timeout, this, &Form_StatusBar::onProgressOneSecondTimeOut);
    connect(clockTimer, &QTimer::timeout, this, &Form_StatusBar::onTimeChanged);
    clockTimer->start(clockIntervalMs);

    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMaximumHeight(26);
    for (QLabel *lamp : {ui->label_OpenProjectStatusValue, ui->label_ConnectStatus, ui->label_WorkStatus, ui->label_GPS}) {
        lamp->setMaximumSize(lampSize, lampSize);
        lamp->setScaledContents(true);
    }
    ui->label_GPS->hide();
    ui->label_ForGPS->hide();
}

Form_StatusBar::~Form_StatusBar()
{
    delete ui;
}

void Form_StatusBar::setProjectOpened(bool opened)
{
    if (opened)
        showLamp(ui->label_OpenProjectStatusValue, greenLamp, tr("工程已打开"));
    else
        showLamp(ui->label_OpenProjectStatusValue, blackLamp, tr("工程已关闭"));
}

void Form_StatusBar::setNetworkConnected(bool connected)
{
    if (connected) {
        showLamp(ui->label_ConnectStatus, greenLamp, tr("网络已连接"));
    } else {
        showLamp(ui->label_ConnectStatus, blackLamp, tr("网络未连接"));
        ui->progressBar->hide();
    }
    const QList<QLabel *> instrumentLabels{
        ui->label_MachineStatus,      ui->label_WorkStatus,   ui->label_MachineVoltage, ui->label_BatteryVoltage,
        ui->label_MachineTemperature, ui->label_Temperature,  ui->label_MachineSpace,   ui->label_DiskSpace,
        ui->label_ForGPS,             ui->label_GPS,          ui->label_MachineTime,    ui->label_Time};
    for (QLabel *label : instrumentLabels)
        label->setVisible(connected);
}

void Form_StatusBar::setMachineStatus(MachineStatus status)
{
    if (const auto lamp = workStatusLamp(status.workStatus))
        showLamp(ui->label_WorkStatus, lamp->icon, lamp->toolTip);
    machineTimeOffset = qint32(status.machineTime - Clock::currentSecsSinceEpoch());

    const StatusValue voltage = batteryVoltageValue(status.batteryVoltage);
    showValue(ui->label_BatteryVoltage, voltage.text, voltage.alarm);
    const StatusValue space = diskSpaceValue(status.diskSpace);
    showValue(ui->label_DiskSpace, space.text, space.alarm);
    const StatusValue temperature = temperatureValue(status.temperature2);
    showValue(ui->label_Temperature, temperature.text, temperature.alarm);

    const StatusLamp gps = gpsLamp(status.gpsStatus);
    showLamp(ui->label_GPS, gps.icon, gps.toolTip);
}

void Form_StatusBar::startSampleProgress(qint64 seconds, bool show, int sampleRate)
{
    if (!show) {
        ui->progressBar->hide();
        return;
    }
    // A group without a positive length has nothing to count towards.
    if (seconds <= 0) {
        progressTimer->stop();
        return;
    }
    ui->progressBar->setFormat(QStringLiteral("%1Hz - %p%").arg(sampleRate));
    ui->progressBar->show();
    progressCount = 0;
    progressTotal = sampleProgressTotal(seconds, sampleRate);
    ui->progressBar->setValue(0);
    progressTimer->start();
}

void Form_StatusBar::finishSampleProgress()
{
    ui->progressBar->setValue(100);
    progressTimer->stop();
}

void Form_StatusBar::onProgressOneSecondTimeOut()
{
    ++progressCount;
    if (progressCount >= progressTotal)
        progressTimer->stop();
    ui->progressBar->setValue(sampleProgressPercent(progressCount, progressTotal));
}

void Form_StatusBar::onTimeChanged()
{
    ui->label_Time->setText(instrumentTimeText(Clock::now().time(), machineTimeOffset));
    ui->label_Time->setToolTip(clockOffsetToolTip(machineTimeOffset));
}

void Form_StatusBar::showLamp(QLabel *lamp, const QString &icon, const QString &toolTip)
{
    lamp->setPixmap(QPixmap(icon));
    lamp->setToolTip(toolTip);
}

void Form_StatusBar::showValue(QLabel *label, const QString &text, bool alarm)
{
    label->setText(text);
    label->setStyleSheet(alarm ? QStringLiteral("color:red") : QStringLiteral("color:green"));
}
