#include "views/Form_ProcessDataViewSet.h"
#include "views/Form_TimeSeriesViewSet.h"
#include "ScriptedPrompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

template <typename T>
T *child(QWidget &panel, const char *name)
{
    T *widget = panel.findChild<T *>(name);
    if (!widget)
        qFatal("missing widget %s", name);
    return widget;
}

QStringList comboItems(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

bool accepts(QLineEdit *edit, QString text)
{
    int position = 0;
    return !edit->validator() || edit->validator()->validate(text, position) == QValidator::Acceptable;
}

// Replaces the edit's text keystroke by keystroke, as the operator types it.
void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QList<bool> useInfoOf(const QVariant &value)
{
    const ProcessDataUseInfo info = value.value<ProcessDataUseInfo>();
    return {info.E0Direction, info.E1Direction, info.E2Direction};
}

QList<bool> channelsOf(const QVariant &value)
{
    const ChannelsUseInfo info = value.value<ChannelsUseInfo>();
    return {info.HxChannelIsUse, info.HyChannelIsUse, info.E0ChannelIsUse, info.E1ChannelIsUse, info.E2ChannelIsUse};
}

const QList<bool> allFive = {true, true, true, true, true};

const char *const channelBoxes[] = {"checkBox_Hx", "checkBox_Hy", "checkBox_E0", "checkBox_E1", "checkBox_E2"};

QList<bool> ticked(QWidget &panel)
{
    QList<bool> states;
    for (const char *name : channelBoxes)
        states << child<QCheckBox>(panel, name)->isChecked();
    return states;
}

QList<bool> enabled(QWidget &panel)
{
    QList<bool> states;
    for (const char *name : channelBoxes)
        states << child<QCheckBox>(panel, name)->isEnabled();
    return states;
}

} // namespace

class TestViewSets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void timeSeriesPanelStartsQuiet();
    void timeSeriesLimitsAndModes();
    void timeSeriesValidators_data();
    void timeSeriesValidators();
    void displayLengthAboveMaximum();
    void timeSeriesChannelBoxes();
    void watchMachineTypes_data();
    void watchMachineTypes();
    void processDataPanelDefaults();
    void processDataEdits();
    void processDataValidators_data();
    void processDataValidators();
    void processDataBoxes();
};

void TestViewSets::initTestCase()
{
    qRegisterMetaType<ChannelsUseInfo>();
    qRegisterMetaType<ProcessDataUseInfo>();
}

void TestViewSets::timeSeriesPanelStartsQuiet()
{
    Form_TimeSeriesViewSet panel;
    QCOMPARE(panel.objectName(), QString("Form_TimeSeriesViewSet"));
    QCOMPARE(child<QGroupBox>(panel, "groupBox_TimeSeriesViewSet")->title(), QString("显示设置"));
    const QList<QPair<const char *, QString>> labels = {
        {"label_ViewSize", "显示长度："}, {"label_YViewMode", "显示模式："}, {"label_YAxisMax", "Y轴最大值："},
        {"label_YAxisMin", "Y轴最小值："}, {"label_Hx", "Hx"}, {"label_E2", "E2"}, {"label_3", "mV"}};
    for (const auto &label : labels)
        QCOMPARE(child<QLabel>(panel, label.first)->text(), label.second);
    QCOMPARE(child<QCheckBox>(panel, "checkBox_ZeroDrift")->text(), QString("去除零漂"));

    auto *sizes = child<QComboBox>(panel, "comboBox_ViewSize");
    QCOMPARE(comboItems(sizes), (QStringList{"64", "128", "256", "512", "1024", "2048", "4096", "8192", "16384",
                                             "32768", "65536", "131072", "262144"}));
    QCOMPARE(sizes->currentData().toInt(), 2048);
    auto *mode = child<QComboBox>(panel, "comboBox_YViewMode");
    QCOMPARE(comboItems(mode), (QStringList{"自适应", "最值限制"}));
    QCOMPARE(mode->currentIndex(), 1);
    QVERIFY(child<QLineEdit>(panel, "lineEdit_YAxisMax")->isEnabled());
    QVERIFY(child<QLineEdit>(panel, "lineEdit_YAxisMin")->isEnabled());
    QCOMPARE(ticked(panel), allFive);

    int viewSize = 0;
    int yViewMode = 0;
    double min = 0;
    double max = 0;
    bool zeroDrift = true;
    QVERIFY(panel.getTimeSeriesViewSetInfo(&viewSize, &yViewMode, &min, &max, &zeroDrift));
    QCOMPARE(viewSize, 2048);
    QCOMPARE(yViewMode, 1);
    QCOMPARE(min, -2500.0);
    QCOMPARE(max, 2500.0);
    QVERIFY(!zeroDrift);
}

void TestViewSets::timeSeriesLimitsAndModes()
{
    Form_TimeSeriesViewSet panel;
    QSignalSpy spy(&panel, &Form_TimeSeriesViewSet::signalSelectTimeSeriesChannels);
    auto *max = child<QLineEdit>(panel, "lineEdit_YAxisMax");
    auto *min = child<QLineEdit>(panel, "lineEdit_YAxisMin");

    retype(min, "-12");
    QCOMPARE(spy.size(), 3);
    QCOMPARE(spy.at(0).at(3).toDouble(), 0.0); // a lone minus sign
    QCOMPARE(spy.at(1).at(3).toDouble(), -1.0);
    QCOMPARE(spy.last(), (QList<QVariant>{2048, 1, 2500.0, -12.0, false}));
    max->clear();
    QCOMPARE(spy.last().at(2).toDouble(), 0.0);

    child<QComboBox>(panel, "comboBox_YViewMode")->setCurrentIndex(0);
    QVERIFY(!max->isEnabled());
    QVERIFY(!min->isEnabled());
    QCOMPARE(spy.last().at(1).toInt(), 0);
    child<QCheckBox>(panel, "checkBox_ZeroDrift")->setChecked(true);
    QCOMPARE(spy.last(), (QList<QVariant>{2048, 0, 0.0, -12.0, true}));
    child<QComboBox>(panel, "comboBox_YViewMode")->setCurrentIndex(1);
    QVERIFY(max->isEnabled());
    child<QComboBox>(panel, "comboBox_ViewSize")->setCurrentText("512");
    QCOMPARE(spy.last().at(0).toInt(), 512);
}

void TestViewSets::timeSeriesValidators_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("max 3000") << "lineEdit_YAxisMax" << "3000" << true;
    QTest::newRow("max -2500") << "lineEdit_YAxisMax" << "-2500" << true;
    QTest::newRow("max 3001") << "lineEdit_YAxisMax" << "3001" << false;
    QTest::newRow("max -2501") << "lineEdit_YAxisMax" << "-2501" << false;
    QTest::newRow("max 1.5") << "lineEdit_YAxisMax" << "1.5" << false;
    QTest::newRow("min -3000") << "lineEdit_YAxisMin" << "-3000" << true;
    QTest::newRow("min 2500") << "lineEdit_YAxisMin" << "2500" << true;
    QTest::newRow("min 2501") << "lineEdit_YAxisMin" << "2501" << false;
    QTest::newRow("min minus sign") << "lineEdit_YAxisMin" << "-" << false;
}

void TestViewSets::timeSeriesValidators()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(bool, acceptable);
    Form_TimeSeriesViewSet panel;
    QCOMPARE(accepts(child<QLineEdit>(panel, qPrintable(edit)), text), acceptable);
}

void TestViewSets::displayLengthAboveMaximum()
{
    ScriptedPrompt prompt;
    Form_TimeSeriesViewSet panel;
    QSignalSpy spy(&panel, &Form_TimeSeriesViewSet::signalSelectTimeSeriesChannels);
    auto *sizes = child<QComboBox>(panel, "comboBox_ViewSize");
    panel.setMaxViewSize(2048);
    QCOMPARE(spy.size(), 0);

    sizes->setCurrentText("4096");
    QCOMPARE(prompt.count(), 1);
    QCOMPARE(prompt.last().kind, PromptRequest::Critical);
    QCOMPARE(prompt.last().title, QString("选择显示长度出错"));
    QCOMPARE(prompt.last().text, QString("请选择不大于2048的显示长度!"));
    QCOMPARE(sizes->currentText(), QString("2048"));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.last().at(0).toInt(), 2048);

    // A lower cap moves the selection down at once, without a box.
    panel.setMaxViewSize(512);
    QCOMPARE(sizes->currentText(), QString("512"));
    QCOMPARE(spy.last().at(0).toInt(), 512);
    panel.setMaxViewSize(10);
    QCOMPARE(sizes->currentText(), QString("64"));
    QCOMPARE(prompt.count(), 1);

    panel.resetViewSet();
    sizes->setCurrentText("262144");
    QCOMPARE(prompt.count(), 1);
    QCOMPARE(spy.last().at(0).toInt(), 262144);
}

void TestViewSets::timeSeriesChannelBoxes()
{
    Form_TimeSeriesViewSet panel;
    QSignalSpy spy(&panel, &Form_TimeSeriesViewSet::signalInputChannelsView);
    ChannelsUseInfo electric;
    electric.E0ChannelIsUse = electric.E1ChannelIsUse = electric.E2ChannelIsUse = true;
    panel.setChannelsUseInfo(&electric);
    QCOMPARE(spy.size(), 0);
    QCOMPARE(ticked(panel), (QList<bool>{false, false, true, true, true}));
    QCOMPARE(enabled(panel), (QList<bool>{false, false, true, true, true}));

    child<QCheckBox>(panel, "checkBox_E1")->setChecked(false);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(channelsOf(spy.last().at(0)), (QList<bool>{false, false, true, false, true}));

    panel.resetViewSet();
    QCOMPARE(ticked(panel), allFive);
    QCOMPARE(enabled(panel), allFive);
    QCOMPARE(spy.size(), 4);
    QCOMPARE(channelsOf(spy.last().at(0)), allFive);
}

void TestViewSets::watchMachineTypes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<bool>>("ticks");
    QTest::addColumn<bool>("e2Enabled");
    QTest::addColumn<QString>("e1Caption");
    QTest::newRow("Scalar") << 0 << QList<bool>{false, true, true, true, true} << true << "E1/Hy";
    QTest::newRow("Vector") << 1 << QList<bool>{true, true, true, true, false} << false << "E1/Hx";
    QTest::newRow("CopointMultipolarity") << 2 << QList<bool>{false, true, true, true, true} << true << "E1/Hx";
    QTest::newRow("ParallelTest") << 3 << allFive << true << "E1/Hx";
    QTest::newRow("Multipolarity") << 4 << allFive << true << "E1/Hx";
    QTest::newRow("OverWaterTest") << 5 << QList<bool>{true, true, true, true, false} << true << "E1/Hx";
    QTest::newRow("unknown") << 9 << allFive << true << "E1/Hx";
}

void TestViewSets::watchMachineTypes()
{
    QFETCH(int, mode);
    QFETCH(QList<bool>, ticks);
    QFETCH(bool, e2Enabled);
    QFETCH(QString, e1Caption);
    Form_TimeSeriesViewSet timeSeries;
    QSignalSpy spy(&timeSeries, &Form_TimeSeriesViewSet::signalInputChannelsView);
    timeSeries.setWatchMachineType(mode);
    QCOMPARE(ticked(timeSeries), ticks);
    QCOMPARE(child<QCheckBox>(timeSeries, "checkBox_E2")->isEnabled(), e2Enabled);
    QCOMPARE(spy.size(), int(ticks.count(false)));

    Form_ProcessDataViewSet processData;
    processData.setWatchMachineType(mode);
    QCOMPARE(child<QCheckBox>(processData, "checkBox_E1Direction")->text(), e1Caption);
    QCOMPARE(child<QCheckBox>(processData, "checkBox_E0Direction")->text(), QString("E0/Hy"));
    QCOMPARE(child<QCheckBox>(processData, "checkBox_E2Direction")->text(), QString("E2/Hy"));
}

void TestViewSets::processDataPanelDefaults()
{
    Form_ProcessDataViewSet panel;
    QCOMPARE(panel.objectName(), QString("Form_ProcessDataViewSet"));
    QCOMPARE(child<QGroupBox>(panel, "groupBox_ProcessDataViewSet")->title(), QString("显示设置"));
    const QList<QPair<const char *, QString>> labels = {
        {"label_ApparentResistivityYAxisMax", "视电阻率X轴最大值："},
        {"label_ApparentResistivityYAxisMin", "视电阻率X轴最小值："},
        {"label_TrueResistivityYAxisMax", "真电阻率X轴最大值："},
        {"label_TrueResistivityAxisMin", "真电阻率X轴最小值："},
        {"label_TrueResistivityDeep", "反演深度："},
        {"label_TrueResistivityUnit", "m"}};
    for (const auto &label : labels)
        QCOMPARE(child<QLabel>(panel, label.first)->text(), label.second);
    double values[5] = {};
    QVERIFY(panel.getProcessDataViewSetInfo(&values[0], &values[1], &values[2], &values[3], &values[4]));
    QCOMPARE(QList<double>(values, values + 5), (QList<double>{10000, 1, 10000, 1, 1000}));
    for (const char *name : {"checkBox_E0Direction", "checkBox_E1Direction", "checkBox_E2Direction"}) {
        QVERIFY(!child<QCheckBox>(panel, name)->isChecked());
        QVERIFY(child<QCheckBox>(panel, name)->isEnabled());
    }
}

void TestViewSets::processDataEdits()
{
    Form_ProcessDataViewSet panel;
    QSignalSpy spy(&panel, &Form_ProcessDataViewSet::signalProcessDataViewParamChanged);
    retype(child<QLineEdit>(panel, "lineEdit_ApparentResistivityYAxisMax"), "5000");
    QCOMPARE(spy.size(), 4);
    const QList<double> firsts = {5, 50, 500, 5000};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(spy.at(i).at(0).toDouble(), firsts.at(i));
    QCOMPARE(spy.last(), (QList<QVariant>{5000.0, 1.0, 10000.0, 1.0, 1000.0}));

    auto *deep = child<QLineEdit>(panel, "lineEdit_TrueResistivityDeep");
    deep->clear();
    QCOMPARE(spy.last().at(4).toDouble(), 0.0);
    QTest::keyClicks(deep, "ab");
    QCOMPARE(spy.last().at(4).toDouble(), 0.0);
    retype(child<QLineEdit>(panel, "lineEdit_TrueResistivityYAxisMin"), "2.5");
    QCOMPARE(spy.last(), (QList<QVariant>{5000.0, 1.0, 10000.0, 2.5, 0.0}));
}

void TestViewSets::processDataValidators_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");
    for (const char *minimum : {"lineEdit_ApparentResistivityYAxisMin", "lineEdit_TrueResistivityYAxisMin"}) {
        const QString name(minimum);
        for (const char *good : {"1", "0.5", "10000", "9999.9", "25"})
            QTest::newRow(qPrintable(name + " " + good)) << name << QString(good) << true;
        for (const char *bad : {"10001", "12345", "1.25", "0", "-1"})
            QTest::newRow(qPrintable(name + " " + bad)) << name << QString(bad) << false;
    }
    for (const char *maximum : {"lineEdit_ApparentResistivityYAxisMax", "lineEdit_TrueResistivityYAxisMax"}) {
        const QString name(maximum);
        for (const char *good : {"1000", "100000000"})
            QTest::newRow(qPrintable(name + " " + good)) << name << QString(good) << true;
        for (const char *bad : {"999", "100000001", "2.5"})
            QTest::newRow(qPrintable(name + " " + bad)) << name << QString(bad) << false;
    }
    QTest::newRow("depth takes anything") << "lineEdit_TrueResistivityDeep" << "abc" << true;
}

void TestViewSets::processDataValidators()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(bool, acceptable);
    Form_ProcessDataViewSet panel;
    QLineEdit *line = child<QLineEdit>(panel, qPrintable(edit));
    QCOMPARE(accepts(line, text), acceptable);
}

void TestViewSets::processDataBoxes()
{
    Form_ProcessDataViewSet panel;
    QSignalSpy spy(&panel, &Form_ProcessDataViewSet::signalProcessDataViewUseInfo);
    ProcessDataUseInfo info;
    info.E0Direction = info.E2Direction = true;
    panel.setProcessDataViewUseInfo(info);
    QCOMPARE(spy.size(), 0);
    auto *e0 = child<QCheckBox>(panel, "checkBox_E0Direction");
    auto *e1 = child<QCheckBox>(panel, "checkBox_E1Direction");
    QVERIFY(e0->isChecked() && e0->isEnabled());
    QVERIFY(!e1->isChecked() && !e1->isEnabled());
    QVERIFY(child<QCheckBox>(panel, "checkBox_E2Direction")->isChecked());

    e0->click();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(useInfoOf(spy.last().at(0)), (QList<bool>{false, false, true}));
}

QTEST_MAIN(TestViewSets)
#include "tst_view_sets.moc"
