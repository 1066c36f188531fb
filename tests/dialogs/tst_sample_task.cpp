#include "ScriptedPrompt.h"

#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_SampleTask.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString paramError = QStringLiteral("参数错误");
const QString channelError = QStringLiteral("通道选择出错");
const QString badLength = QStringLiteral("极距设置错误！请输入正数！");

CtrlParam task(int rate, int minutes, int seconds, int eGain, int hGain)
{
    CtrlParam t;
    t.HxChannelIsUse = t.HyChannelIsUse = t.E0ChannelIsUse = t.E1ChannelIsUse = t.E2ChannelIsUse = true;
    t.EGain = eGain;
    t.HGain = hGain;
    t.E0PoleDistance = t.E1PoleDistance = t.E2PoleDistance = 50.0;
    t.SampleRate = rate;
    t.SampleTimeMinute = minutes;
    t.SampleTimeSecond = seconds;
    return t;
}

} // namespace

class TestSampleTask : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startState();
    void addTaskAndRowTexts();
    void addRefusals();
    void durationFixUpAfterRefusal();
    void editOneMarkedRowOrNone();
    void deleteMarkedRows();
    void undoRestoresListOfLastShowing();
    void presetsLockAndComplete();
    void refusedPresetChangesNothing_data();
    void refusedPresetChangesNothing();
    void confirm();
    void confirmWithFailingThirdTask();
    void synchronisedStart();
    void escapeAndCloseButtonKeepItOpen();
    void modeChanges_data();
    void modeChanges();
    void overWaterStaysOffline();
    void clickedRowLoadsTask();

private:
    template <typename T> T *child(const char *name) const
    {
        T *widget = dlg->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
    QCheckBox *box(const char *name) const { return child<QCheckBox>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QStandardItemModel *model() const
    {
        return qobject_cast<QStandardItemModel *>(child<QTableView>("table_SamplePara")->model());
    }
    QString cell(int row, int column) const { return model()->item(row, column)->text(); }
    void mark(int row) const { model()->item(row, 0)->setCheckState(Qt::Checked); }
    void setLengths(const QString &e0, const QString &e1, const QString &e2) const;
    void setDuration(int hours, int minutes, int seconds) const;
    QList<int> duration() const;
    // Runs the operator's actions while the dialog is shown modally; closes it afterwards if
    // the actions did not.
    void whileShown(const std::function<void()> &actions);
    QList<CtrlParam> confirmAndTakeList();

    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<Dialog_SampleTask> dlg;
};

void TestSampleTask::init()
{
    resetCurrentGainLists();
    machineTimeOffset = 0;
    Clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 0, 20), Qt::UTC));
    prompt = std::make_unique<ScriptedPrompt>();
    dlg = std::make_unique<Dialog_SampleTask>(nullptr);
    dlg->setWatchMachineType(3);
    setLengths("50", "50", "50");
}

void TestSampleTask::cleanup()
{
    dlg.reset();
    prompt.reset();
    Clock::reset();
    machineTimeOffset = 0;
}

void TestSampleTask::setLengths(const QString &e0, const QString &e1, const QString &e2) const
{
    child<QLineEdit>("lineEdit_E0PoleDistance")->setText(e0);
    child<QLineEdit>("lineEdit_E1PoleDistance")->setText(e1);
    child<QLineEdit>("lineEdit_E2PoleDistance")->setText(e2);
}

void TestSampleTask::setDuration(int hours, int minutes, int seconds) const
{
    combo("comboBox_Hour")->setCurrentText(QString::number(hours));
    combo("comboBox_Minute")->setCurrentText(QString::number(minutes));
    combo("comboBox_Second")->setCurrentText(QString::number(seconds));
}

QList<int> TestSampleTask::duration() const
{
    return {combo("comboBox_Hour")->currentText().toInt(), combo("comboBox_Minute")->currentText().toInt(),
            combo("comboBox_Second")->currentText().toInt()};
}

void TestSampleTask::whileShown(const std::function<void()> &actions)
{
    QTimer::singleShot(0, dlg.get(), [&] {
        actions();
        if (dlg->isVisible())
            dlg->done(0);
    });
    dlg->sampleTaskDialogShow();
}

QList<CtrlParam> TestSampleTask::confirmAndTakeList()
{
    QSignalSpy spy(dlg.get(), &Dialog_SampleTask::signalSureParameters);
    button("btn_Confirm")->click();
    if (spy.count() != 1)
        return {};
    return spy.at(0).at(0).value<QList<CtrlParam>>();
}

void TestSampleTask::startState()
{
    QCOMPARE(dlg->windowTitle(), QStringLiteral("采集任务设置"));
    QCOMPARE(combo("comboBox_SampleRate")->currentText(), QStringLiteral("277780"));
    QCOMPARE(combo("comboBox_SampleRate")->count(), 9);
    QCOMPARE(combo("comboBox_ElectricGain")->currentText(), QStringLiteral("1"));
    QCOMPARE(combo("comboBox_MagneticGain")->itemText(3), QStringLiteral("500"));
    QCOMPARE(duration(), (QList<int>{0, 0, 2}));
    QCOMPARE(combo("comboBox_Second")->count(), 19);
    QCOMPARE(combo("comboBox_Second")->findText("3"), -1);
    QVERIFY(!box("checkBox_Chopper")->isEnabled());
    QVERIFY(!box("checkBox_TimeSync")->isChecked());
    QVERIFY(!combo("comboBox_SyncHour")->isEnabled());
    QCOMPARE(combo("comboBox_SyncHour")->currentText(), QStringLiteral("10"));
    QCOMPARE(combo("comboBox_SyncMinute")->currentText(), QStringLiteral("0"));
    QCOMPARE(combo("comboBox_OnLineSelect")->currentText(), QStringLiteral("在线采集"));
    QVERIFY(dlg->getSampleOnLineSelect());
    QCOMPARE(combo("comboBox_SampleMode")->currentText(), QStringLiteral("自定义"));

    const auto combos = dlg->findChildren<QComboBox *>();
    QCOMPARE(combos.size(), 11);
    for (QComboBox *c : combos) {
        QCOMPARE(c->view()->metaObject(), &QListView::staticMetaObject);
        QCOMPARE(c->view()->window()->windowFlags(),
                 Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    }

    // The first showing resizes the table before it has any column.
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    dlg->resize(700, 600);
    QCOMPARE(child<QTableView>("table_SamplePara")->horizontalHeader()->count(), 0);
    QCOMPARE(prompt->count(), 0);
}

void TestSampleTask::addTaskAndRowTexts()
{
    box("checkBox_E2")->setChecked(false);
    QVERIFY(!child<QLineEdit>("lineEdit_E2PoleDistance")->isEnabled());
    setLengths("12.5", "100", "0");
    combo("comboBox_ElectrodeType")->setCurrentIndex(1);
    combo("comboBox_SampleRate")->setCurrentText("4000");
    QCOMPARE(duration(), (QList<int>{0, 3, 0})); // the rate's default
    QCOMPARE(combo("comboBox_ElectricGain")->itemText(1), QStringLiteral("40"));
    combo("comboBox_ElectricGain")->setCurrentText("40");
    QVERIFY(box("checkBox_Chopper")->isEnabled());
    box("checkBox_Chopper")->setChecked(true);
    button("btn_AddTask")->click();

    QCOMPARE(prompt->count(), 0);
    QCOMPARE(model()->rowCount(), 1);
    const QStringList expected = {"任务1", "Hx Hy E0 E1 ", "4000Hz", "0:3:0", "E=40,H=1",
                                  "E0:12.5m,E1:100m,E2:0m", "不极化电极", "开"};
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(cell(0, column), expected.at(column));
    QCOMPARE(model()->item(0, 5)->toolTip(), expected.at(5));
    QCOMPARE(model()->horizontalHeaderItem(7)->text(), QStringLiteral("斩波开关"));
    QVERIFY(model()->item(0, 0)->isCheckable());
    QCOMPARE(model()->item(0, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(model()->item(0, 2)->textAlignment(), Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(model()->item(0, 7)->textAlignment(), Qt::AlignLeft | Qt::AlignVCenter);

    const QList<CtrlParam> list = dlg->getTaskList();
    QCOMPARE(list.size(), 1);
    CtrlParam want = task(4000, 3, 0, 40, 1);
    want.E2ChannelIsUse = false;
    want.E0PoleDistance = 12.5;
    want.E1PoleDistance = 100.0;
    want.E2PoleDistance = 0.0;
    want.ElectrodeType = 1;
    want.Chopper = 1;
    QVERIFY(list.first() == want);

    // A second task gives the whole list the new lengths and electrode type.
    setLengths("7", "8", "9");
    combo("comboBox_ElectrodeType")->setCurrentIndex(0);
    combo("comboBox_SampleRate")->setCurrentText("57800");
    QVERIFY(!box("checkBox_Chopper")->isEnabled());
    QVERIFY(!box("checkBox_Chopper")->isChecked());
    button("btn_AddTask")->click();
    QCOMPARE(model()->rowCount(), 2);
    QCOMPARE(cell(0, 5), QStringLiteral("E0:7m,E1:8m,E2:9m"));
    QCOMPARE(cell(0, 6), QStringLiteral("极化电极"));
    QCOMPARE(cell(1, 0), QStringLiteral("任务2"));
    QCOMPARE(cell(1, 7), QStringLiteral("关"));
    QCOMPARE(dlg->getTaskList().at(1).Chopper, 0);
}

void TestSampleTask::addRefusals()
{
    // The mode's channel rule comes before the task check.
    dlg->setWatchMachineType(4);
    for (const char *name : {"checkBox_Hx", "checkBox_Hy", "checkBox_E0", "checkBox_E1", "checkBox_E2"})
        box(name)->setChecked(false);
    box("checkBox_Hy")->setChecked(true);
    button("btn_AddTask")->click();
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Critical);
    QCOMPARE(prompt->last().title, channelError);
    QCOMPARE(prompt->last().text, QStringLiteral("多极化观测装置Hy通道与E0/E2任意组合必须同时选择！"));

    // Mode 5 has no rule: no channel at all reaches the task check.
    dlg->setWatchMachineType(5);
    for (const char *name : {"checkBox_Hx", "checkBox_Hy", "checkBox_E0", "checkBox_E1"})
        box(name)->setChecked(false);
    button("btn_AddTask")->click();
    QCOMPARE(prompt->last().title, paramError);
    QCOMPARE(prompt->last().text, QStringLiteral("未选择Hx/Hy/E0/E1/E2任意一个通道！请勾选！"));

    dlg->setWatchMachineType(3);
    setLengths("nan", "50", "50");
    button("btn_AddTask")->click();
    QCOMPARE(prompt->last().text, badLength);
    setLengths("50", "50", "50");
    button("btn_AddTask")->click();
    QCOMPARE(dlg->getTaskList().size(), 1);

    // A second task must record the same channels as the last one.
    const int asked = prompt->count();
    box("checkBox_E2")->setChecked(false);
    button("btn_AddTask")->click();
    QCOMPARE(prompt->count(), asked + 1);
    QCOMPARE(prompt->last().title, channelError);
    QCOMPARE(prompt->last().text, QStringLiteral("通道选择必须跟之前设置的采集任务列表一致！请查看采集任务列表！"));
    QCOMPARE(dlg->getTaskList().size(), 1);
    QCOMPARE(model()->rowCount(), 1);
}

void TestSampleTask::durationFixUpAfterRefusal()
{
    combo("comboBox_SampleRate")->setCurrentText("250");
    setDuration(0, 1, 4); // 64 s, below the 66 s minimum
    button("btn_AddTask")->click();
    QCOMPARE(prompt->last().text,
             QStringLiteral("采样率250设置的采样时间过长\n不能低于0时1分6秒。\n请重新设置并添加任务！"));
    QCOMPARE(duration(), (QList<int>{0, 1, 6}));
    QVERIFY(dlg->getTaskList().isEmpty());

    setDuration(22, 13, 1);
    button("btn_AddTask")->click();
    QCOMPARE(prompt->last().text,
             QStringLiteral("采样率250设置的采样时间过长\n不能高于22时13分0秒。\n请重新设置并添加任务！"));
    QCOMPARE(duration(), (QList<int>{22, 13, 0}));
    button("btn_AddTask")->click(); // the fixed-up duration passes
    QCOMPARE(dlg->getTaskList().size(), 1);
}

void TestSampleTask::editOneMarkedRowOrNone()
{
    dlg->setTaskList({task(4000, 3, 0, 40, 40), task(57800, 0, 12, 10, 10), task(500, 15, 0, 1, 1)});
    combo("comboBox_SampleMode")->setCurrentIndex(1); // shows the list: back to custom fills the table
    combo("comboBox_SampleMode")->setCurrentIndex(0);
    QCOMPARE(model()->rowCount(), 3);

    // No row marked: only the lengths and electrode type change, for every task.
    setLengths("5", "6", "7");
    combo("comboBox_ElectrodeType")->setCurrentIndex(1);
    const int asked = prompt->count();
    button("btn_EditTask")->click();
    QCOMPARE(prompt->count(), asked + 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Information);
    QCOMPARE(prompt->last().title, QStringLiteral("修改极距"));
    QCOMPARE(prompt->last().text, QStringLiteral("由于\n-选择了多个任务\n-未选择任务\n因此只修改了所有任务的极距"));
    for (const CtrlParam &t : dlg->getTaskList())
        QCOMPARE((QList<double>{t.E0PoleDistance, t.E2PoleDistance, double(t.ElectrodeType)}),
                 (QList<double>{5.0, 7.0, 1.0}));
    QCOMPARE(dlg->getTaskList().at(1).SampleRate, 57800);

    // One row marked: it takes rate, gains and duration from the controls.
    mark(1);
    combo("comboBox_SampleRate")->setCurrentText("1000");
    combo("comboBox_ElectricGain")->setCurrentText("160");
    setDuration(0, 5, 0);
    button("btn_EditTask")->click();
    const CtrlParam edited = dlg->getTaskList().at(1);
    QCOMPARE((QList<int>{edited.SampleRate, edited.EGain, edited.HGain, edited.SampleTimeMinute}),
             (QList<int>{1000, 160, 1, 5}));
    QCOMPARE(cell(1, 2), QStringLiteral("1000Hz"));
    QCOMPARE(model()->item(1, 0)->checkState(), Qt::Unchecked); // the table was rebuilt

    // A marked task failing the check stays as it was; the new lengths hold anyway.
    mark(0);
    setLengths("9", "9", "9");
    combo("comboBox_SampleRate")->setCurrentText("4000");
    setDuration(2, 0, 0);
    button("btn_EditTask")->click();
    QCOMPARE(prompt->last().title, paramError);
    QCOMPARE(dlg->getTaskList().at(0).SampleTimeMinute, 3);
    QCOMPARE(dlg->getTaskList().at(0).SampleTimeHour, 0);
    QCOMPARE(dlg->getTaskList().at(2).E1PoleDistance, 9.0);

    // A bad length ends the edit before anything changes.
    setLengths("9", "-1", "9");
    button("btn_EditTask")->click();
    QCOMPARE(prompt->last().text, badLength);
    QCOMPARE(dlg->getTaskList().at(0).E0PoleDistance, 9.0);
}

void TestSampleTask::deleteMarkedRows()
{
    button("btn_DeleteTask")->click();
    QCOMPARE(prompt->last().title, QStringLiteral("提醒"));
    QCOMPARE(prompt->last().text, QStringLiteral("未选择要删除的采集任务组，请选择！"));

    combo("comboBox_SampleRate")->setCurrentText("4000");
    for (const char *rate : {"250", "500", "1000", "2000"}) {
        combo("comboBox_SampleRate")->setCurrentText(rate);
        button("btn_AddTask")->click();
    }
    QCOMPARE(model()->rowCount(), 4);
    mark(0);
    mark(2);
    button("btn_DeleteTask")->click();
    const QList<CtrlParam> left = dlg->getTaskList();
    QCOMPARE(left.size(), 2);
    QCOMPARE(left.at(0).SampleRate, 500);
    QCOMPARE(left.at(1).SampleRate, 2000);
    QCOMPARE(cell(1, 0), QStringLiteral("任务2"));
}

void TestSampleTask::undoRestoresListOfLastShowing()
{
    const QList<CtrlParam> original = {task(4000, 3, 0, 40, 40)};
    dlg->setTaskList(original);
    whileShown([&] {
        combo("comboBox_SampleRate")->setCurrentText("500");
        button("btn_AddTask")->click();
        button("btn_AddTask")->click();
        mark(0);
        button("btn_DeleteTask")->click();
        QCOMPARE(dlg->getTaskList().size(), 2);
        button("btn_Cancel")->click();
        QVERIFY(dlg->isVisible());
        QVERIFY(dlg->getTaskList() == original);
        QCOMPARE(model()->rowCount(), 1);

        // In preset mode "撤销" does nothing.
        button("btn_AddTask")->click();
        combo("comboBox_SampleMode")->setCurrentIndex(2);
        button("btn_Cancel")->click();
        QCOMPARE(dlg->getTaskList().size(), 2);
        QCOMPARE(model()->rowCount(), 2);
    });
}

void TestSampleTask::presetsLockAndComplete()
{
    combo("comboBox_SampleMode")->setCurrentIndex(1);
    QCOMPARE(model()->rowCount(), 3);
    QCOMPARE(cell(0, 2), QStringLiteral("277780Hz"));
    QCOMPARE(cell(0, 3), QStringLiteral("0:0:5"));
    QCOMPARE(cell(2, 3), QStringLiteral("0:15:0"));
    QCOMPARE(cell(1, 1), QStringLiteral("Hx Hy E0 E1 E2"));
    QVERIFY(!model()->item(0, 0)->isCheckable());
    QVERIFY(!model()->item(0, 0)->data(Qt::CheckStateRole).isValid());
    for (const char *name : {"comboBox_SampleRate", "comboBox_Hour", "comboBox_Minute", "comboBox_Second",
                             "comboBox_OnLineSelect"})
        QVERIFY2(!combo(name)->isEnabled(), name);
    for (const char *name : {"btn_AddTask", "btn_EditTask", "btn_DeleteTask"})
        QVERIFY2(!button(name)->isEnabled(), name);
    QVERIFY(!dlg->getSampleOnLineSelect());
    QVERIFY(combo("comboBox_ElectricGain")->isEnabled());
    QVERIFY(dlg->getTaskList().isEmpty());

    // Gain 1 is in both classes: the preset list confirms, the custom list stays empty.
    const QList<CtrlParam> confirmed = confirmAndTakeList();
    QCOMPARE(confirmed.size(), 3);
    QCOMPARE(confirmed.at(2).SampleRate, 500);
    QCOMPARE(confirmed.at(2).E1PoleDistance, 50.0);
    QVERIFY(dlg->getTaskList().isEmpty());

    combo("comboBox_SampleMode")->setCurrentIndex(0);
    QCOMPARE(model()->rowCount(), 0);
    QVERIFY(combo("comboBox_SampleRate")->isEnabled());
    QVERIFY(button("btn_AddTask")->isEnabled());
    QVERIFY(combo("comboBox_OnLineSelect")->isEnabled());
    QVERIFY(!dlg->getSampleOnLineSelect()); // left at offline

    // A gain that only the high class offers fails the confirm at the first low-rate task.
    combo("comboBox_SampleRate")->setCurrentText("277780");
    combo("comboBox_MagneticGain")->setCurrentText("10");
    combo("comboBox_SampleMode")->setCurrentIndex(2);
    QCOMPARE(confirmAndTakeList().size(), 0);
    QCOMPARE(prompt->last().text, QStringLiteral("采样率 4000 增益倍数不符，请重新设置"));
}

void TestSampleTask::refusedPresetChangesNothing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("e0Length");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("channel rule") << 4 << "50" << channelError
                                  << QStringLiteral("多极化观测装置Hy通道与E0/E2任意组合必须同时选择！");
    QTest::newRow("dipole length") << 3 << "0" << paramError << badLength;
}

void TestSampleTask::refusedPresetChangesNothing()
{
    QFETCH(int, mode);
    QFETCH(QString, e0Length);
    QFETCH(QString, title);
    QFETCH(QString, text);

    dlg->setWatchMachineType(mode);
    combo("comboBox_SampleRate")->setCurrentText("4000");
    button("btn_AddTask")->click();
    QCOMPARE(model()->rowCount(), 1);
    if (mode == 4)
        box("checkBox_Hy")->setChecked(false); // E0 and E2 stay on: rule c fails
    setLengths(e0Length, "50", "50");
    const int asked = prompt->count();

    combo("comboBox_SampleMode")->setCurrentIndex(1);
    QCOMPARE(prompt->count(), asked + 1);
    QCOMPARE(prompt->last().title, title);
    QCOMPARE(prompt->last().text, text);
    QCOMPARE(combo("comboBox_SampleMode")->currentIndex(), 0);
    QCOMPARE(model()->rowCount(), 1);
    QVERIFY(model()->item(0, 0)->isCheckable());
    QVERIFY(combo("comboBox_SampleRate")->isEnabled());
    QVERIFY(button("btn_AddTask")->isEnabled());
    QVERIFY(dlg->getSampleOnLineSelect());
    QCOMPARE(dlg->getTaskList().size(), 1);
}

void TestSampleTask::confirm()
{
    QSignalSpy spy(dlg.get(), &Dialog_SampleTask::signalSureParameters);
    button("btn_Confirm")->click();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(prompt->last().kind, PromptRequest::Critical);
    QCOMPARE(prompt->last().title, QStringLiteral("任务列表为空"));
    QCOMPARE(prompt->last().text, QStringLiteral("请至少添加一个采样任务！"));

    const QList<CtrlParam> list = {task(4000, 3, 0, 40, 40), task(57800, 0, 12, 10, 10)};
    dlg->setTaskList(list);
    QList<CtrlParam> emitted;
    QStringList rates;
    whileShown([&] {
        QCOMPARE(model()->rowCount(), 2);
        rates = QStringList{cell(0, 2), cell(1, 2)};
        emitted = confirmAndTakeList();
        QVERIFY(!dlg->isVisible());
    });
    QCOMPARE(rates, (QStringList{"4000Hz", "57800Hz"}));
    QVERIFY(emitted == list);
    QCOMPARE(model()->rowCount(), 0); // cleared on confirm

    // Shown again, the table is rebuilt from the same list.
    whileShown([&] { QCOMPARE(model()->rowCount(), 2); });
    QVERIFY(dlg->getTaskList() == list);
}

void TestSampleTask::confirmWithFailingThirdTask()
{
    CtrlParam unknownRate = task(1234, 1, 0, 1, 1); // e.g. from an old settings file
    dlg->setTaskList({task(4000, 3, 0, 40, 40), task(500, 15, 0, 1, 1), unknownRate});
    box("checkBox_TimeSync")->setChecked(true);
    whileShown([&] {
        QSignalSpy spy(dlg.get(), &Dialog_SampleTask::signalSureParameters);
        button("btn_Confirm")->click();
        QCOMPARE(spy.count(), 0);
        QVERIFY(dlg->isVisible());
        QCOMPARE(prompt->last().title, paramError);
        QCOMPARE(prompt->last().text, QStringLiteral("采样率1234不是可选的采样率，请重新设置"));
        QCOMPARE(model()->rowCount(), 3);
    });
}

void TestSampleTask::synchronisedStart()
{
    machineTimeOffset = 30; // earliest start 10:02:20
    combo("comboBox_SyncHour")->setCurrentText("10");
    combo("comboBox_SyncMinute")->setCurrentText("1");
    box("checkBox_TimeSync")->setChecked(true);
    QVERIFY(combo("comboBox_SyncHour")->isEnabled());
    QVERIFY(!combo("comboBox_OnLineSelect")->isEnabled());
    QVERIFY(!dlg->getSampleOnLineSelect());
    dlg->setSyncTimerInterval(1);
    QTRY_COMPARE(combo("comboBox_SyncMinute")->currentText(), QStringLiteral("2"));
    QCOMPARE(combo("comboBox_SyncHour")->currentText(), QStringLiteral("10"));

    combo("comboBox_SyncMinute")->setCurrentText("3");
    dlg->updateSyncTime(); // a later choice stays
    QCOMPARE(combo("comboBox_SyncMinute")->currentText(), QStringLiteral("3"));

    // Near midnight with a negative offset the earliest start is the same evening.
    Clock::set(QDateTime(QDate(2024, 5, 6), QTime(0, 0, 10), Qt::UTC));
    machineTimeOffset = -200;
    combo("comboBox_SyncHour")->setCurrentText("23");
    combo("comboBox_SyncMinute")->setCurrentText("0");
    QTRY_COMPARE(combo("comboBox_SyncMinute")->currentText(), QStringLiteral("58"));
    QCOMPARE(combo("comboBox_SyncHour")->currentText(), QStringLiteral("23"));
    dlg->setSyncTimerInterval(2000);

    Clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 0, 20), Qt::UTC));
    combo("comboBox_SyncHour")->setCurrentText("10");
    combo("comboBox_SyncMinute")->setCurrentText("3");
    dlg->setTaskList({task(4000, 3, 0, 40, 40), task(500, 15, 0, 1, 1)});
    QList<CtrlParam> emitted;
    whileShown([&] { emitted = confirmAndTakeList(); });
    QCOMPARE(emitted.size(), 2);
    QCOMPARE(emitted.at(0).SampleStartTime, 1714989780); // 2024-05-06 10:03:00 UTC
    QCOMPARE(emitted.at(1).SampleStartTime, 0);

    box("checkBox_TimeSync")->setChecked(false);
    QVERIFY(combo("comboBox_OnLineSelect")->isEnabled());
    whileShown([&] { emitted = confirmAndTakeList(); });
    QCOMPARE(emitted.at(0).SampleStartTime, 0);
}

void TestSampleTask::escapeAndCloseButtonKeepItOpen()
{
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QVERIFY(dlg->isVisible());
    QVERIFY(!dlg->close());
    QVERIFY(dlg->isVisible());

    button("btn_AddTask")->click();
    button("btn_Confirm")->click();
    QVERIFY(!dlg->isVisible());

    // The permission is used up by that close.
    dlg->show();
    QVERIFY(!dlg->close());
    QVERIFY(dlg->isVisible());
}

void TestSampleTask::modeChanges_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<bool>("onlineEnabled");

    QTest::newRow("0 to 1") << 0 << 1 << "Hx Hy E0 E1" << "" << true;
    QTest::newRow("1 to 0") << 1 << 0 << "Hy E0 E1 E2" << "Hx Hy E0 E1 E2" << true;
    QTest::newRow("2 to 5") << 2 << 5 << "Hx Hy E0 E1" << "Hx Hy E0 E1 E2" << false;
    QTest::newRow("5 to 3") << 5 << 3 << "Hx Hy E0 E1 E2" << "Hx Hy E0 E1 E2" << true;
}

void TestSampleTask::modeChanges()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, on);
    QFETCH(QString, enabled);
    QFETCH(bool, onlineEnabled);

    dlg->setWatchMachineType(from);
    box("checkBox_E1")->setChecked(false); // the operator's own changes are replaced
    dlg->setWatchMachineType(to);
    for (const char *name : {"Hx", "Hy", "E0", "E1", "E2"}) {
        QCheckBox *channel = box(QByteArray("checkBox_") + name);
        QVERIFY2(channel->isChecked() == on.contains(name), name);
        QVERIFY2(channel->isEnabled() == enabled.contains(name), name);
    }
    QCOMPARE(combo("comboBox_OnLineSelect")->isEnabled(), onlineEnabled);
    if (!onlineEnabled)
        QVERIFY(!dlg->getSampleOnLineSelect());

    if (to == 0) { // Hx and Hy exclude each other
        box("checkBox_Hx")->setChecked(true);
        QVERIFY(!box("checkBox_Hy")->isChecked());
        box("checkBox_Hx")->setChecked(false);
        QVERIFY(box("checkBox_Hy")->isChecked());
    }
}

void TestSampleTask::overWaterStaysOffline()
{
    dlg->setWatchMachineType(5);
    QComboBox *online = combo("comboBox_OnLineSelect");
    box("checkBox_TimeSync")->setChecked(true);
    box("checkBox_TimeSync")->setChecked(false);
    dlg->setSampleOnLineSelect(1);
    combo("comboBox_SampleMode")->setCurrentIndex(1);
    combo("comboBox_SampleMode")->setCurrentIndex(0);
    dlg->clearTaskList();
    QVERIFY(!online->isEnabled());
    QCOMPARE(online->currentText(), QStringLiteral("离线采集"));
    QVERIFY(!dlg->getSampleOnLineSelect());
}

void TestSampleTask::clickedRowLoadsTask()
{
    CtrlParam t = task(500, 12, 3, 640, 160); // 3 s is not offered
    t.E0PoleDistance = 1.0 / 3.0;
    dlg->setTaskList({t});
    whileShown([&] {
        QCOMPARE(combo("comboBox_SampleRate")->currentText(), QStringLiteral("500"));
        QCOMPARE(combo("comboBox_ElectricGain")->currentText(), QStringLiteral("640"));
        QCOMPARE(combo("comboBox_MagneticGain")->currentText(), QStringLiteral("160"));
        QCOMPARE(duration(), (QList<int>{0, 12, 0})); // seconds stay at the rate's default
        QCOMPARE(child<QLineEdit>("lineEdit_E0PoleDistance")->text(), QStringLiteral("0.333333"));

        combo("comboBox_SampleRate")->setCurrentText("277780");
        dlg->clickedRow(QModelIndex()); // no row: nothing happens
        dlg->clickedRow(model()->index(0, 3));
        QCOMPARE(combo("comboBox_SampleRate")->currentText(), QStringLiteral("500"));
        QCOMPARE(combo("comboBox_ElectricGain")->currentText(), QStringLiteral("640"));
    });
}

QTEST_MAIN(TestSampleTask)
#include "tst_sample_task.moc"
