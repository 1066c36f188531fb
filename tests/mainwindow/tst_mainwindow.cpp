#include "AppFolder.h"
#include "ScriptedPrompt.h"

#include "mainwindow/BuildStamp.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QtConcurrent>
#include <QtTest>

namespace {

QStringList warnings;

void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings << message;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buildDateParse_data();
    void buildDateParse();
    void builtTwiceWithoutWarnings();
    void poolSignalsReachTheWindowThread();
    void stateAfterConstruction();
    void versionAndNotice();
    void panelsInTheirPlaceholders();
    void sampleButtons_data();
    void sampleButtons();
    void everyToolButtonShowsTextUnderIcon();
    void lineAndStationEdits_data();
    void lineAndStationEdits();
    void maximizeButtonFollowsTheWindow();
    void workSignalsAreDeclaredInOrder();

private:
    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<ScriptedPrompt> prompt;

    template<typename T>
    static T *child(const QWidget &window, const char *name)
    {
        return window.findChild<T *>(QLatin1String(name));
    }
};

void TestMainWindow::init()
{
    folder = std::make_unique<AppFolder>();
    prompt = std::make_unique<ScriptedPrompt>();
}

void TestMainWindow::cleanup()
{
    prompt.reset();
    folder.reset();
}

void TestMainWindow::buildDateParse_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("one-digit day") << "Mar  7 2026" << "09:05:03" << QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3));
    QTest::newRow("two-digit day") << "Dec 25 2025" << "23:59:59" << QDateTime(QDate(2025, 12, 25), QTime(23, 59, 59));
    QTest::newRow("first of the year") << "Jan  1 2027" << "00:00:00" << QDateTime(QDate(2027, 1, 1), QTime(0, 0));
    QTest::newRow("not a date") << "Foo  1 2026" << "00:00:00" << QDateTime();
}

void TestMainWindow::buildDateParse()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QDateTime, expected);
    const QDateTime parsed = parseBuildDateTime(date, time);
    QCOMPARE(parsed.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(parsed, expected);
}

void TestMainWindow::builtTwiceWithoutWarnings()
{
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarnings);
    for (int round = 0; round < 2; ++round) {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

// Types carried by queued signals are registered by the window, so results of pool tasks arrive.
void TestMainWindow::poolSignalsReachTheWindowThread()
{
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarnings);
    MainWindow window;
    auto *tree = window.findChild<DataModel_Index *>();
    QVERIFY(tree);
    int arrived = 0;
    connect(tree, &DataModel_Index::showTimeSeries, &window, [&arrived](SampleInfo info) {
        QCOMPARE(info.LineNum, 3);
        ++arrived;
    });
    SampleInfo info;
    info.LineNum = 3;
    QFuture<void> task = QtConcurrent::run([tree, info] { emit tree->showTimeSeries(info); });
    task.waitForFinished();
    QTRY_COMPARE(arrived, 1);
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
}

void TestMainWindow::stateAfterConstruction()
{
    MainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Velkor"));
    QCOMPARE(window.minimumSize(), QSize(1050, 650));
    auto *tabBar = child<QTabBar>(window, "tabBar");
    QCOMPARE(tabBar->count(), 3);
    QCOMPARE(tabBar->tabText(0), QStringLiteral("工程管理"));
    QCOMPARE(tabBar->tabText(1), QStringLiteral("参数设置"));
    QCOMPARE(tabBar->tabText(2), QStringLiteral("采集任务"));
    QCOMPARE(tabBar->tabToolTip(2), QStringLiteral("ADS1282"));
    QCOMPARE(tabBar->cursor().shape(), Qt::PointingHandCursor);
    auto *pages = child<QStackedWidget>(window, "stackedWidget");
    QCOMPARE(pages->currentIndex(), 0);
    tabBar->setCurrentIndex(1);
    QCOMPARE(pages->currentIndex(), 1);

    QCOMPARE(child<QPushButton>(window, "btnMenu_Min")->toolTip(), QStringLiteral("最小化"));
    QCOMPARE(child<QPushButton>(window, "btnMenu_Close")->toolTip(), QStringLiteral("关闭"));

    // The no-project state once the event loop has run.
    auto *startSample = child<QToolButton>(window, "tbtnStartSample");
    QVERIFY(!startSample->isHidden());
    QTRY_VERIFY(startSample->isHidden());
    QVERIFY(child<QToolButton>(window, "tbtnNewProject")->isEnabled());
    QVERIFY(!child<QToolButton>(window, "tbtnCloseProject")->isEnabled());

    // Not connected, the time series in view, and nothing asked of the operator.
    QVERIFY(!child<QToolButton>(window, "tbtnConnectNetwork")->isHidden());
    QVERIFY(child<QToolButton>(window, "tbtnDisconnectNetwork")->isHidden());
    QVERIFY(child<QToolButton>(window, "tbtnPowerOff")->isHidden());
    QVERIFY(child<QToolButton>(window, "tbtnExportLog")->isHidden());
    QCOMPARE(child<QStackedWidget>(window, "stacked_SampleTask")->count(), 2);
    QCOMPARE(child<QStackedWidget>(window, "stacked_SampleTask")->currentIndex(), 0);
    QCOMPARE(child<QStackedWidget>(window, "stackedWidget_ViewSet")->currentIndex(), 0);
    QCOMPARE(child<QPushButton>(window, "btnMenu_Max")->text(), QStringLiteral("1"));
    QCOMPARE(prompt->count(), 0);
}

void TestMainWindow::versionAndNotice()
{
    MainWindow window;
    const QDateTime built = window.buildDateTime();
    QVERIFY(built.isValid());
    QCOMPARE(child<QLabel>(window, "label_Version")->text(),
             QStringLiteral("V1.0.1 (Build %1)").arg(built.toString("yyMMdd")));
    const QString notice = child<QLabel>(window, "label_CopyRight")->text();
    QVERIFY2(notice.contains(built.toString("yyyy")), qPrintable(notice));
    QVERIFY(!notice.contains('\n'));
    QVERIFY(child<QLabel>(window, "label_WebSite")->text().isEmpty());
}

void TestMainWindow::panelsInTheirPlaceholders()
{
    MainWindow window;
    QCOMPARE(child<QWidget>(window, "widgetStationInfo")->findChildren<Form_StationInfo *>().size(), 1);
    QCOMPARE(child<QWidget>(window, "pageSystemConfig")->findChildren<Form_SystemInfo *>().size(), 1);
    QCOMPARE(child<QStatusBar>(window, "statusBar")->findChildren<Form_StatusBar *>().size(), 1);

    // The system panel's chooser got a new pop-up view and still hides the developer's modes.
    auto *modes = child<QComboBox>(window, "comboBox_SampleMode");
    QCOMPARE(QString(modes->view()->metaObject()->className()), QStringLiteral("QListView"));
    auto *view = qobject_cast<QListView *>(modes->view());
    QVERIFY(view->isRowHidden(4));
    QVERIFY(view->isRowHidden(5));
}

void TestMainWindow::sampleButtons_data()
{
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("tbtnConnectNetwork") << QKeySequence(Qt::CTRL | Qt::Key_C) << "快捷键：ctrl+c";
    QTest::newRow("tbtnDisconnectNetwork") << QKeySequence(Qt::CTRL | Qt::Key_D) << "快捷键：ctrl+d";
    QTest::newRow("tbtnSampleTaskConfig") << QKeySequence(Qt::CTRL | Qt::Key_T) << "快捷键：ctrl+t";
    QTest::newRow("tbtnExportData") << QKeySequence(Qt::CTRL | Qt::Key_E) << "快捷键：ctrl+e";
    QTest::newRow("tbtnSwitchView") << QKeySequence() << "";
    QTest::newRow("tbtnLastSampleGroup") << QKeySequence() << "";
    QTest::newRow("tbtnPreSampleData") << QKeySequence(Qt::CTRL | Qt::Key_P) << "快捷键：ctrl+p";
    QTest::newRow("tbtnStartSample") << QKeySequence(Qt::CTRL | Qt::Key_Return) << "快捷键：ctrl+enter";
    QTest::newRow("tbtnStopSample") << QKeySequence(Qt::CTRL | Qt::Key_S) << "快捷键：ctrl+s";
    QTest::newRow("tbtnSave") << QKeySequence() << "";
    QTest::newRow("tbtnCancelSave") << QKeySequence() << "";
    QTest::newRow("tbtnPowerOff") << QKeySequence() << "";
}

void TestMainWindow::sampleButtons()
{
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, toolTip);
    MainWindow window;
    auto *button = child<QToolButton>(window, QTest::currentDataTag());
    QVERIFY(button);
    QCOMPARE(button->shortcut(), shortcut);
    QCOMPARE(button->toolTip(), toolTip);
}

void TestMainWindow::everyToolButtonShowsTextUnderIcon()
{
    MainWindow window;
    const QList<QToolButton *> buttons = window.findChildren<QToolButton *>(QRegularExpression("^tbtn"));
    QCOMPARE(buttons.size(), 21);
    for (QToolButton *button : buttons) {
        QCOMPARE(button->iconSize(), QSize(32, 32));
        QVERIFY(button->isCheckable());
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }
}

void TestMainWindow::lineAndStationEdits_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("six digits") << "123456" << true;
    QTest::newRow("minus and six digits") << "-123456" << true;
    QTest::newRow("one digit") << "0" << true;
    QTest::newRow("seven digits") << "1234567" << false;
    QTest::newRow("decimal point") << "12.5" << false;
    QTest::newRow("plus sign") << "+12" << false;
    QTest::newRow("letters") << "12a" << false;
}

void TestMainWindow::lineAndStationEdits()
{
    QFETCH(QString, input);
    QFETCH(bool, accepted);
    MainWindow window;
    for (const char *name : {"lineEdit_LineNum", "lineEdit_StationNum"}) {
        auto *edit = child<QLineEdit>(window, name);
        QVERIFY(edit->validator());
        QString text = input;
        int position = 0;
        QCOMPARE(edit->validator()->validate(text, position) == QValidator::Acceptable, accepted);
    }
    QVERIFY(child<QLineEdit>(window, "lineEdit_LineNum")->validator()
            != child<QLineEdit>(window, "lineEdit_StationNum")->validator());
}

void TestMainWindow::maximizeButtonFollowsTheWindow()
{
    MainWindow window;
    auto *button = child<QPushButton>(window, "btnMenu_Max");
    QCOMPARE(button->text(), QStringLiteral("1"));
    QCOMPARE(button->toolTip(), QStringLiteral("最大化"));
    const QImage maximizeIcon = button->icon().pixmap(20, 20).toImage();
    QVERIFY(!maximizeIcon.isNull());

    window.updateMaximizeButton(true);
    QCOMPARE(button->text(), QStringLiteral("2"));
    QCOMPARE(button->toolTip(), QStringLiteral("还原"));
    QVERIFY(button->icon().pixmap(20, 20).toImage() != maximizeIcon);

    window.updateMaximizeButton(false);
    QCOMPARE(button->text(), QStringLiteral("1"));
    QCOMPARE(button->toolTip(), QStringLiteral("最大化"));
    QCOMPARE(button->icon().pixmap(20, 20).toImage(), maximizeIcon);
}

void TestMainWindow::workSignalsAreDeclaredInOrder()
{
    MainWindow window;
    const QStringList expected{"projOpened()",     "sampleOver()",    "sampleStart()",        "samplStoped()",
                               "preSampleStart()", "preSampleOver()", "offlineSampleStart()", "offlineSampleOver()"};
    int previous = -1;
    for (const QString &signature : expected) {
        const int index = window.metaObject()->indexOfSignal(qPrintable(signature));
        QVERIFY2(index > previous, qPrintable(signature));
        previous = index;
    }

    // The run's phase moves the tool bar; the signals only tell observers.
    auto *startSample = child<QToolButton>(window, "tbtnStartSample");
    QTRY_VERIFY(startSample->isHidden());
    emit window.projOpened();
    QVERIFY(startSample->isHidden());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
