#include "common/Global_Variables.h"
#include "dialogs/SampleTaskRules.h"

#include <QDateTime>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ChannelFlags)

namespace {

// A task that passes every step at the given rate: E0 and Hx recorded, gain 1 (in every list
// of the current hardware), duration inside the rate's limits.
CtrlParam validTask(int rate, int seconds)
{
    CtrlParam task;
    task.HxChannelIsUse = true;
    task.E0ChannelIsUse = true;
    task.E0PoleDistance = 50.0;
    task.EGain = 1;
    task.HGain = 1;
    task.SampleRate = rate;
    task.SampleTimeHour = seconds / 3600;
    task.SampleTimeMinute = seconds % 3600 / 60;
    task.SampleTimeSecond = seconds % 60;
    return task;
}

ChannelFlags flags(const QString &on)
{
    ChannelFlags c;
    c.Hx = on.contains("Hx");
    c.Hy = on.contains("Hy");
    c.E0 = on.contains("E0");
    c.E1 = on.contains("E1");
    c.E2 = on.contains("E2");
    return c;
}

const QString limitText = QStringLiteral("采样率%1设置的采样时间过长\n不能%2于%3。\n请重新设置并添加任务！");

} // namespace

class TestSampleTaskRules : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetCurrentGainLists(); }
    void cleanupTestCase() { resetCurrentGainLists(); }

    void durationLimits_data();
    void durationLimits();
    void checkStepsInOrder_data();
    void checkStepsInOrder();
    void gainsOfRecordedChannels_data();
    void gainsOfRecordedChannels();
    void observationModeChannelRules_data();
    void observationModeChannelRules();
    void sameChannels();
    void modeBoxTable();
    void presetLists();
    void editedAndSharedFields();
    void syncStart_data();
    void syncStart();
    void plannedStartUsesTodaysDate();
};

void TestSampleTaskRules::durationLimits_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("limit"); // -1: no fix-up

    struct Limits
    {
        int rate;
        int min;
        QString minText;
        int max;
        QString maxText;
    };
    const QList<Limits> table = {
        {250, 66, "0时1分6秒", 79980, "22时13分0秒"},   {500, 35, "0时0分35秒", 39980, "11时6分20秒"},
        {1000, 18, "0时0分18秒", 19980, "5时33分0秒"},  {2000, 10, "0时0分10秒", 9980, "2时46分20秒"},
        {4000, 6, "0时0分6秒", 4998, "1时23分18秒"},    {57800, 1, "0时0分1秒", 90, "0时1分30秒"},
        {107530, 1, "0时0分1秒", 60, "0时1分0秒"},      {188680, 1, "0时0分1秒", 30, "0时0分30秒"},
        {277780, 1, "0时0分1秒", 12, "0时0分12秒"},
    };
    for (const Limits &l : table) {
        const QByteArray r = QByteArray::number(l.rate);
        QTest::newRow(r + " at minimum") << l.rate << l.min << QString() << -1;
        QTest::newRow(r + " at maximum") << l.rate << l.max << QString() << -1;
        QTest::newRow(r + " above maximum") << l.rate << l.max + 1 << limitText.arg(l.rate).arg("高", l.maxText) << l.max;
        if (l.min > 1)
            QTest::newRow(r + " below minimum") << l.rate << l.min - 1 << limitText.arg(l.rate).arg("低", l.minText) << l.min;
        else // one below a minimum of 1 s is no duration at all
            QTest::newRow(r + " zero") << l.rate << 0 << QStringLiteral("采样时间为0，请重新设置") << -1;
    }
}

void TestSampleTaskRules::durationLimits()
{
    QFETCH(int, rate);
    QFETCH(int, seconds);
    QFETCH(QString, failure);
    QFETCH(int, limit);

    const TaskCheck check = checkTask(validTask(rate, seconds));
    QCOMPARE(check.failure, failure);
    QCOMPARE(check.durationLimit.value_or(-1), limit);
}

void TestSampleTaskRules::checkStepsInOrder_data()
{
    QTest::addColumn<CtrlParam>("task");
    QTest::addColumn<QString>("failure");

    const QString noChannel = QStringLiteral("未选择Hx/Hy/E0/E1/E2任意一个通道！请勾选！");
    const QString badLength = QStringLiteral("极距设置错误！请输入正数！");
    const QString zero = QStringLiteral("采样时间为0，请重新设置");

    CtrlParam task = validTask(4000, 0); // zero duration, and no channel on top
    task.HxChannelIsUse = task.E0ChannelIsUse = false;
    QTest::newRow("no channel before zero duration") << task << noChannel;

    const QList<QPair<const char *, double>> lengths = {
        {"zero", 0.0},
        {"negative", -1.0},
        {"no number", poleDistanceFromText("abc")},
        {"nan", poleDistanceFromText("nan")},
        {"inf", poleDistanceFromText("inf")},
        {"-inf", -std::numeric_limits<double>::infinity()},
    };
    for (const auto &length : lengths) {
        task = validTask(4000, 0);
        task.E1ChannelIsUse = true;
        task.E1PoleDistance = length.second;
        QTest::newRow(QByteArray("E1 length ") + length.first) << task << badLength;
    }
    task = validTask(4000, 60);
    task.E2PoleDistance = std::nan("");
    QTest::newRow("length of unrecorded channel ignored") << task << QString();

    QTest::newRow("zero duration before limits") << validTask(4000, 0) << zero;

    task = validTask(1234, 60);
    QTest::newRow("rate not offered") << task << QStringLiteral("采样率1234不是可选的采样率，请重新设置");
    task = validTask(0, 60);
    QTest::newRow("rate 0") << task << QStringLiteral("采样率0不是可选的采样率，请重新设置");

    task = validTask(4000, 60);
    task.SampleTimeHour = std::numeric_limits<qint32>::max();
    QTest::newRow("huge hours") << task
                                << limitText.arg(4000).arg("高", "1时23分18秒");
}

void TestSampleTaskRules::checkStepsInOrder()
{
    QFETCH(CtrlParam, task);
    QFETCH(QString, failure);

    const TaskCheck check = checkTask(task);
    QCOMPARE(check.failure, failure);
}

void TestSampleTaskRules::gainsOfRecordedChannels_data()
{
    QTest::addColumn<bool>("oldHardware");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("channels");
    QTest::addColumn<int>("eGain");
    QTest::addColumn<int>("hGain");
    QTest::addColumn<bool>("passes");

    // Current hardware: low {1, 40, 160, 640}, high {1, 10, 100, 500}.
    QTest::newRow("low, both in list") << false << 4000 << "Hx E0" << 40 << 640 << true;
    QTest::newRow("low, high-class E gain") << false << 4000 << "Hx E0" << 10 << 40 << false;
    QTest::newRow("low, high-class H gain") << false << 4000 << "Hx E0" << 40 << 10 << false;
    QTest::newRow("high, both in list") << false << 277780 << "Hy E1" << 500 << 10 << true;
    QTest::newRow("high, low-class E gain") << false << 57800 << "Hy E1" << 40 << 10 << false;
    QTest::newRow("high, low-class H gain") << false << 57800 << "Hy E1" << 10 << 40 << false;
    QTest::newRow("only E recorded, H gain unused") << false << 4000 << "E0 E2" << 160 << 7 << true;
    QTest::newRow("only E recorded, E gain wrong") << false << 4000 << "E0 E2" << 7 << 160 << false;
    QTest::newRow("only H recorded, E gain unused") << false << 57800 << "Hx Hy" << 7 << 100 << true;
    QTest::newRow("only H recorded, H gain wrong") << false << 57800 << "Hx Hy" << 100 << 7 << false;
    // Old hardware: low {2, 10, 40, 160, 640}, high {2, 10, 50, 200, 1000}.
    QTest::newRow("old, low, 2 and 640") << true << 250 << "Hx E0" << 2 << 640 << true;
    QTest::newRow("old, low, 1 no longer offered") << true << 250 << "Hx E0" << 1 << 2 << false;
    QTest::newRow("old, high, 50 and 1000") << true << 188680 << "Hx E0" << 50 << 1000 << true;
    QTest::newRow("old, high, 40 is low-class") << true << 188680 << "Hx E0" << 40 << 50 << false;
}

void TestSampleTaskRules::gainsOfRecordedChannels()
{
    QFETCH(bool, oldHardware);
    QFETCH(int, rate);
    QFETCH(QString, channels);
    QFETCH(int, eGain);
    QFETCH(int, hGain);
    QFETCH(bool, passes);

    if (oldHardware)
        useOldHardwareGainLists();
    CtrlParam task = validTask(rate, rate > 4000 ? 10 : 600);
    setChannels(task, flags(channels));
    task.E0PoleDistance = task.E1PoleDistance = task.E2PoleDistance = 10.0;
    task.EGain = eGain;
    task.HGain = hGain;
    const TaskCheck check = checkTask(task);
    QCOMPARE(check.failure, passes ? QString() : QStringLiteral("采样率 %1 增益倍数不符，请重新设置").arg(rate));
    QVERIFY(!check.durationLimit);
}

void TestSampleTaskRules::observationModeChannelRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("channels");
    QTest::addColumn<QString>("failure");

    const QString scalar = QStringLiteral("标量观测装置必选电场通道E0/E1/E2任意组合！");
    for (int mode : {0, 2}) {
        const QByteArray m = "mode " + QByteArray::number(mode);
        QTest::newRow(m + " E2 only") << mode << "E2" << QString();
        QTest::newRow(m + " magnetic only") << mode << "Hx Hy" << scalar;
        QTest::newRow(m + " none") << mode << "" << scalar;
    }
    QTest::newRow("mode 3 Hy only") << 3 << "Hy" << QString();
    QTest::newRow("mode 3 none") << 3 << "" << QStringLiteral("平行实验观测装置Hx/Hy/E0/E1/E2五通道任意组合！");
    QTest::newRow("mode 4 none") << 4 << "" << QStringLiteral("多极化观测装置通道必须选择！");
    QTest::newRow("mode 4 Hx E1") << 4 << "Hx E1" << QString();
    QTest::newRow("mode 4 all five") << 4 << "Hx Hy E0 E1 E2" << QString();
    QTest::newRow("mode 4 Hx without E1") << 4 << "Hx Hy E0" << QStringLiteral("多极化观测装置Hx通道与E1必须同时选择！");
    QTest::newRow("mode 4 Hy alone") << 4 << "Hy" << QStringLiteral("多极化观测装置Hy通道与E0/E2任意组合必须同时选择！");
    QTest::newRow("mode 4 E2 without Hy") << 4 << "E2" << QStringLiteral("多极化观测装置Hy通道与E0/E2任意组合必须同时选择！");
    QTest::newRow("mode 4 Hy E0 E2 without Hx")
        << 4 << "Hy E0 E2" << QStringLiteral("多极化观测装置一次采2个点时Hx通道与Hy通道必须同时选择！");
    for (int mode : {1, 5, 6, -1})
        QTest::newRow(QByteArray("mode ") + QByteArray::number(mode) + " none") << mode << "" << QString();
}

void TestSampleTaskRules::observationModeChannelRules()
{
    QFETCH(int, mode);
    QFETCH(QString, channels);
    QFETCH(QString, failure);

    QCOMPARE(channelRuleFailure(mode, flags(channels)), failure);
}

void TestSampleTaskRules::sameChannels()
{
    QList<CtrlParam> list;
    QVERIFY(sameChannelsAsList(list, flags("Hx")));
    CtrlParam first;
    setChannels(first, flags("Hx E0"));
    CtrlParam last;
    setChannels(last, flags("Hy E1 E2"));
    list = {first, last};
    QVERIFY(sameChannelsAsList(list, flags("Hy E1 E2")));
    QVERIFY(!sameChannelsAsList(list, flags("Hx E0")));
    QVERIFY(!sameChannelsAsList(list, flags("Hy E1")));
}

void TestSampleTaskRules::modeBoxTable()
{
    const ChannelFlags all = flags("Hx Hy E0 E1 E2");
    struct Row
    {
        int mode;
        ChannelFlags on;
        ChannelFlags enabled;
        bool offline;
        bool exclusive;
    };
    const QList<Row> rows = {
        {0, flags("Hy E0 E1 E2"), all, false, true},  {1, flags("Hx Hy E0 E1"), ChannelFlags(), false, false},
        {2, flags("Hy E0 E1 E2"), all, false, true},  {3, all, all, false, false},
        {4, all, all, false, false},                  {5, flags("Hx Hy E0 E1"), all, true, false},
    };
    for (const Row &row : rows) {
        const ModeChannelBoxes boxes = channelBoxesForMode(row.mode);
        QVERIFY2(boxes.on == row.on, qPrintable(QString::number(row.mode)));
        QVERIFY2(boxes.enabled == row.enabled, qPrintable(QString::number(row.mode)));
        QCOMPARE(boxes.forcesOffline, row.offline);
        QCOMPARE(hxHyExclusive(row.mode), row.exclusive);
    }
}

void TestSampleTaskRules::presetLists()
{
    const QList<CtrlParam> stored1 = storedPresetTaskList(1);
    QCOMPARE(stored1.size(), 3);
    QCOMPARE(storedPresetTaskList(2).size(), 2);
    QVERIFY(storedPresetTaskList(0).isEmpty());
    const QList<QList<int>> expected1 = {{277780, 0, 0, 5}, {4000, 0, 3, 0}, {500, 0, 15, 0}};
    for (int i = 0; i < stored1.size(); ++i) {
        const CtrlParam &t = stored1.at(i);
        QCOMPARE((QList<int>{t.SampleRate, t.SampleTimeHour, t.SampleTimeMinute, t.SampleTimeSecond}), expected1.at(i));
        QVERIFY(!channelsOf(t).any());
        QCOMPARE(t.E0PoleDistance + t.E1PoleDistance + t.E2PoleDistance, 0.0);
        QCOMPARE(t.ElectrodeType + t.SampleStartTime + t.Chopper, 0);
    }
    const CtrlParam second = storedPresetTaskList(2).at(1);
    QCOMPARE((QList<int>{second.SampleRate, second.SampleTimeMinute}), (QList<int>{4000, 4}));

    TaskControls controls;
    controls.channels = flags("Hy E0 E2");
    controls.eGain = 10;
    controls.hGain = 100;
    controls.lengths = {11.0, 22.0, 33.0};
    controls.sampleRate = 250; // the preset tasks keep their own rate, duration and chopper
    controls.hours = 5;
    controls.electrodeType = 1;
    controls.chopperOn = true;
    const QList<CtrlParam> completed = completedPresetTaskList(stored1, controls);
    QCOMPARE(completed.size(), 3);
    for (int i = 0; i < completed.size(); ++i) {
        CtrlParam expected = stored1.at(i);
        setChannels(expected, controls.channels);
        expected.EGain = 10;
        expected.HGain = 100;
        expected.E0PoleDistance = 11.0;
        expected.E1PoleDistance = 22.0;
        expected.E2PoleDistance = 33.0;
        expected.ElectrodeType = 1;
        QVERIFY(completed.at(i) == expected);
    }
}

void TestSampleTaskRules::editedAndSharedFields()
{
    CtrlParam task = validTask(4000, 60);
    task.SampleStartTime = 1700000000;
    TaskControls controls;
    controls.channels = flags("E2");
    controls.eGain = 160;
    controls.hGain = 640;
    controls.lengths = {1.0, 2.0, 3.0};
    controls.sampleRate = 57800;
    controls.hours = 0;
    controls.minutes = 1;
    controls.seconds = 2;
    controls.chopperOn = true; // not possible above 10000 Hz
    applyEditedFields(task, controls);
    QVERIFY(channelsOf(task) == flags("Hx E0"));
    QCOMPARE(task.E0PoleDistance, 50.0);
    QCOMPARE(task.SampleStartTime, 1700000000);
    QCOMPARE((QList<int>{task.EGain, task.HGain, task.SampleRate, task.SampleTimeMinute, task.SampleTimeSecond,
                         task.Chopper}),
             (QList<int>{160, 640, 57800, 1, 2, 0}));

    controls.sampleRate = 4000;
    CtrlParam added = taskFromControls(controls);
    QVERIFY(channelsOf(added) == flags("E2"));
    QCOMPARE(added.Chopper, 1);
    QCOMPARE(added.E2PoleDistance, 3.0);
    QCOMPARE(added.SampleStartTime, 0);

    QList<CtrlParam> list = {task, added};
    applySharedFields(list, {7.0, 8.0, 9.0}, 1);
    for (const CtrlParam &t : list)
        QCOMPARE((QList<double>{t.E0PoleDistance, t.E1PoleDistance, t.E2PoleDistance, double(t.ElectrodeType)}),
                 (QList<double>{7.0, 8.0, 9.0, 1.0}));
}

void TestSampleTaskRules::syncStart_data()
{
    QTest::addColumn<QTime>("pcTime");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QTime>("earliest");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("moved");

    QTest::newRow("10:01 moves") << QTime(10, 0, 20) << 30 << QTime(10, 2) << 10 << 1 << true;
    QTest::newRow("10:03 stays") << QTime(10, 0, 20) << 30 << QTime(10, 2) << 10 << 3 << false;
    QTest::newRow("same minute stays") << QTime(10, 0, 20) << 30 << QTime(10, 2) << 10 << 2 << false;
    QTest::newRow("earlier hour moves") << QTime(10, 0, 20) << 30 << QTime(10, 2) << 9 << 59 << true;
    QTest::newRow("wraps past midnight") << QTime(23, 59, 0) << 0 << QTime(0, 0) << 23 << 30 << false;
    QTest::newRow("negative offset near midnight") << QTime(0, 0, 10) << -200 << QTime(23, 58) << 23 << 0 << true;
    QTest::newRow("offset beyond a day back") << QTime(1, 0, 0) << -86400 - 3600 << QTime(0, 1) << 0 << 0 << true;
}

void TestSampleTaskRules::syncStart()
{
    QFETCH(QTime, pcTime);
    QFETCH(int, offset);
    QFETCH(QTime, earliest);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, moved);

    const QTime e = earliestSyncStart(pcTime, offset);
    QCOMPARE(e, earliest);
    QCOMPARE(syncChoiceIsEarlier(hour, minute, e), moved);
}

void TestSampleTaskRules::plannedStartUsesTodaysDate()
{
    const QDateTime now(QDate(2024, 5, 6), QTime(10, 0, 20), Qt::UTC);
    QCOMPARE(plannedStartTime(now, 10, 3), 1714989780);
    QCOMPARE(plannedStartTime(now, 9, 0), 1714986000); // in the past: the date is not moved on
    const QDateTime late(QDate(2040, 1, 1), QTime(0, 0), Qt::UTC); // beyond 2038: truncated to 32 bits
    QCOMPARE(plannedStartTime(late, 0, 0), qint32(quint32(late.toSecsSinceEpoch())));
}

QTEST_GUILESS_MAIN(TestSampleTaskRules)
#include "tst_sample_task_rules.moc"
