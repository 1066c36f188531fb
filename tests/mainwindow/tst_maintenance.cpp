#include "ConnectedWindow.h"

#include "common/AMTMessageIds.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_DiskSpaceDelete.h"
#include "link/LibCom.h"
#include "mainwindow/DeveloperPassword.h"
#include "mainwindow/MainWindow.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

const QByteArray testSalt("maintenance-test");
const QString testPassword("tiny-secret");

QStandardItemModel *storageTree(Dialog_DiskSpaceDelete *dialog)
{
    return qobject_cast<QStandardItemModel *>(dialog->findChild<QTreeView *>()->model());
}

// The tree's entries, depth first.
QStringList entries(const QStandardItem *parent)
{
    QStringList texts;
    for (int row = 0; row < parent->rowCount(); ++row) {
        texts << parent->child(row)->text();
        texts << entries(parent->child(row));
    }
    return texts;
}

// Checks the station entry of the given text under the first line of the first project.
void checkStation(Dialog_DiskSpaceDelete *dialog, const QString &station)
{
    QStandardItem *line = storageTree(dialog)->item(0)->child(0);
    for (int row = 0; row < line->rowCount(); ++row) {
        if (line->child(row)->text() == station)
            line->child(row)->setCheckState(Qt::Checked);
    }
}

template <class Widget>
bool visibleTopLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<Widget *>(widget) && widget->isVisible())
            return true;
    }
    return false;
}

bool progressShown()
{
    return visibleTopLevel<QProgressDialog>();
}

} // namespace

class TestMaintenance : public QObject
{
    Q_OBJECT
private slots:
    void init() { DeveloperPassword::installed() = DeveloperPassword(testSalt, DeveloperPassword::digestOf(testSalt, testPassword).toHex()); }
    void cleanup() { DeveloperPassword::installed() = DeveloperPassword(); }

    void developerModeAfterSevenClicks()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        auto *exportLog = w.window->findChild<QToolButton *>("tbtnExportLog");
        ScriptedPrompt &prompt = w.fixture.prompt();

        prompt.expectText("wrong");
        for (int click = 1; click <= 7; ++click)
            w.window->onTryDeveloperMode();
        QCOMPARE(prompt.count(), 1);
        QCOMPARE(prompt.last().kind, PromptRequest::Password);
        QCOMPARE(prompt.last().title, QString("密码验证"));
        QVERIFY(exportLog->isHidden());
        QVERIFY(w.notices().isEmpty());

        prompt.expectText(testPassword);
        for (int click = 1; click <= 6; ++click)
            w.window->onTryDeveloperMode();
        QCOMPARE(prompt.count(), 1); // a new count of seven after the wrong password
        w.window->onTryDeveloperMode();
        QCOMPARE(prompt.count(), 2);
        QVERIFY(!exportLog->isHidden());
        QCOMPARE(w.notices(), QStringList{"欢迎进入开发者模式！"});

        w.window->onTryDeveloperMode();
        QVERIFY(exportLog->isHidden());

        // A cancelled question changes nothing; the built-in password is not the test's.
        DeveloperPassword::installed() = DeveloperPassword();
        prompt.expectText(testPassword);
        for (int click = 1; click <= 6; ++click)
            w.window->onTryDeveloperMode();
        QVERIFY(exportLog->isHidden());
    }

    // The program's own password, typed into the real question after seven clicks on the logo.
    void builtInPasswordTypedOpensDeveloperMode()
    {
        DeveloperPassword::installed() = DeveloperPassword();
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.window->show();
        OperatorPrompt::setHandler(nullptr);
        actWhenShown<QInputDialog>(w.window.get(), [](QInputDialog *dialog) {
            auto *field = dialog->findChild<QLineEdit *>();
            QTest::keyClicks(field, "40731952");
            QTest::keyClick(field, Qt::Key_Return);
        });
        auto *logo = w.window->findChild<QPushButton *>("labIco");
        for (int click = 1; click <= 7; ++click)
            QTest::mouseClick(logo, Qt::LeftButton);
        OperatorPrompt::setHandler(&w.fixture.prompt());
        QVERIFY(!w.window->findChild<QToolButton *>("tbtnExportLog")->isHidden());
        QCOMPARE(w.notices(), QStringList{"欢迎进入开发者模式！"});
    }

    void logSavedByteForByte()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        const QString logPath = w.fixture.appDir() + "/TempFile/syslog.txt";
        for (qint64 bytes : {qint64(5000), qint64(700)}) {
            w.fixture.simulator().settings().logBytes = bytes;
            w.fixture.prompt().expectYes();
            w.clearNotices();
            w.window->onSlotExportLogFileAction();
            QVERIFY(E2eFixture::waitUntil([&] { return w.notices().contains("系统日志导出成功！"); }));
            QCOMPARE(fileContents(logPath), AMTSimulator::logText(bytes));
        }
        QCOMPARE(w.fixture.prompt().last().text, QString("请确认是否导出Log文件?"));
    }

    // A log that cannot be stored is reported, and the instrument still gets its connection back.
    void logThatCannotBeWritten()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        QDir(w.fixture.appDir() + "/TempFile").removeRecursively();
        QFile blocker(w.fixture.appDir() + "/TempFile");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        w.fixture.prompt().expectYes();
        w.window->onSlotExportLogFileAction();
        QVERIFY(E2eFixture::waitUntil([&] { return w.fixture.prompt().last().text == "系统日志保存失败！"; }));
        QVERIFY(w.notices().isEmpty());
    }

    void formatNeedsTheExactWord_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("sent");
        QTest::newRow("word") << true << "恢复" << true;
        QTest::newRow("trailing space") << true << "恢复 " << false;
        QTest::newRow("pre-filled text") << true << "请认真阅读上方文字" << false;
        QTest::newRow("cancelled") << false << "恢复" << false;
    }
    void formatNeedsTheExactWord()
    {
        QFETCH(bool, confirmed);
        QFETCH(QString, typed);
        QFETCH(bool, sent);
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        if (confirmed)
            w.fixture.prompt().expectText(typed);
        else
            w.fixture.prompt().expectCancel();
        w.window->onSlotSDCardFormatAction();
        QCOMPARE(w.fixture.prompt().last().initial, QString("请认真阅读上方文字"));
        if (sent) {
            QVERIFY(E2eFixture::waitUntil([&] { return w.notices().contains("仪器正在进行恢复出厂设置！"); }));
            return;
        }
        // A status request makes a round trip after which a format request would have arrived.
        w.com->sendGetMachineStatus();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        QCOMPARE(w.sentCount(AMT_CMD_SDCARD_FORMAT), 0);
    }

    void unconnectedOperationsWarn()
    {
        E2eFixture fixture;
        QVERIFY2(fixture.setUp(), qPrintable(fixture.error()));
        MainWindow::setApplicationDirOverride(fixture.appDir());
        MainWindow window;
        window.onSlotMachineSettingAction();
        window.onSlotSystemUpdateAction();
        window.onSlotSDCardFormatAction();
        window.onSlotExportLogFileAction();
        QCOMPARE(fixture.promptTexts(), QStringList() << "请先连接网络！" << "请先连接网络！" << "请先连接网络！" << "请先连接网络！");
    }

    // One station checked in the instrument's listing and deleted: the request's bytes reach the
    // instrument, and the storage dialog comes back with a listing without that station.
    void deletedStationLeavesTheListing()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        SimStorage &storage = w.fixture.simulator().storage();
        for (int station : {10, 20}) {
            SimStoredGroup group;
            group.key = {"AMT_DEL", 3, station};
            storage.add(group);
        }
        storage.setProjectName("AMT_DEL", "DEL");
        QStringList listed, relisted;
        actWhenShown<Dialog_DiskSpaceDelete>(w.window.get(), [&](Dialog_DiskSpaceDelete *dialog) {
            listed = entries(storageTree(dialog)->invisibleRootItem());
            checkStation(dialog, "20");
            w.fixture.prompt().expectYes();
            dialog->onDelete();
            actWhenShown<Dialog_DiskSpaceDelete>(w.window.get(), [&](Dialog_DiskSpaceDelete *again) {
                relisted = entries(storageTree(again)->invisibleRootItem());
                again->onDeleteCancel();
            });
        });
        w.fixture.prompt().expectYes();
        w.window->onSlotMachineSettingAction();
        QVERIFY2(E2eFixture::waitUntil([&] { return !relisted.isEmpty(); }, 20000),
                 qPrintable(w.fixture.promptTexts().join("|")));
        QCOMPARE(listed, QStringList({"DEL  --  AMT_DEL", "3", "10", "20"}));
        const QList<SimJournalEntry> requests = w.fixture.simulator().journal().received(AMT_CMD_DATA_DELETE);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().payload(), QByteArray("ProjectID=AMT_DEL\r\nLineNum=3\r\nStationNum=20\r\n"));
        QCOMPARE(relisted, QStringList({"DEL  --  AMT_DEL", "3", "10"}));
        QCOMPARE(storage.count({"AMT_DEL", 3, 20}), 0);
        QVERIFY(!progressShown());
    }

    // The instrument answers the storage listing twice: the storage dialog opens once.
    void repeatedListingOpensNoSecondDialog()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        SimFault twice;
        QString error;
        QVERIFY2(SimFault::parse("msg=DISK_SPACE_FILE on=control nth=1 fault=duplicate", &twice, &error),
                 qPrintable(error));
        w.fixture.simulator().faults().add(twice);
        SimStoredGroup group;
        group.key = {"AMT_TWO", 1, 10};
        w.fixture.simulator().storage().add(group);
        int shown = 0;
        std::function<void(Dialog_DiskSpaceDelete *)> cancel = [&](Dialog_DiskSpaceDelete *dialog) {
            ++shown;
            actWhenShown<Dialog_DiskSpaceDelete>(w.window.get(), cancel);
            dialog->onDeleteCancel();
        };
        actWhenShown<Dialog_DiskSpaceDelete>(w.window.get(), cancel);
        w.fixture.prompt().expectYes();
        w.window->onSlotMachineSettingAction();
        QVERIFY(E2eFixture::waitUntil([&] { return shown > 0; }));
        // The repeated answer was sent right behind the first, before the status answer.
        QSignalSpy reports(w.com, &LibCom::AMTMachineStatus);
        w.com->sendGetMachineStatus();
        QVERIFY(E2eFixture::waitUntil([&] {
            return !reports.isEmpty() && !visibleTopLevel<Dialog_DiskSpaceDelete>();
        }));
        QCOMPARE(shown, 1);
    }

    // While the instrument deletes, power off waits; once the operator has closed the busy dialog
    // of a deletion the instrument never confirms, it is offered again.
    void closedDeletionWaitEndsTheMaintenance()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        SimFault drop;
        QString error;
        QVERIFY2(SimFault::parse("msg=DATA_DELETE on=control nth=1 fault=drop", &drop, &error), qPrintable(error));
        w.fixture.simulator().faults().add(drop);
        QByteArray request("ProjectID=AMT_DEL\r\nLineNum=3\r\nStationNum=20\r\n");
        w.window->onSlotInstrumentDiskSpaceDelete(&request);
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_DATA_DELETE));
        w.window->onSlotPowerOffAction();
        QCOMPARE(w.fixture.prompt().last().text,
                 QString("<p>请在仪器空闲时进行关机！</p><p>或者当前数据<strong>未保存</strong></p>"));

        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog *>(widget) && widget->isVisible())
                widget->close();
        }
        w.fixture.prompt().expectYes(); // the power off is asked first
        w.window->onSlotPowerOffAction();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_POWER_OFF));
    }

    // The instrument is ready to send its log, but the log connection cannot be started (the
    // settings name a base port whose log port wraps to 0): a box says so and the status poll,
    // stopped for the export, runs again.
    void logConnectionThatCannotStart()
    {
        ConnectedWindow w;
        w.settingsPort = 65530;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.window->setTimerIntervals(200, 20000);
        w.fixture.prompt().expectYes();
        w.window->onSlotExportLogFileAction();
        QVERIFY(E2eFixture::waitUntil([&] { return w.fixture.prompt().last().text == "日志端口未成功连接！"; }));
        QCOMPARE(w.fixture.prompt().last().title, QString("通讯出错"));
        QVERIFY(!progressShown());
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
    }

    void powerOffWhenIdle()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.fixture.prompt().expectYes(); // the power off is asked first
        w.window->onSlotPowerOffAction();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_POWER_OFF));
        // The instrument going off drops the link, which the window reports; no refusal is shown.
        for (const QString &text : w.fixture.promptTexts())
            QVERIFY2(!text.contains("请在仪器空闲时进行关机"), qPrintable(text));
    }
};

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
