#include "dialogs/Dialog_DiskSpaceDelete.h"
#include "ScriptedPrompt.h"

#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

namespace {

const QByteArray projectList = "ProjectID:AMT_A ProjectName:North\r\nProjectID:AMT_B ProjectName:South\r\n";
// A: line 3 (stations 1), line 5 (stations 100, 110, 125.5); B: line 7 without stations; C unknown.
const QByteArray listing = "AMT_A/\r\nLine_3/\r\nPoint_1/\r\nLine_5/\r\nPoint_100/\r\nPoint_110/\r\nPoint_125.5/\r\n"
                           "AMT_B/\r\nLine_7/\r\nAMT_C/\r\nLine_x/\r\nPoint_2/\r\n";

// What a click on the item's check box does in the view.
void click(QStandardItem *item)
{
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

} // namespace

class TestDiskSpaceDelete : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeShowsListing();
    void stationChecksMoveUpward();
    void projectClickChecksEverything();
    void lineOnItsOwnLeavesProjectAndRequestEmpty();
    void yesEmitsExactRequest();
    void noEmitsNothingAndKeepsChecks();
    void cancelClosesThenEmits();
    void escapeAndTitleBarKeepItOpen();
    void repeatedListingsKeepOneModel();

private:
    QStandardItemModel *model() const { return qobject_cast<QStandardItemModel *>(dialog->findChild<QTreeView *>()->model()); }
    QStandardItem *item(int project, int line = -1, int station = -1) const;

    Dialog_DiskSpaceDelete *dialog = nullptr;
    ScriptedPrompt *prompt = nullptr;
};

void TestDiskSpaceDelete::init()
{
    prompt = new ScriptedPrompt;
    dialog = new Dialog_DiskSpaceDelete;
    QByteArray names = projectList;
    QByteArray text = listing;
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&text);
}

void TestDiskSpaceDelete::cleanup()
{
    delete dialog;
    delete prompt;
}

QStandardItem *TestDiskSpaceDelete::item(int project, int line, int station) const
{
    QStandardItem *it = model()->item(project);
    if (line >= 0)
        it = it->child(line);
    if (station >= 0)
        it = it->child(station);
    return it;
}

void TestDiskSpaceDelete::treeShowsListing()
{
    QCOMPARE(model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("工程列表"));
    QCOMPARE(model()->rowCount(), 3);
    QCOMPARE(item(0)->text(), QString("North  --  AMT_A"));
    QCOMPARE(item(2)->text(), QString("UnKnown  --  AMT_C"));
    QCOMPARE(item(0, 1, 2)->text(), QString("125.5"));
    QVERIFY(item(0)->isAutoTristate());
    QVERIFY(!item(0, 1, 0)->isAutoTristate());
    // An unparsable line and everything under it cannot be checked.
    QCOMPARE(item(2, 0)->text(), QString("x"));
    QVERIFY(!item(2, 0)->isCheckable());
    QVERIFY(!item(2, 0, 0)->isCheckable());
}

void TestDiskSpaceDelete::stationChecksMoveUpward()
{
    click(item(0, 1, 0));
    QCOMPARE(item(0, 1)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(item(0)->checkState(), Qt::PartiallyChecked);
    click(item(0, 1, 1));
    click(item(0, 1, 2));
    QCOMPARE(item(0, 1)->checkState(), Qt::Checked);
    QCOMPARE(item(0)->checkState(), Qt::PartiallyChecked); // line 3 is still unchecked
    click(item(0, 0, 0));
    QCOMPARE(item(0, 0)->checkState(), Qt::Checked);
    QCOMPARE(item(0)->checkState(), Qt::Checked);
}

void TestDiskSpaceDelete::projectClickChecksEverything()
{
    click(item(0, 1, 0));
    QCOMPARE(item(0)->checkState(), Qt::PartiallyChecked);
    click(item(0));
    QCOMPARE(item(0)->checkState(), Qt::Checked);
    for (int line = 0; line < 2; ++line) {
        QCOMPARE(item(0, line)->checkState(), Qt::Checked);
        for (int s = 0; s < item(0, line)->rowCount(); ++s)
            QCOMPARE(item(0, line, s)->checkState(), Qt::Checked);
    }
    click(item(0, 0));
    QCOMPARE(item(0)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(item(0, 1, 2)->checkState(), Qt::Checked);
}

void TestDiskSpaceDelete::lineOnItsOwnLeavesProjectAndRequestEmpty()
{
    QSignalSpy requested(dialog, &Dialog_DiskSpaceDelete::signalDeletePushButtonClicked);
    click(item(1, 0));
    QCOMPARE(item(1, 0)->checkState(), Qt::Checked);
    QCOMPARE(item(1)->checkState(), Qt::Unchecked);
    dialog->onDelete();
    QCOMPARE(requested.count(), 0);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Warning);
    QCOMPARE(prompt->last().title, QString::fromUtf8("提醒"));
    QCOMPARE(prompt->last().text, QString::fromUtf8("未选择任何删除项,请设置！"));
}

void TestDiskSpaceDelete::yesEmitsExactRequest()
{
    QByteArray received;
    connect(dialog, &Dialog_DiskSpaceDelete::signalDeletePushButtonClicked, this,
            [&](QByteArray *request) { received = *request; });
    click(item(0, 0));
    click(item(0, 1, 0));
    click(item(0, 1, 2));
    click(item(1));
    prompt->expectYes();
    dialog->onDelete();
    QCOMPARE(prompt->last().kind, PromptRequest::Question);
    QCOMPARE(prompt->last().title, QString::fromUtf8("温馨提示"));
    QCOMPARE(prompt->last().text, QString::fromUtf8("确认要删除仪器内部空间中所选的数据(工程/线/点)?"));
    QCOMPARE(received, QByteArray("ProjectID=AMT_A\r\nLineNum=3\r\nStationNum=ALL\r\nLineNum=5\r\nStationNum=100\r\n"
                                  "StationNum=125.5\r\nProjectID=AMT_B\r\nLineNum=ALL\r\nStationNum=ALL\r\n"));
}

void TestDiskSpaceDelete::noEmitsNothingAndKeepsChecks()
{
    QSignalSpy requested(dialog, &Dialog_DiskSpaceDelete::signalDeletePushButtonClicked);
    click(item(0));
    dialog->show();
    prompt->expectNo();
    dialog->onDelete();
    QCOMPARE(requested.count(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(item(0)->checkState(), Qt::Checked);
}

void TestDiskSpaceDelete::cancelClosesThenEmits()
{
    bool visibleAtSignal = true;
    connect(dialog, &Dialog_DiskSpaceDelete::signalDeleteCancelPushButtonClicked, this,
            [&] { visibleAtSignal = dialog->isVisible(); });
    QTimer::singleShot(0, dialog, [&] { dialog->onDeleteCancel(); });
    dialog->diskSpaceDeleteDialogShow();
    QVERIFY(!visibleAtSignal);
    QCOMPARE(model()->rowCount(), 0);
}

void TestDiskSpaceDelete::escapeAndTitleBarKeepItOpen()
{
    dialog->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog, &escape);
    QVERIFY(dialog->isVisible());
    dialog->close();
    QVERIFY(dialog->isVisible());
    dialog->mayClose = true;
    dialog->close();
    QVERIFY(!dialog->isVisible());
}

void TestDiskSpaceDelete::repeatedListingsKeepOneModel()
{
    QPointer<QStandardItemModel> first = model();
    for (int i = 0; i < 50; ++i) {
        QByteArray text = listing;
        dialog->parseDeviceFileList(&text);
    }
    QVERIFY(first.isNull());
    QCOMPARE(dialog->findChild<QTreeView *>()->findChildren<QStandardItemModel *>().size(), 1);
    QCOMPARE(model()->rowCount(), 3);
    QByteArray empty;
    dialog->parseDeviceFileList(&empty); // ignored
    QCOMPARE(model()->rowCount(), 3);
    dialog->clearProjectTree();
    QCOMPARE(model()->rowCount(), 0);
}

QTEST_MAIN(TestDiskSpaceDelete)
#include "tst_disk_space_delete.moc"
