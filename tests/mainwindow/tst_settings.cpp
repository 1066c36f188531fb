#include "AppFolder.h"
#include "ScriptedPrompt.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_SampleTask.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/MainWindow.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QLabel>
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

// Minutes that with a few seconds give a duration within the rate's limits.
int minutesFor(int rate)
{
    return rate <= 4000 ? 2 : 0;
}

// Task n of the settings file, identified by its seconds; the gains are of the rate's lists.
void storeTask(QSettings &file, int n, int rate, int minutes = 2)
{
    const QString prefix = QStringLiteral("Task%1/Task%1").arg(n);
    file.setValue(prefix + "HxChannelIsUse", true);
    file.setValue(prefix + "E0ChannelIsUse", true);
    file.setValue(prefix + "EGain", rate <= 4000 ? 40 : 10);
    file.setValue(prefix + "HGain", 1);
    file.setValue(prefix + "E0PoleDistance", 50.5);
    file.setValue(prefix + "SampleRate", rate);
    file.setValue(prefix + "SampleTimeMinute", minutes);
    file.setValue(prefix + "SampleTimeSecond", n);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
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
    void damagedStoredTasksAreDropped_data();
    void damagedStoredTasksAreDropped();
    void refusedAddressStaysInTheFile_data();
    void refusedAddressStaysInTheFile();
    void unreadableFileIsKeptAside();
    void handTypedNamesAreUtf8();
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

// Twelve tasks come back in number order; a rate the instrument lacks drops its task, with a box
// naming it, and a negative duration reads as 0. A hand-added group sorting first shifts nothing.
void TestSettings::storedTasksAtLoad()
{
    AppFolder folder;
    ScriptedPrompt prompt;
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        file.setValue("AAA/note", "by hand");
        for (int n = 1; n <= 12; ++n) {
            const int rate = sampleRateList.at(n % sampleRateList.size());
            storeTask(file, n, rate, n == 5 ? -3 : minutesFor(rate));
        }
        storeTask(file, 13, 12345);
    }
    MainWindow window;
    QCOMPARE(prompt.count(), 1);
    QCOMPARE(prompt.last().text,
             QStringLiteral("采集任务Task13已删除：采样率12345不是可选的采样率，请重新设置"));
    const QList<CtrlParam> tasks = taskDialog()->getTaskList();
    QCOMPARE(tasks.size(), 12);
    for (int i = 0; i < tasks.size(); ++i) {
        QCOMPARE(tasks.at(i).SampleTimeSecond, i + 1);
        QCOMPARE(tasks.at(i).SampleRate, sampleRateList.at((i + 1) % sampleRateList.size()));
        QCOMPARE(tasks.at(i).SampleTimeMinute, i == 4 ? 0 : minutesFor(tasks.at(i).SampleRate));
        QCOMPARE(tasks.at(i).E0PoleDistance, 50.5);
        QVERIFY(tasks.at(i).HxChannelIsUse && !tasks.at(i).HyChannelIsUse);
    }
}

void TestSettings::damagedStoredTasksAreDropped_data()
{
    QTest::addColumn<QVariantMap>("damage"); // key suffix: value, over a valid task
    QTest::addColumn<QString>("failure");
    QTest::newRow("pole distance not a number") << QVariantMap{{"E0PoleDistance", "nan"}} << "极距设置错误！请输入正数！";
    QTest::newRow("negative pole distance") << QVariantMap{{"E0PoleDistance", -50}} << "极距设置错误！请输入正数！";
    QTest::newRow("999999 hours") << QVariantMap{{"SampleTimeHour", 999999}} << "采样率250设置的采样时间过长";
    QTest::newRow("hours beyond 32 bits once in seconds")
        << QVariantMap{{"SampleTimeHour", 2147483647}, {"SampleTimeMinute", 2147483647}} << "采样时间过长";
    QTest::newRow("no duration") << QVariantMap{{"SampleTimeMinute", 0}, {"SampleTimeSecond", 0}} << "采样时间为0";
    QTest::newRow("no channel") << QVariantMap{{"HxChannelIsUse", false}, {"E0ChannelIsUse", false}}
                                << "未选择Hx/Hy/E0/E1/E2任意一个通道";
    QTest::newRow("gain of no list") << QVariantMap{{"EGain", 41}} << "增益倍数不符";
}

// The task dialog's check applies to the stored tasks: a task it would refuse never reaches the
// instrument, and the box names it.
void TestSettings::damagedStoredTasksAreDropped()
{
    QFETCH(QVariantMap, damage);
    QFETCH(QString, failure);
    AppFolder folder;
    ScriptedPrompt prompt;
    {
        QSettings file(folder.settingsFile(), QSettings::IniFormat);
        storeTask(file, 1, 250);
        storeTask(file, 2, 250);
        for (auto it = damage.cbegin(); it != damage.cend(); ++it)
            file.setValue("Task2/Task2" + it.key(), it.value());
    }
    MainWindow window;
    const QList<CtrlParam> tasks = taskDialog()->getTaskList();
    QCOMPARE(tasks.size(), 1);
    QCOMPARE(tasks.first().SampleTimeSecond, 1);
    QCOMPARE(prompt.count(), 1);
    QVERIFY2(prompt.last().text.startsWith("采集任务Task2已删除：") && prompt.last().text.contains(failure),
             qPrintable(prompt.last().text));
}

void TestSettings::refusedAddressStaysInTheFile_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("refused");
    QTest::newRow("port beyond 16 bits") << "127.0.0.1" << "70000" << true;
    QTest::newRow("negative port") << "127.0.0.1" << "-1" << true;
    QTest::newRow("port not a number") << "127.0.0.1" << "abc" << true;
    QTest::newRow("data ports would wrap") << "127.0.0.1" << "65535" << true;
    QTest::newRow("last data port would wrap") << "127.0.0.1" << "65531" << true;
    QTest::newRow("port 0") << "127.0.0.1" << "0" << true;
    QTest::newRow("part beyond 255") << "127.0.0.300" << "8010" << true;
    QTest::newRow("a name") << "instrument" << "8010" << true;
    QTest::newRow("three parts") << "127.0.1" << "8010" << true;
    QTest::newRow("highest base port") << "127.0.0.1" << "65530" << false;
}

// A refused address is never connected to: the default one is used and said, and the operator's
// text stays in the file after saving.
void TestSettings::refusedAddressStaysInTheFile()
{
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(bool, refused);
    AppFolder folder;
    const QString settings = QString("[SystemConfig]\nIPAddress=%1\nPortNumber=%2\n").arg(address, port);
    writeBytes(folder.settingsFile(), settings.toUtf8());
    ScriptedPrompt prompt;
    MainWindow window;
    QCOMPARE(prompt.count(), refused ? 1 : 0);
    if (refused) {
        const QString text = prompt.last().text;
        QVERIFY2(text.contains(QString("“%1”").arg(address == "127.0.0.1" ? port : address)), qPrintable(text));
        QVERIFY2(text.endsWith("仍使用地址127.0.0.1，端口8010。"), qPrintable(text));
    }
    window.saveSystemConfig();
    const QByteArray saved = contents(folder.settingsFile());
    QVERIFY2(saved.contains("IPAddress=" + address.toUtf8() + "\n"), saved.constData());
    QVERIFY2(saved.contains("PortNumber=" + port.toUtf8() + "\n"), saved.constData());
}

// A section header without its bracket makes the file unreadable: the operator is told once, the
// file is kept beside under another name, and the defaults are written.
void TestSettings::unreadableFileIsKeptAside()
{
    AppFolder folder;
    const QByteArray damaged = "[SystemConfig\nIPAddress=127.0.0.9\nPortNumber=8020\n";
    writeBytes(folder.settingsFile(), damaged);
    ScriptedPrompt prompt;
    {
        MainWindow window;
        QCOMPARE(prompt.count(), 1);
        QVERIFY2(prompt.last().text.contains(folder.settingsFile() + ".bad"), qPrintable(prompt.last().text));
    }
    QCOMPARE(contents(folder.settingsFile() + ".bad"), damaged);
    QSettings file(folder.settingsFile(), QSettings::IniFormat);
    QCOMPARE(file.status(), QSettings::NoError);
    QCOMPARE(file.value("SystemConfig/IPAddress").toString(), QStringLiteral("127.0.0.1"));

    MainWindow again;
    QCOMPARE(prompt.count(), 1);
}

// A sensor name typed by hand in UTF-8 is found among the tables (a coil's holds "IMFS") and written back as typed; a
// name the program wrote escaped before is still read.
void TestSettings::handTypedNamesAreUtf8()
{
    AppFolder folder;
    writeBytes(folder.path() + "/InputCalibration/IMFS磁棒1.txt", "1 1 0\n10 1 0\n");
    writeBytes(folder.settingsFile(), "[SystemConfig]\nIPAddress=127.0.0.1\nHxInputNum=IMFS磁棒1\n"
                                      "E0InputNum=\\x672a\\x8bbe\\x7f6e\n");
    MainWindow window;
    QCOMPARE(window.findChild<QLabel *>("label_HxInputNum")->text(), QStringLiteral("IMFS磁棒1"));
    QCOMPARE(window.findChild<QLabel *>("label_E0InputNum")->text(), QStringLiteral("未设置"));
    Dialog_InputsSetting *dialog = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        dialog = dialog ? dialog : qobject_cast<Dialog_InputsSetting *>(widget);
    QCOMPARE(dialog->getChannelInputsConfig().HxInputNum, QStringLiteral("IMFS磁棒1"));
    window.saveSystemConfig();
    const QByteArray saved = contents(folder.settingsFile());
    QVERIFY2(saved.contains("HxInputNum=IMFS磁棒1\n"), saved.constData());
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
