#include "AppFolder.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_SampleTask.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/MainWindow.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QListWidget>
#include <QSettings>
#include <QtTest>

namespace {

Dialog_SampleTask *taskDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<Dialog_SampleTask *>(widget))
            return dialog;
    }
    return nullptr;
}

// Task n of the settings file, identified by its seconds.
void storeTask(QSettings &file, int n, int rate, int minutes = 1)
{
    const QString prefix = QStringLiteral("Task%1/Task%1").arg(n);
    file.setValue(prefix + "HxChannelIsUse", true);
    file.setValue(prefix + "E0ChannelIsUse", true);
    file.setValue(prefix + "EGain", 40);
    file.setValue(prefix + "HGain", 1);
    file.setValue(prefix + "E0PoleDistance", 50.5);
    file.setValue(prefix + "SampleRate", rate);
    file.setValue(prefix + "SampleTimeMinute", minutes);
    file.setValue(prefix + "SampleTimeSecond", n);
}

QString touch(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void firstStartWritesTheKeySet();
    void hardwareVersionSelectsGainCodes_data();
    void hardwareVersionSelectsGainCodes();
    void storedTasksAtLoad();
    void saveKeepsOtherGroupsAndIsOnDiskAtOnce();
    void recentSlotsAtLoadAndSave();
    void anotherModeDropsTheCustomTasks();
};

void TestSettings::cleanup()
{
    resetCurrentGainLists();
}

void TestSettings::firstStartWritesTheKeySet()
{
    AppFolder folder(AppFolder::NoSettings);
    { MainWindow window; }
    QSettings file(folder.settingsFile(), QSettings::IniFormat);
    QStringList expected;
    for (int slot = 1; slot <= 10; ++slot)
        expected << QStringLiteral("RecentOpenProjectPath%1").arg(slot);
    for (const char *key : {"IPAddress", "PortNumber", "WatchMachineMode", "HxInputNum", "HyInputNum", "E0InputNum",
                            "E1InputNum", "E2InputNum", "StationNumAutoEnable", "StationNumAutoStepSize",
                            "SampleOnLineSelect"})
        expected << QStringLiteral("SystemConfig/") + key;
    QStringList keys = file.allKeys();
    keys.sort();
    expected.sort();
    QCOMPARE(keys, expected);
    QCOMPARE(file.value("RecentOpenProjectPath1").toString(), QString());
    QCOMPARE(file.value("SystemConfig/IPAddress").toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(file.value("SystemConfig/PortNumber").toInt(), 8010);
    QCOMPARE(file.value("SystemConfig/WatchMachineMode").toString(), QStringLiteral("Scalar"));
    QCOMPARE(file.value("SystemConfig/E2InputNum").toString(), QStringLiteral("未设置"));
    QCOMPARE(file.value("SystemConfig/StationNumAutoEnable").toString(), QStringLiteral("false"));
    QCOMPARE(file.value("SystemConfig/StationNumAutoStepSize").toDouble(), 25.0);
    QCOMPARE(file.value("SystemConfig/SampleOnLineSelect").toString(), QStringLiteral("1"));
    QCOMPARE(currentLowRateGainCodeList, lowRateGainCodeList);
}

void TestSettings::hardwareVersionSelectsGainCodes_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: no key
    QTest::addColumn<bool>("old");
    QTest::newRow("1.01") << QVariant("1.01") << true;
    QTest::newRow("1.00") << QVariant("1.00") << true;
    QTest::newRow("1.011") << QVariant("1.011") << false;
    QTest::newRow("1.02") << QVariant("1.02") << false;
    QTest::newRow("absent") << QVariant() << false;
    QTest::newRow("not a number") << QVariant("v1.0") << false;
}

// The lists in force before the window starts are the other ones, so each way is seen.
void TestSettings::hardwareVersionSelectsGainCodes()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, old);
    AppFolder folder;
    if (stored.isValid())
        QSettings(folder.settingsFile(), QSettings::IniFormat).setValue("SystemConfig/HardwareVer", stored);
    if (old)
        resetCurrentGainLists();
    else
        useOldHardwareGainLists();
    MainWindow window;
    QCOMPARE(currentLowRateGainCodeList, old ? lowRateGainCodeListOld : lowRateGainCodeList);
    QCOMPARE(currentHighRateGainCodeList, old ? highRateGainCodeListOld : highRateGainCodeList);
}

// Twelve tasks come back in number order; a rate the instrument lacks drops its task and a
// negative duration reads as 0. A hand-added group sorting first shifts nothing.
void TestSettings::storedTasksAtLoad()
{
    AppFolder folder;
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        file.setValue("AAA/note", "by hand");
        for (int n = 1; n <= 12; ++n)
            storeTask(file, n, sampleRateList.at(n % sampleRateList.size()), n == 5 ? -3 : 1);
        storeTask(file, 13, 12345);
    }
    MainWindow window;
    const QList<CtrlParam> tasks = taskDialog()->getTaskList();
    QCOMPARE(tasks.size(), 12);
    for (int i = 0; i < tasks.size(); ++i) {
        QCOMPARE(tasks.at(i).SampleTimeSecond, i + 1);
        QCOMPARE(tasks.at(i).SampleRate, sampleRateList.at((i + 1) % sampleRateList.size()));
        QCOMPARE(tasks.at(i).SampleTimeMinute, i == 4 ? 0 : 1);
        QCOMPARE(tasks.at(i).E0PoleDistance, 50.5);
        QVERIFY(tasks.at(i).HxChannelIsUse && !tasks.at(i).HyChannelIsUse);
    }
}

void TestSettings::saveKeepsOtherGroupsAndIsOnDiskAtOnce()
{
    AppFolder folder;
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        file.setValue("AAA/note", "by hand");
        storeTask(file, 1, 250);
        storeTask(file, 2, 500);
        storeTask(file, 3, 1000);
    }
    MainWindow window;
    Dialog_SampleTask *dialog = taskDialog();
    dialog->setTaskList(dialog->getTaskList().mid(1));
    ChannelInputsConfig inputs;
    inputs.HxInputNum = "coil-7";
    window.onSlotChannelInputsConfig(inputs);
    window.saveSystemConfig();

    QSettings file(folder.settingsFile(), QSettings::IniFormat);
    QCOMPARE(file.childGroups(), QStringList({"AAA", "SystemConfig", "Task1", "Task2"}));
    QCOMPARE(file.value("AAA/note").toString(), QStringLiteral("by hand"));
    QCOMPARE(file.value("SystemConfig/HxInputNum").toString(), QStringLiteral("coil-7"));
    QCOMPARE(file.value("SystemConfig/IPAddress").toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(file.value("Task1/Task1SampleRate").toInt(), 500);
    QCOMPARE(file.value("Task2/Task2SampleRate").toInt(), 1000);
}

// Slots: A, empty, A again, B, a file that is gone. The list is A, B; the slots are not
// renumbered at load, and saving puts the list in front.
void TestSettings::recentSlotsAtLoadAndSave()
{
    AppFolder folder;
    const QString a = touch(folder.path() + "/a.HMT");
    const QString b = touch(folder.path() + "/b.HMT");
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        file.setValue("RecentOpenProjectPath1", a);
        file.setValue("RecentOpenProjectPath3", a);
        file.setValue("RecentOpenProjectPath4", b);
        file.setValue("RecentOpenProjectPath5", folder.path() + "/gone.HMT");
    }
    MainWindow window;
    auto *list = window.findChild<QListWidget *>("recentProjectList");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), a);
    QCOMPARE(list->item(1)->text(), b);
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        const QStringList atLoad{a, "", "", b, ""};
        for (int slot = 1; slot <= atLoad.size(); ++slot)
            QCOMPARE(file.value(QStringLiteral("RecentOpenProjectPath%1").arg(slot)).toString(), atLoad.at(slot - 1));
    }
    window.saveSystemConfig();
    QSettings file(folder.settingsFile(), QSettings::IniFormat);
    const QStringList atSave{a, b, "", b, ""};
    for (int slot = 1; slot <= atSave.size(); ++slot)
        QCOMPARE(file.value(QStringLiteral("RecentOpenProjectPath%1").arg(slot)).toString(), atSave.at(slot - 1));
}

void TestSettings::anotherModeDropsTheCustomTasks()
{
    AppFolder folder;
    storeTask(*std::make_unique<QSettings>(folder.settingsFile(), QSettings::IniFormat), 1, 250);
    MainWindow window;
    QCOMPARE(taskDialog()->getTaskList().size(), 1);
    window.findChild<Form_SystemInfo *>()->setWatchMachineType(1);
    QVERIFY(taskDialog()->getTaskList().isEmpty());
    QCOMPARE(window.findChild<QtMaterialSnackbar *>()->messages(),
             QStringList{QStringLiteral("自定义采集任务列表已经删除！")});
    window.saveSystemConfig();
    QSettings file(folder.settingsFile(), QSettings::IniFormat);
    QCOMPARE(file.value("SystemConfig/WatchMachineMode").toString(), QStringLiteral("Vector"));
    QVERIFY(!file.childGroups().contains("Task1"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
