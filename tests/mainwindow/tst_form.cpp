#include "ui_MainWindow.h"

#include <QtTest>

class TestForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyWidgetByNameClassAndPlace_data();
    void everyWidgetByNameClassAndPlace();
    void layoutsByNameSpacingAndMargins_data();
    void layoutsByNameSpacingAndMargins();
    void toolButtons_data();
    void toolButtons();
    void otherTexts();
    void stateAfterSetUp();
    void keepsAnObjectNameItWasGiven();
    void secondButtonGroupSitsAtTheBottom();

private:
    QMainWindow *window = nullptr;
    Ui_MainWindow ui;
};

void TestForm::init()
{
    window = new QMainWindow;
    ui.setupUi(window);
}

void TestForm::cleanup()
{
    delete window;
}

void TestForm::everyWidgetByNameClassAndPlace_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("inside"); // the nearest named widget holding it

    const QList<std::array<const char *, 3>> table{
        {"centralWidget", "QWidget", "MainWindow"},
        {"appBar", "QWidget", "centralWidget"},
        {"labIco", "QPushButton", "appBar"},
        {"labTitle", "QLabel", "appBar"},
        {"tabBar", "QTabBar", "appBar"},
        {"btnMenu_Min", "QPushButton", "appBar"},
        {"btnMenu_Max", "QPushButton", "appBar"},
        {"btnMenu_Close", "QPushButton", "appBar"},
        {"stackedWidget", "QStackedWidget", "centralWidget"},
        {"pageProjectManage", "QWidget", "stackedWidget"},
        {"labelRecentOpenProjects", "QLabel", "pageProjectManage"},
        {"recentProjectList", "QListWidget", "pageProjectManage"},
        {"btnsProjectManage", "QWidget", "pageProjectManage"},
        {"tbtnNewProject", "QToolButton", "btnsProjectManage"},
        {"tbtnOpenProject", "QToolButton", "btnsProjectManage"},
        {"tbtnCloseProject", "QToolButton", "btnsProjectManage"},
        {"pageSystemConfig", "QWidget", "stackedWidget"},
        {"btnsSystemConfig", "QWidget", "pageSystemConfig"},
        {"tbtnInputChannelConfig", "QToolButton", "btnsSystemConfig"},
        {"tbtnOtherConfig", "QToolButton", "btnsSystemConfig"},
        {"tbtnMemoryManage", "QToolButton", "btnsSystemConfig"},
        {"tbtnSystemUpdate", "QToolButton", "btnsSystemConfig"},
        {"tbtnSDCardFormat", "QToolButton", "btnsSystemConfig"},
        {"tbtnExportLog", "QToolButton", "btnsSystemConfig"},
        {"pageSampleTask", "QWidget", "stackedWidget"},
        {"tabWidget", "QTabWidget", "pageSampleTask"},
        {"tab_Info", "QWidget", "tabWidget"},
        {"widgetStationInfo", "QWidget", "tab_Info"},
        {"stackedWidget_ViewSet", "QStackedWidget", "tab_Info"},
        {"pageTimeSeriesViewSet", "QWidget", "stackedWidget_ViewSet"},
        {"pageProcessDataViewSet", "QWidget", "stackedWidget_ViewSet"},
        {"widget_CopyRight", "QWidget", "tab_Info"},
        {"groupBox_CopyRight", "QGroupBox", "widget_CopyRight"},
        {"label_Version", "QLabel", "groupBox_CopyRight"},
        {"label_WebSite", "QLabel", "groupBox_CopyRight"},
        {"label_CopyRight", "QLabel", "groupBox_CopyRight"},
        {"tab_ProjectTreeView", "QWidget", "tabWidget"},
        {"widgetProjectTreeView", "QWidget", "tab_ProjectTreeView"},
        {"stacked_SampleTask", "QStackedWidget", "pageSampleTask"},
        {"stackedWidgetSampleTaskPage1", "QWidget", "stacked_SampleTask"},
        {"widgetRightSampleTask", "QWidget", "pageSampleTask"},
        {"label_LineNum", "QLabel", "widgetRightSampleTask"},
        {"lineEdit_LineNum", "QLineEdit", "widgetRightSampleTask"},
        {"label_StationNum", "QLabel", "widgetRightSampleTask"},
        {"lineEdit_StationNum", "QLineEdit", "widgetRightSampleTask"},
        {"tbtnConnectNetwork", "QToolButton", "widgetRightSampleTask"},
        {"tbtnDisconnectNetwork", "QToolButton", "widgetRightSampleTask"},
        {"tbtnSampleTaskConfig", "QToolButton", "widgetRightSampleTask"},
        {"tbtnExportData", "QToolButton", "widgetRightSampleTask"},
        {"tbtnSwitchView", "QToolButton", "widgetRightSampleTask"},
        {"tbtnLastSampleGroup", "QToolButton", "widgetRightSampleTask"},
        {"tbtnPreSampleData", "QToolButton", "widgetRightSampleTask"},
        {"tbtnStartSample", "QToolButton", "widgetRightSampleTask"},
        {"tbtnStopSample", "QToolButton", "widgetRightSampleTask"},
        {"tbtnSave", "QToolButton", "widgetRightSampleTask"},
        {"tbtnCancelSave", "QToolButton", "widgetRightSampleTask"},
        {"tbtnPowerOff", "QToolButton", "widgetRightSampleTask"},
        {"statusBar", "QStatusBar", "MainWindow"},
    };
    for (const auto &row : table)
        QTest::newRow(row[0]) << row[1] << row[2];
}

void TestForm::everyWidgetByNameClassAndPlace()
{
    QFETCH(QString, className);
    QFETCH(QString, inside);
    const QString name = QTest::currentDataTag();
    const QList<QWidget *> found = window->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QString(widget->metaObject()->className()), className);
    QWidget *holder = widget->parentWidget();
    // Containers' own inner widgets ("qt_tabwidget_stackedwidget") are not the form's.
    while (holder && (holder->objectName().isEmpty() || holder->objectName().startsWith(QLatin1String("qt_"))))
        holder = holder->parentWidget();
    QVERIFY(holder);
    QCOMPARE(holder->objectName(), inside);
}

void TestForm::layoutsByNameSpacingAndMargins_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QList<int>>("margins"); // left, top, right, bottom

    const QList<int> none{0, 0, 0, 0};
    const QList<int> page{2, 2, 2, 0};
    QTest::newRow("layout_centralWidget") << "QVBoxLayout" << 0 << none;
    QTest::newRow("horizontalLayout_10") << "QHBoxLayout" << 6 << none;
    QTest::newRow("gridLayout_Menu") << "QGridLayout" << 6 << none;
    QTest::newRow("vorizontalLayout") << "QVBoxLayout" << 2 << page;
    QTest::newRow("horizontalLayout_9") << "QHBoxLayout" << 6 << none;
    QTest::newRow("horizontalLayout_4") << "QHBoxLayout" << 4 << none;
    QTest::newRow("verticalLayout_18") << "QVBoxLayout" << 2 << none;
    QTest::newRow("horizontalLayout_7") << "QHBoxLayout" << 4 << page;
    QTest::newRow("layoutSystemConfig") << "QVBoxLayout" << 6 << none;
    QTest::newRow("verticalLayout_11") << "QVBoxLayout" << 2 << none;
    QTest::newRow("horizontalLayout_8") << "QHBoxLayout" << 4 << page;
    QTest::newRow("verticalLayout_14") << "QVBoxLayout" << 0 << none;
    QTest::newRow("verticalLayout_5") << "QVBoxLayout" << 6 << none;
    QTest::newRow("verticalLayout_12") << "QVBoxLayout" << 0 << none;
    QTest::newRow("verticalLayout_13") << "QVBoxLayout" << 0 << none;
    QTest::newRow("verticalLayout_9") << "QVBoxLayout" << 6 << QList<int>{2, 2, 2, 2};
    QTest::newRow("verticalLayout_17") << "QVBoxLayout" << 2 << QList<int>{2, 6, 2, 6};
    QTest::newRow("verticalLayout_15") << "QVBoxLayout" << 0 << none;
    QTest::newRow("verticalLayout_8") << "QVBoxLayout" << 0 << none;
    QTest::newRow("gridLayout") << "QGridLayout" << 0 << none;
    QTest::newRow("verticalLayout_3") << "QVBoxLayout" << 2 << none;
}

void TestForm::layoutsByNameSpacingAndMargins()
{
    QFETCH(QString, className);
    QFETCH(int, spacing);
    QFETCH(QList<int>, margins);
    const QList<QLayout *> found = window->findChildren<QLayout *>(QTest::currentDataTag());
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString(found.first()->metaObject()->className()), className);
    QCOMPARE(found.first()->spacing(), spacing);
    const QMargins actual = found.first()->contentsMargins();
    QCOMPARE((QList<int>{actual.left(), actual.top(), actual.right(), actual.bottom()}), margins);
}

void TestForm::toolButtons_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("pointingHand");

    const QList<std::array<const char *, 3>> projectAndSystem{
        {"tbtnNewProject", "新建工程", "newProject.png"},
        {"tbtnOpenProject", "打开工程", "openProject.png"},
        {"tbtnCloseProject", "关闭工程", "exitProject.png"},
        {"tbtnInputChannelConfig", "传感器设置", "inputs.png"},
        {"tbtnOtherConfig", "步长设置", "OtherConfig.png"},
        {"tbtnMemoryManage", "内存管理", "MachineConfig.png"},
        {"tbtnSystemUpdate", "仪器升级", "systemUpdate.png"},
        {"tbtnSDCardFormat", "恢复出厂设置", "SDFormat.png"},
        {"tbtnExportLog", "导出日志", "LogFile.png"}};
    const QList<std::array<const char *, 3>> sampling{
        {"tbtnConnectNetwork", "网络连接", "wifi-on.png"},
        {"tbtnDisconnectNetwork", "网络断开", "wifi-off.png"},
        {"tbtnSampleTaskConfig", "任务设置", "taskList.png"},
        {"tbtnExportData", "数据导出", "exportData.png"},
        {"tbtnSwitchView", "阻抗图", "switchSample.png"},
        {"tbtnLastSampleGroup", "切换频率", "switchLeft.png"},
        {"tbtnPreSampleData", "试采数据", "preSampleData.png"},
        {"tbtnStartSample", "开始采集", "sampleStart.png"},
        {"tbtnStopSample", "停止采集", "stopSample.png"},
        {"tbtnSave", "保存", "saveData.png"},
        {"tbtnCancelSave", "取消", "unsaveData.png"},
        {"tbtnPowerOff", "关机", "power-off.png"}};
    for (const auto &row : projectAndSystem)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << row[2] << false;
    for (const auto &row : sampling)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << row[2] << true;
}

void TestForm::toolButtons()
{
    QFETCH(QString, text);
    QFETCH(QString, icon);
    QFETCH(bool, pointingHand);
    auto *button = window->findChild<QToolButton *>(QTest::currentDataTag());
    QVERIFY(button);
    QCOMPARE(button->text(), text);
    const QImage expected = QImage(":/Icon/" + icon).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!expected.isNull());
    QCOMPARE(button->icon().pixmap(expected.size(), QIcon::Normal, QIcon::Off).toImage().convertToFormat(QImage::Format_ARGB32),
             expected);
    QCOMPARE(button->cursor().shape() == Qt::PointingHandCursor, pointingHand);
}

void TestForm::otherTexts()
{
    const QList<QPair<QString, QString>> texts{
        {ui.labIco->text(), ""},
        {ui.labTitle->text(), "Velkor采集系统"},
        {ui.btnMenu_Close->text(), "r"},
        {ui.btnMenu_Close->toolTip(), "关闭"},
        {ui.btnMenu_Max->text(), "1"},
        {ui.btnMenu_Min->text(), "0"},
        {ui.btnMenu_Min->toolTip(), "最小化"},
        {ui.labelRecentOpenProjects->text(), "最近打开的工程："},
        {ui.groupBox_CopyRight->title(), "版本信息"},
        {ui.label_Version->text(), "版本号：V1.01"},
        {ui.label_WebSite->text(), ""},
        {ui.tabWidget->tabText(0), "属性"},
        {ui.tabWidget->tabText(1), "工程"},
        {ui.label_LineNum->text(), "线号"},
        {ui.label_StationNum->text(), "里程"},
        {ui.lineEdit_LineNum->text(), ""},
        {ui.lineEdit_StationNum->text(), ""},
        {window->windowTitle(), "MainWindow"},
    };
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY2(texts[i].first == texts[i].second, qPrintable(QString::number(i) + ": " + texts[i].first));
    QVERIFY(!ui.label_CopyRight->text().isEmpty());
    QVERIFY(!ui.label_CopyRight->text().contains('\n'));
    for (QPushButton *button : {ui.btnMenu_Min, ui.btnMenu_Max, ui.btnMenu_Close}) {
        QCOMPARE(button->font().family(), QStringLiteral("Marlett"));
        QCOMPARE(button->minimumSize(), QSize(50, 50));
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    for (QLineEdit *edit : {ui.lineEdit_LineNum, ui.lineEdit_StationNum}) {
        QCOMPARE(edit->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(edit->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(edit->font().pointSize(), 12);
    }
}

void TestForm::stateAfterSetUp()
{
    QCOMPARE(window->centralWidget(), ui.centralWidget);
    QCOMPARE(window->statusBar(), ui.statusBar);
    QCOMPARE(window->size(), QSize(1200, 680));
    QCOMPARE(window->minimumSize(), QSize(1024, 650));
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    // The sampling page with the project tree's tab; no tabs on the bar, the empty view page.
    QCOMPARE(ui.stackedWidget->currentWidget(), ui.pageSampleTask);
    QCOMPARE(ui.tabWidget->currentWidget(), ui.tab_ProjectTreeView);
    QCOMPARE(ui.stackedWidget_ViewSet->currentWidget(), ui.pageTimeSeriesViewSet);
    QCOMPARE(ui.tabBar->count(), 0);
    QCOMPARE(ui.stacked_SampleTask->count(), 1);
    QCOMPARE(ui.stacked_SampleTask->currentWidget(), ui.stackedWidgetSampleTaskPage1);
    QCOMPARE(ui.tabWidget->tabPosition(), QTabWidget::South);
    QCOMPARE(ui.tabWidget->maximumWidth(), 300);
    for (QWidget *column : {ui.btnsProjectManage, ui.btnsSystemConfig, ui.widgetRightSampleTask})
        QCOMPARE(column->maximumWidth(), 120);
    // The placeholders are empty.
    const QList<QLayout *> placeholders{ui.layoutSystemConfig, ui.verticalLayout_5, ui.verticalLayout_12,
                                        ui.verticalLayout_13,  ui.verticalLayout_8, ui.gridLayout};
    for (QLayout *placeholder : placeholders)
        QCOMPARE(placeholder->count(), 0);
    QCOMPARE(ui.verticalLayout_14->stretch(0), 2);
    QCOMPARE(ui.verticalLayout_14->stretch(1), 2);
    QCOMPARE(ui.verticalLayout_14->stretch(2), 1);
}

void TestForm::keepsAnObjectNameItWasGiven()
{
    QMainWindow named;
    named.setObjectName(QStringLiteral("Given"));
    Ui_MainWindow form;
    form.setupUi(&named);
    QCOMPARE(named.objectName(), QStringLiteral("Given"));
}

void TestForm::secondButtonGroupSitsAtTheBottom()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QWidget *column = ui.widgetRightSampleTask;
    QTRY_VERIFY(column->height() > 500);
    const int bottomGap = column->height() - ui.tbtnPowerOff->geometry().bottom();
    QVERIFY2(bottomGap < 12, qPrintable(QString::number(bottomGap)));
    QVERIFY(ui.tbtnPreSampleData->geometry().top() - ui.tbtnLastSampleGroup->geometry().bottom() > 50);
    // The window cannot be made smaller than the form's minimum.
    window->resize(800, 400);
    QCOMPARE(window->size(), QSize(1024, 650));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
