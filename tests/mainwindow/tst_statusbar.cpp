#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "mainwindow/Form_StatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

namespace {

MachineStatus idleReport()
{
    MachineStatus status;
    status.workStatus = 0;
    status.machineTime = qint32(Clock::currentSecsSinceEpoch());
    status.batteryVoltage = 12.5;
    status.diskSpace = 50.0;
    status.temperature1 = 99.0; // not shown
    status.temperature2 = 30.0;
    status.gpsStatus = 1;
    return status;
}

QImage imageOf(const QString &icon)
{
    return QPixmap(icon).toImage();
}

} // namespace

class TestStatusBar : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void afterConstructionOnlyProjectAndNetworkShow();
    void thresholds_data();
    void thresholds();
    void workStateLamp_data();
    void workStateLamp();
    void gpsLamp_data();
    void gpsLamp();
    void clockOffset_data();
    void clockOffset();
    void progressOfAGroup_data();
    void progressOfAGroup();
    void progressHidingAndFinishing();
    void groupWithoutPositiveLengthIsIgnored();

private:
    QLabel *label(const char *name) const { return panel->findChild<QLabel *>(QLatin1String(name)); }
    QProgressBar *bar() const { return panel->findChild<QProgressBar *>(QStringLiteral("progressBar")); }
    QTimer *progressTimer() const;
    void tick(int times);

    Form_StatusBar *panel = nullptr;
};

void TestStatusBar::init()
{
    Clock::set(QDateTime(QDate(2026, 5, 4), QTime(10, 20, 30)));
    machineTimeOffset = 0;
    panel = new Form_StatusBar;
}

void TestStatusBar::cleanup()
{
    delete panel;
    Clock::reset();
}

QTimer *TestStatusBar::progressTimer() const
{
    for (QTimer *timer : panel->findChildren<QTimer *>()) {
        if (timer->interval() == 1000)
            return timer;
    }
    return nullptr;
}

void TestStatusBar::tick(int times)
{
    for (int i = 0; i < times; ++i)
        panel->onProgressOneSecondTimeOut();
}

void TestStatusBar::afterConstructionOnlyProjectAndNetworkShow()
{
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QStringList shown;
    for (QWidget *child : panel->findChildren<QWidget *>()) {
        if (child->isVisible())
            shown << child->objectName();
    }
    shown.sort();
    QCOMPARE(shown, (QStringList{"label_ConnectStatus", "label_NetConnect", "label_OpenProjectStatus",
                                 "label_OpenProjectStatusValue"}));
    QCOMPARE(label("label_OpenProjectStatusValue")->toolTip(), QStringLiteral("工程已关闭"));
    QCOMPARE(label("label_ConnectStatus")->toolTip(), QStringLiteral("网络未连接"));
    QCOMPARE(label("label_ConnectStatus")->pixmap(Qt::ReturnByValue).toImage(), imageOf(":/Icon/led_black.svg"));
    QCOMPARE(label("label_BatteryVoltage")->text(), QStringLiteral("--V"));
    QCOMPARE(label("label_Temperature")->text(), QStringLiteral("--℃"));
    QCOMPARE(label("label_DiskSpace")->text(), QStringLiteral("--%"));
    QCOMPARE(panel->maximumHeight(), 26);

    panel->setProjectOpened(true);
    panel->setNetworkConnected(true);
    QCOMPARE(label("label_OpenProjectStatusValue")->toolTip(), QStringLiteral("工程已打开"));
    QCOMPARE(label("label_ConnectStatus")->pixmap(Qt::ReturnByValue).toImage(), imageOf(":/Icon/led_green.svg"));
    for (const char *name : {"label_MachineStatus", "label_WorkStatus", "label_BatteryVoltage", "label_GPS", "label_Time"})
        QVERIFY2(label(name)->isVisible(), name);
    QVERIFY(!bar()->isVisible());
}

void TestStatusBar::thresholds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("labelName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("style");

    QTest::newRow("11.0 V") << "voltage" << 11.0 << "label_BatteryVoltage" << "11.00V" << "color:green";
    QTest::newRow("10.99 V") << "voltage" << 10.99 << "label_BatteryVoltage" << "10.99V" << "color:red";
    QTest::newRow("15.0 %") << "space" << 15.0 << "label_DiskSpace" << "15.00%" << "color:green";
    QTest::newRow("14.99 %") << "space" << 14.99 << "label_DiskSpace" << "14.99%" << "color:red";
    QTest::newRow("80.0 degrees") << "temperature" << 80.0 << "label_Temperature" << "80.00℃" << "color:green";
    QTest::newRow("80.01 degrees") << "temperature" << 80.01 << "label_Temperature" << "80.01℃" << "color:red";
    QTest::newRow("-5.5 degrees") << "temperature" << -5.5 << "label_Temperature" << "-5.50℃" << "color:green";
}

void TestStatusBar::thresholds()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QString, labelName);
    QFETCH(QString, text);
    QFETCH(QString, style);
    MachineStatus status = idleReport();
    if (field == "voltage")
        status.batteryVoltage = value;
    else if (field == "space")
        status.diskSpace = value;
    else
        status.temperature2 = value;
    panel->setMachineStatus(status);
    QCOMPARE(label(qPrintable(labelName))->text(), text);
    QCOMPARE(label(qPrintable(labelName))->styleSheet(), style);
}

void TestStatusBar::workStateLamp_data()
{
    QTest::addColumn<int>("workStatus");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("idle") << 0 << ":/Icon/led_green.svg" << "空闲";
    QTest::newRow("busy") << 1 << ":/Icon/led_orange.svg" << "忙碌";
    QTest::newRow("error") << 2 << ":/Icon/led_red.svg" << "出错";
    // An unknown state leaves the busy lamp of the report before.
    QTest::newRow("unknown") << 7 << ":/Icon/led_orange.svg" << "忙碌";
}

void TestStatusBar::workStateLamp()
{
    QFETCH(int, workStatus);
    QFETCH(QString, icon);
    QFETCH(QString, toolTip);
    MachineStatus status = idleReport();
    status.workStatus = 1;
    panel->setMachineStatus(status);
    status.workStatus = workStatus;
    status.batteryVoltage = 10.0;
    panel->setMachineStatus(status);
    QCOMPARE(label("label_WorkStatus")->toolTip(), toolTip);
    QCOMPARE(label("label_WorkStatus")->pixmap(Qt::ReturnByValue).toImage(), imageOf(icon));
    QCOMPARE(label("label_BatteryVoltage")->text(), QStringLiteral("10.00V"));
}

void TestStatusBar::gpsLamp_data()
{
    QTest::addColumn<int>("gpsStatus");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("locked") << 1 << ":/Icon/led_green.svg" << "锁定";
    QTest::newRow("not locked") << 0 << ":/Icon/led_black.svg" << "未锁定";
    QTest::newRow("error 3") << 3 << ":/Icon/led_red.svg" << "GPS错误:3";
    QTest::newRow("error -1") << -1 << ":/Icon/led_red.svg" << "GPS错误:-1";
}

void TestStatusBar::gpsLamp()
{
    QFETCH(int, gpsStatus);
    QFETCH(QString, icon);
    QFETCH(QString, toolTip);
    MachineStatus status = idleReport();
    status.gpsStatus = gpsStatus;
    panel->setMachineStatus(status);
    QCOMPARE(label("label_GPS")->toolTip(), toolTip);
    QCOMPARE(label("label_GPS")->pixmap(Qt::ReturnByValue).toImage(), imageOf(icon));
}

void TestStatusBar::clockOffset_data()
{
    QTest::addColumn<QTime>("pcTime");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("ahead") << QTime(10, 20, 30) << 5 << "10:20:35" << "仪器比当前操作电脑快了5秒";
    QTest::newRow("behind") << QTime(10, 20, 30) << -5 << "10:20:25" << "仪器比当前操作电脑慢了5秒";
    QTest::newRow("same second") << QTime(10, 20, 30) << 0 << "10:20:30" << "仪器与当前操作电脑时间差较小";
    QTest::newRow("past midnight") << QTime(23, 59, 58) << 5 << "00:00:03" << "仪器比当前操作电脑快了5秒";
    QTest::newRow("before midnight") << QTime(0, 0, 1) << -2 << "23:59:59" << "仪器比当前操作电脑慢了2秒";
}

void TestStatusBar::clockOffset()
{
    QFETCH(QTime, pcTime);
    QFETCH(int, offset);
    QFETCH(QString, shown);
    QFETCH(QString, toolTip);
    Clock::set(QDateTime(QDate(2026, 5, 4), pcTime));
    panel->onTimeChanged();
    QCOMPARE(label("label_Time")->text(), pcTime.toString("hh:mm:ss")); // no report yet: the PC's own time

    MachineStatus status = idleReport();
    status.machineTime = qint32(Clock::currentSecsSinceEpoch() + offset);
    panel->setMachineStatus(status);
    QCOMPARE(machineTimeOffset, offset);
    panel->onTimeChanged();
    QCOMPARE(label("label_Time")->text(), shown);
    QCOMPARE(label("label_Time")->toolTip(), toolTip);
}

void TestStatusBar::progressOfAGroup_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("total");
    QTest::newRow("4000 Hz") << 4000 << 82;
    QTest::newRow("57800 Hz") << 57800 << 70;
}

// A group of 60 s: the bar counts towards the total and waits at 99 % for the transfer.
void TestStatusBar::progressOfAGroup()
{
    QFETCH(int, rate);
    QFETCH(int, total);
    panel->setNetworkConnected(true);
    panel->show();
    panel->startSampleProgress(60, true, rate);
    QVERIFY(bar()->isVisible());
    QCOMPARE(bar()->value(), 0);
    QVERIFY(progressTimer()->isActive());

    tick(total / 2);
    QCOMPARE(bar()->value(), 50);
    QCOMPARE(bar()->text(), QStringLiteral("%1Hz - 50%").arg(rate));
    tick(total / 2 - 1);
    QCOMPARE(bar()->value(), (total - 1) * 100 / total);
    QVERIFY(progressTimer()->isActive());
    tick(1);
    QCOMPARE(bar()->value(), 99);
    QVERIFY(!progressTimer()->isActive());

    // The next group starts again at 0.
    panel->startSampleProgress(60, true, rate);
    QCOMPARE(bar()->value(), 0);
    QVERIFY(progressTimer()->isActive());
}

void TestStatusBar::progressHidingAndFinishing()
{
    panel->setNetworkConnected(true);
    panel->show();
    panel->startSampleProgress(10, true, 4000);
    tick(3);
    panel->finishSampleProgress();
    QCOMPARE(bar()->value(), 100);
    QVERIFY(!progressTimer()->isActive());

    panel->startSampleProgress(0, false, 0);
    QVERIFY(!bar()->isVisible());

    panel->startSampleProgress(10, true, 4000);
    QVERIFY(bar()->isVisible());
    panel->setNetworkConnected(false);
    QVERIFY(!bar()->isVisible());
}

void TestStatusBar::groupWithoutPositiveLengthIsIgnored()
{
    panel->setNetworkConnected(true);
    panel->show();
    panel->startSampleProgress(10, true, 4000);
    tick(2);
    const int shown = bar()->value();
    for (int seconds : {0, -10, -22, -1000}) {
        panel->startSampleProgress(seconds, true, 4000);
        QVERIFY(!progressTimer()->isActive());
        QCOMPARE(bar()->value(), shown);
    }
}

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
