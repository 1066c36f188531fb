#include "ScriptedPrompt.h"
#include "mainwindow/Form_SystemInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QWheelEvent>
#include <QLabel>
#include <QListView>
#include <QtTest>

class TestSystemInfo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void construction();
    void modeTexts_data();
    void modeTexts();
    void choosingTheCurrentRowAsksNothing();
    void refusedChangeRestoresTheRow();
    void confirmedChangeAnnouncesTheMode();
    void developerModeOffersModesFourAndFive();
    void closedChooserReachesDeveloperModesOnlyInDeveloperMode_data();
    void closedChooserReachesDeveloperModesOnlyInDeveloperMode();
    void setModeWithoutAsking();
    void sensorsAndStep();

private:
    QLabel *label(const char *name) const { return panel->findChild<QLabel *>(QLatin1String(name)); }
    QComboBox *combo() const { return panel->findChild<QComboBox *>(QStringLiteral("comboBox_SampleMode")); }
    QListView *listView() const { return qobject_cast<QListView *>(combo()->view()); }

    ScriptedPrompt *prompt = nullptr;
    Form_SystemInfo *panel = nullptr;
    QSignalSpy *changed = nullptr;
};

void TestSystemInfo::init()
{
    prompt = new ScriptedPrompt;
    panel = new Form_SystemInfo;
    changed = new QSignalSpy(panel, &Form_SystemInfo::signalWactchMachineChanged);
}

void TestSystemInfo::cleanup()
{
    delete changed;
    delete panel;
    delete prompt;
}

void TestSystemInfo::construction()
{
    const QStringList names{"标量", "矢量", "共点多极化", "双磁道共点多极化", "多极化", "水上实验"};
    QCOMPARE(combo()->count(), names.size());
    for (int row = 0; row < names.size(); ++row) {
        QCOMPARE(combo()->itemText(row), names.at(row));
        QCOMPARE(combo()->itemData(row).toInt(), row);
    }
    QCOMPARE(panel->watchMachineType(), 0);
    QCOMPARE(label("label_E0CompareValue")->text(), QStringLiteral("与所选的磁棒配对"));
    QVERIFY(label("label_WatchMachineValue")->wordWrap());
    QVERIFY(listView()->isRowHidden(4));
    QVERIFY(listView()->isRowHidden(5));
    QVERIFY(!listView()->isRowHidden(3));
    QCOMPARE(label("label_AddDivEnableValue")->text(), QStringLiteral("关闭"));
    QCOMPARE(prompt->count(), 0);
    QCOMPARE(changed->count(), 0);
}

void TestSystemInfo::modeTexts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("descriptionStart");
    QTest::addColumn<QStringList>("pairings");
    QTest::newRow("0") << 0 << "测量X方向，仅使用1根磁棒接Hx或Hy通道"
                       << QStringList{"与所选的磁棒配对", "与所选的磁棒配对", "与所选的磁棒配对"};
    QTest::newRow("1") << 1 << "测量X方向和Y方向，X/Y方向正交" << QStringList{"与Hy配对", "与Hx配对", "不可选"};
    // ASCII comma in mode 2, full-width comma in mode 3.
    QTest::newRow("2") << 2 << "测量X方向，仅使用1根磁棒接Hx或Hy通道"
                       << QStringList{"可选,与所选的磁棒配对", "可选,与所选的磁棒配对", "可选,与所选的磁棒配对"};
    QTest::newRow("3") << 3 << "磁场Hx/Hy必选，Hx与测线方向一致"
                       << QStringList{"可选，与Hy配对", "可选，与Hy配对", "可选，与Hy配对"};
    QTest::newRow("4") << 4 << "测量X方向，磁场Hx/Hy必选均在不同地方"
                       << QStringList{"与Hy配对", "与Hx配对", "可选，与Hy配对"};
    QTest::newRow("5") << 5 << "测量X方向，Hy必选，Hy为Y方向" << QStringList{"与Hy配对", "与Hx配对", "不选"};
}

void TestSystemInfo::modeTexts()
{
    QFETCH(int, mode);
    QFETCH(QString, descriptionStart);
    QFETCH(QStringList, pairings);
    panel->showWatchMachineDescription(mode);
    QVERIFY2(label("label_WatchMachineValue")->text().startsWith(descriptionStart),
             qPrintable(label("label_WatchMachineValue")->text()));
    QCOMPARE(label("label_E0CompareValue")->text(), pairings.at(0));
    QCOMPARE(label("label_E1CompareValue")->text(), pairings.at(1));
    QCOMPARE(label("label_E2CompareValue")->text(), pairings.at(2));

    // A mode outside the table changes nothing.
    panel->showWatchMachineDescription(6);
    QCOMPARE(label("label_E2CompareValue")->text(), pairings.at(2));
}

void TestSystemInfo::choosingTheCurrentRowAsksNothing()
{
    combo()->setCurrentIndex(0);
    emit combo()->currentIndexChanged(0);
    QCOMPARE(prompt->count(), 0);
    QCOMPARE(changed->count(), 0);
}

void TestSystemInfo::refusedChangeRestoresTheRow()
{
    prompt->expectNo();
    const QString description = label("label_WatchMachineValue")->text();
    combo()->setCurrentIndex(1);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().title, QStringLiteral("温馨提示"));
    QCOMPARE(prompt->last().text, QStringLiteral("修改观测装置可能会删除现有采集任务列表，请确认是否修改观测装置？"));
    QCOMPARE(combo()->currentIndex(), 0);
    QCOMPARE(panel->watchMachineType(), 0);
    QCOMPARE(label("label_WatchMachineValue")->text(), description);
    QCOMPARE(changed->count(), 0);
}

void TestSystemInfo::confirmedChangeAnnouncesTheMode()
{
    prompt->expectYes();
    combo()->setCurrentIndex(1);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(label("label_E2CompareValue")->text(), QStringLiteral("不可选"));
    QCOMPARE(changed->count(), 1);
    QCOMPARE(changed->first().first().toInt(), 1);
    QCOMPARE(panel->watchMachineType(), 1);

    // Mode 1 is now the current one: choosing it again asks nothing.
    emit combo()->currentIndexChanged(1);
    QCOMPARE(prompt->count(), 1);
}

void TestSystemInfo::developerModeOffersModesFourAndFive()
{
    panel->setDeveloperMode(true);
    QVERIFY(!listView()->isRowHidden(4));
    QVERIFY(!listView()->isRowHidden(5));
    prompt->expectYes();
    combo()->setCurrentIndex(4);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(changed->count(), 1);

    // Turning developer mode off leaves mode 4 current and selected.
    panel->setDeveloperMode(false);
    QVERIFY(listView()->isRowHidden(4));
    QCOMPARE(panel->watchMachineType(), 4);
}

void TestSystemInfo::closedChooserReachesDeveloperModesOnlyInDeveloperMode_data()
{
    QTest::addColumn<bool>("wheel");
    QTest::addColumn<bool>("developer");
    QTest::addColumn<int>("mode");
    QTest::newRow("down arrow") << false << false << 3;
    QTest::newRow("wheel") << true << false << 3;
    QTest::newRow("down arrow, developer") << false << true << 4;
    QTest::newRow("wheel, developer") << true << true << 4;
}

// From mode 3, the next row down on the closed chooser is mode 4.
void TestSystemInfo::closedChooserReachesDeveloperModesOnlyInDeveloperMode()
{
    QFETCH(bool, wheel);
    QFETCH(bool, developer);
    QFETCH(int, mode);
    panel->setWatchMachineType(3);
    panel->setDeveloperMode(developer);
    prompt->expectYes();
    if (wheel) {
        QWheelEvent down(QPointF(5, 5), combo()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo(), &down);
    } else {
        QTest::keyClick(combo(), Qt::Key_Down);
    }
    QCOMPARE(panel->watchMachineType(), mode);
    QCOMPARE(prompt->count(), developer ? 1 : 0);
    QCOMPARE(changed->count(), developer ? 2 : 1);
}

void TestSystemInfo::setModeWithoutAsking()
{
    panel->setWatchMachineType(5);
    QCOMPARE(combo()->currentText(), QStringLiteral("水上实验"));
    QCOMPARE(label("label_E2CompareValue")->text(), QStringLiteral("不选"));
    QCOMPARE(prompt->count(), 0);
    QCOMPARE(changed->count(), 1);
    QCOMPARE(changed->first().first().toInt(), 5);

    // A stored mode outside the table changes nothing and asks nothing.
    for (int mode : {6, -1, 42})
        panel->setWatchMachineType(mode);
    QCOMPARE(panel->watchMachineType(), 5);
    QCOMPARE(prompt->count(), 0);
    QCOMPARE(changed->count(), 1);
}

void TestSystemInfo::sensorsAndStep()
{
    panel->setChannelInputsConfig({"H001", "H002", "未设置", "E17", "E 18"});
    const QStringList shown{label("label_HxInputNum")->text(), label("label_HyInputNum")->text(),
                            label("label_E0InputNum")->text(), label("label_E1InputNum")->text(),
                            label("label_E2InputNum")->text()};
    QCOMPARE(shown, (QStringList{"H001", "H002", "未设置", "E17", "E 18"}));

    const QList<QPair<double, QString>> steps{{25, "25"}, {0.5, "0.5"}, {12.5, "12.5"}, {1234567, "1.23457e+06"}};
    for (const auto &step : steps) {
        panel->setStationNumAutoConfig({step.first, true});
        QCOMPARE(label("label_StepSizeValue")->text(), step.second);
        QCOMPARE(label("label_AddDivEnableValue")->text(), QStringLiteral("开启"));
    }
    panel->setStationNumAutoConfig({25, false});
    QCOMPARE(label("label_AddDivEnableValue")->text(), QStringLiteral("关闭"));
    QCOMPARE(label("label_meter")->text(), QStringLiteral("米"));
}

QTEST_MAIN(TestSystemInfo)
#include "tst_systeminfo.moc"
