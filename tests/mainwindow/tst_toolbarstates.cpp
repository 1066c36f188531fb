#include "mainwindow/ToolBarStateMachine.h"
#include "mainwindow/WorkState.h"
#include "ui_MainWindow.h"

#include <QtTest>

// Stands in for the main window: the eight work signals and the form's widgets.
class WorkSignals : public QMainWindow
{
    Q_OBJECT
signals:
    void projOpened();
    void sampleOver();
    void sampleStart();
    void samplStoped();
    void preSampleStart();
    void preSampleOver();
    void offlineSampleStart();
    void offlineSampleOver();
};

struct Expected
{
    const char *widget;
    const char *property;
    QVariant value;
};

class TestToolBarStates : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void formDefaultsUntilTheEventLoopRuns();
    void eachStateAssignsItsRow_data();
    void eachStateAssignsItsRow();
    void signalsWithoutTransitionAreIgnored();
    void closeProjectOnlyWhileIdle();
    void propertiesAStateLeavesAloneKeepTheirValue();

private:
    void run(const QStringList &steps);
    QWidget *widget(const char *name) const { return window->findChild<QWidget *>(QLatin1String(name)); }

    WorkSignals *window = nullptr;
    Ui_MainWindow ui;
    ToolBarStateMachine *machine = nullptr;
};

void TestToolBarStates::init()
{
    window = new WorkSignals;
    ui.setupUi(window);
    for (const char *tab : {"工程管理", "参数设置", "采集任务"})
        ui.tabBar->addTab(QString::fromUtf8(tab));
    ui.tabBar->setCurrentIndex(0);
    machine = new ToolBarStateMachine(window);
    machine->start();
}

void TestToolBarStates::cleanup()
{
    delete window;
}

// Steps are signal names of the window, "click:<button>" (the button is made usable first, as the
// window does when it may be clicked) or "work:<state>".
void TestToolBarStates::run(const QStringList &steps)
{
    QTRY_VERIFY(!machine->currentStateName().isEmpty());
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1String("click:"))) {
            auto *button = window->findChild<QAbstractButton *>(step.mid(6));
            QVERIFY2(button, qPrintable(step));
            button->setEnabled(true);
            button->click();
        } else if (step.startsWith(QLatin1String("work:"))) {
            machine->setWorkState(step.mid(5).toInt());
        } else {
            QVERIFY2(QMetaObject::invokeMethod(window, qPrintable(step)), qPrintable(step));
        }
    }
}

void TestToolBarStates::formDefaultsUntilTheEventLoopRuns()
{
    QVERIFY(machine->currentStateName().isEmpty());
    QVERIFY(!ui.tbtnStartSample->isHidden());
    QVERIFY(!ui.tbtnSystemUpdate->isHidden());
    QVERIFY(ui.tbtnCloseProject->isEnabled());
    QTRY_COMPARE(machine->currentStateName(), QStringLiteral("stateNoProject"));
    QVERIFY(ui.tbtnStartSample->isHidden());
    QVERIFY(ui.tbtnSystemUpdate->isHidden());
    QVERIFY(!ui.tbtnCloseProject->isEnabled());
}

void TestToolBarStates::eachStateAssignsItsRow_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("state");

    const QStringList saveChoice{"projOpened", "sampleStart", "sampleOver"};
    QTest::newRow("start") << QStringList() << "stateNoProject";
    QTest::newRow("project opened") << QStringList{"projOpened"} << "stateProjectIdle";
    QTest::newRow("online run") << QStringList{"projOpened", "sampleStart"} << "stateSampling";
    QTest::newRow("online run stopped") << QStringList{"projOpened", "sampleStart", "samplStoped"}
                                        << "stateProjectIdle";
    QTest::newRow("online run over") << saveChoice << "stateSaveChoice";
    QTest::newRow("saved") << saveChoice + QStringList{"click:tbtnSave"} << "stateProjectIdle";
    QTest::newRow("discarded") << saveChoice + QStringList{"click:tbtnCancelSave"} << "stateProjectIdle";
    QTest::newRow("offline run") << QStringList{"projOpened", "offlineSampleStart"} << "stateOfflineSampling";
    QTest::newRow("offline run over") << QStringList{"projOpened", "offlineSampleStart", "offlineSampleOver"}
                                      << "stateProjectIdle";
    QTest::newRow("offline run stopped") << QStringList{"projOpened", "offlineSampleStart", "samplStoped"}
                                         << "stateProjectIdle";
    QTest::newRow("trial run") << QStringList{"projOpened", "preSampleStart"} << "statePreSampling";
    QTest::newRow("trial run over") << QStringList{"projOpened", "preSampleStart", "preSampleOver"}
                                    << "stateProjectIdle";
    QTest::newRow("trial run stopped by the instrument") << QStringList{"projOpened", "preSampleStart", "samplStoped"}
                                                         << "stateProjectIdle";
    QTest::newRow("project closed") << QStringList{"projOpened", "click:tbtnCloseProject"} << "stateNoProject";
    QTest::newRow("second run") << QStringList{"projOpened", "preSampleStart", "preSampleOver", "sampleStart"}
                                << "stateSampling";
}

void TestToolBarStates::eachStateAssignsItsRow()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, state);
    run(steps);
    QCOMPARE(machine->currentStateName(), state);

    // What each state assigns when entered (states leave every other property alone).
    const QMap<QString, QList<Expected>> table{
        {"stateNoProject",
         {{"tbtnSystemUpdate", "visible", false}, {"tbtnStartSample", "visible", false},
          {"tbtnPreSampleData", "visible", false}, {"tbtnStopSample", "visible", false},
          {"tbtnSave", "visible", false}, {"tbtnCancelSave", "visible", false},
          {"tbtnNewProject", "enabled", true}, {"tbtnOpenProject", "enabled", true},
          {"tbtnCloseProject", "enabled", false}, {"recentProjectList", "enabled", true},
          {"lineEdit_LineNum", "enabled", false}, {"lineEdit_StationNum", "enabled", false},
          {"tbtnExportData", "visible", false}, {"tbtnMemoryManage", "visible", true},
          {"tbtnSDCardFormat", "visible", true}, {"tbtnSwitchView", "visible", false},
          {"tbtnLastSampleGroup", "visible", false}}},
        {"stateProjectIdle",
         {{"tbtnStartSample", "visible", true}, {"tbtnPreSampleData", "visible", true},
          {"tbtnStopSample", "visible", false}, {"tbtnSave", "visible", false},
          {"tbtnCancelSave", "visible", false}, {"tbtnNewProject", "enabled", false},
          {"tbtnOpenProject", "enabled", false}, {"tbtnCloseProject", "enabled", true},
          {"recentProjectList", "enabled", false}, {"lineEdit_LineNum", "enabled", true},
          {"lineEdit_StationNum", "enabled", true}, {"tbtnExportData", "visible", true},
          {"tbtnMemoryManage", "visible", true}, {"tbtnSDCardFormat", "visible", true},
          {"tabBar", "currentIndex", 2}, {"tbtnSwitchView", "visible", false},
          {"tbtnLastSampleGroup", "visible", false}}},
        {"stateSampling",
         {{"tbtnStartSample", "visible", false}, {"tbtnPreSampleData", "visible", false},
          {"tbtnStopSample", "visible", true}, {"tbtnSave", "visible", false},
          {"tbtnCancelSave", "visible", false}, {"tbtnCloseProject", "enabled", false},
          {"lineEdit_LineNum", "enabled", false}, {"lineEdit_StationNum", "enabled", false},
          {"tbtnExportData", "visible", false}, {"tbtnMemoryManage", "visible", false},
          {"tbtnSDCardFormat", "visible", false}, {"tbtnSwitchView", "visible", false},
          {"tbtnLastSampleGroup", "visible", false}}},
        {"stateOfflineSampling",
         {{"tbtnStartSample", "visible", false}, {"tbtnPreSampleData", "visible", false},
          {"tbtnStopSample", "visible", true}, {"tbtnSave", "visible", false},
          {"tbtnCancelSave", "visible", false}, {"tbtnExportData", "visible", false},
          {"tbtnMemoryManage", "visible", false}, {"tbtnSDCardFormat", "visible", false}}},
        {"statePreSampling",
         {{"tbtnStartSample", "visible", false}, {"tbtnPreSampleData", "visible", false},
          {"tbtnStopSample", "visible", false}, {"tbtnSave", "visible", false},
          {"tbtnCancelSave", "visible", false}, {"tbtnExportData", "visible", false},
          {"tbtnMemoryManage", "visible", false}, {"tbtnSDCardFormat", "visible", false}}},
        {"stateSaveChoice",
         {{"tbtnStartSample", "visible", false}, {"tbtnPreSampleData", "visible", false},
          {"tbtnStopSample", "visible", false}, {"tbtnSave", "visible", true}, {"tbtnSave", "enabled", false},
          {"tbtnCancelSave", "visible", true}}},
    };
    for (const Expected &row : table.value(state)) {
        QWidget *target = widget(row.widget);
        QVERIFY2(target, row.widget);
        // Widgets of a window that is not shown are tested for being hidden, not for being visible.
        const QVariant actual = qstrcmp(row.property, "visible") == 0 ? QVariant(!target->isHidden())
                                                                        : target->property(row.property);
        QVERIFY2(actual == row.value, qPrintable(QStringLiteral("%1.%2").arg(row.widget, row.property)));
    }
}

void TestToolBarStates::signalsWithoutTransitionAreIgnored()
{
    run({"sampleStart", "sampleOver", "click:tbtnSave", "click:tbtnCloseProject"});
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateNoProject"));
    run({"projOpened", "sampleOver", "preSampleOver", "samplStoped", "offlineSampleOver", "projOpened"});
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateProjectIdle"));
    run({"sampleStart", "preSampleStart", "offlineSampleStart", "click:tbtnCloseProject"});
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateSampling"));
}

void TestToolBarStates::closeProjectOnlyWhileIdle()
{
    run({"projOpened", "work:" + QString::number(WORK_EXPORTING)});
    QVERIFY(!ui.tbtnCloseProject->isEnabled());
    // Even a click that reaches the button does not close the project in the tool bar.
    emit ui.tbtnCloseProject->clicked();
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateProjectIdle"));

    machine->setWorkState(WORK_IDLE);
    QVERIFY(ui.tbtnCloseProject->isEnabled());

    // A finished real run waits for save or discard with the work state still online.
    run({"work:" + QString::number(WORK_ONLINE_SAMPLING), "sampleStart", "sampleOver"});
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateSaveChoice"));
    QVERIFY(!ui.tbtnCloseProject->isEnabled());
    run({"click:tbtnCancelSave", "work:" + QString::number(WORK_IDLE)});
    QVERIFY(ui.tbtnCloseProject->isEnabled());
    ui.tbtnCloseProject->click();
    QCOMPARE(machine->currentStateName(), QStringLiteral("stateNoProject"));
    QVERIFY(!ui.tbtnCloseProject->isEnabled());
}

void TestToolBarStates::propertiesAStateLeavesAloneKeepTheirValue()
{
    run({"projOpened"});
    QCOMPARE(ui.tabBar->currentIndex(), 2);
    ui.tabBar->setCurrentIndex(1);

    // Another writer shows the view switch during an offline run; the run's end hides it again.
    run({"offlineSampleStart"});
    ui.tbtnSwitchView->show();
    QCOMPARE(ui.tabBar->currentIndex(), 1);
    QVERIFY(!ui.tbtnSwitchView->isHidden());
    run({"offlineSampleOver"});
    QVERIFY(ui.tbtnSwitchView->isHidden());

    // The instrument update stays hidden for good.
    run({"click:tbtnCloseProject", "projOpened", "sampleStart", "sampleOver"});
    QVERIFY(ui.tbtnSystemUpdate->isHidden());
    QVERIFY(!ui.tbtnNewProject->isEnabled());
}

QTEST_MAIN(TestToolBarStates)
#include "tst_toolbarstates.moc"
