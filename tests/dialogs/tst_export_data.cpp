#include "dialogs/Dialog_ExportData.h"
#include "ScriptedPrompt.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

namespace {

const QByteArray listing = "AMT_1/\nLine_3/\nPoint_100/\nPoint_125/\nLine_4/\nPoint_7/\nAMT_2/\nLine_9/\nPoint_1/\n";

} // namespace

class TestExportData : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nameConflictEmitsInstrumentName();
    void missingIdIsAppended();
    void absentProjectOffersNothing();
    void allLinesAndLineWithAllStations();
    void lineAndStation();
    void preselectionAndItsReset();
    void cancelEmptiesTheBoxes();
    void titleBarKeepsOpenEscapeRejects();
    void listingWhileOpen_data();
    void listingWhileOpen();

private:
    void load(const QByteArray &projects);
    // Shows the dialog, runs the action while it is open, and returns when it has closed.
    void showAndRun(const QString &name, const QString &id, const std::function<void()> &action);
    QComboBox *combo(const char *name) const { return dialog->findChild<QComboBox *>(name); }

    Dialog_ExportData *dialog = nullptr;
    ScriptedPrompt *prompt = nullptr;
    QSignalSpy *chosen = nullptr;
};

void TestExportData::init()
{
    prompt = new ScriptedPrompt;
    dialog = new Dialog_ExportData;
    chosen = new QSignalSpy(dialog, &Dialog_ExportData::signalExportDataSelectLineStation);
}

void TestExportData::cleanup()
{
    delete chosen;
    delete dialog;
    delete prompt;
}

void TestExportData::load(const QByteArray &projects)
{
    QByteArray names = projects;
    QByteArray text = listing;
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&text);
}

void TestExportData::showAndRun(const QString &name, const QString &id, const std::function<void()> &action)
{
    QTimer::singleShot(0, dialog, [this, action] {
        action();
        if (dialog->isVisible())
            dialog->reject();
    });
    dialog->exportDataDialogShow(name, id);
}

void TestExportData::nameConflictEmitsInstrumentName()
{
    load("ProjectID:AMT_1 ProjectName:OnDevice\n");
    showAndRun("Local", "AMT_1", [this] { dialog->onExportDara(); });
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Information);
    QCOMPARE(prompt->last().title, QString::fromUtf8("提示"));
    QCOMPARE(prompt->last().text, QString::fromUtf8("Local与工程OnDevice的工程ID相同。\n请检查！"));
    QCOMPARE(chosen->count(), 1);
    QCOMPARE(chosen->at(0).at(0).toString(), QString("OnDevice"));
    QCOMPARE(chosen->at(0).at(1).toString(), QString("AMT_1"));
    QCOMPARE(dialog->getProjectName(), QString("OnDevice"));
}

void TestExportData::missingIdIsAppended()
{
    load("ProjectID:AMT_2 ProjectName:Other\n");
    QStringList projects, lines;
    showAndRun("Mine", "AMT_1", [&] {
        for (int i = 0; i < combo("comboBox_ProjectName")->count(); ++i)
            projects << combo("comboBox_ProjectName")->itemText(i);
        for (int i = 0; i < combo("comboBox_SelectLine")->count(); ++i)
            lines << combo("comboBox_SelectLine")->itemText(i);
    });
    QCOMPARE(prompt->count(), 0);
    QCOMPARE(projects, QStringList({"Other", "Mine"}));
    QCOMPARE(combo("comboBox_ProjectName")->currentText(), QString("Mine"));
    QCOMPARE(lines, QStringList({QString::fromUtf8("所有线"), "3", "4"}));
    QCOMPARE(dialog->getDeviceProjectList().at(0).projectName, QString("Mine"));
}

void TestExportData::absentProjectOffersNothing()
{
    load("ProjectID:AMT_7 ProjectName:Seven\n");
    bool stillOpen = false;
    showAndRun("Seven", "AMT_7", [&] {
        dialog->onExportDara();
        stillOpen = dialog->isVisible();
    });
    QVERIFY(stillOpen);
    QCOMPARE(chosen->count(), 0);
    QCOMPARE(combo("comboBox_SelectLine")->count(), 0);
}

void TestExportData::allLinesAndLineWithAllStations()
{
    load("ProjectID:AMT_1 ProjectName:P\n");
    showAndRun("P", "AMT_1", [this] {
        combo("comboBox_SelectLine")->setCurrentIndex(0);
        dialog->onExportDara();
    });
    showAndRun("P", "AMT_1", [this] {
        combo("comboBox_SelectLine")->setCurrentIndex(1);
        combo("comboBox_SelectStation")->setCurrentIndex(0);
        dialog->onExportDara();
    });
    QCOMPARE(chosen->count(), 2);
    QCOMPARE(chosen->at(0).at(2).toInt(), 2147483647);
    QCOMPARE(chosen->at(0).at(3).toDouble(), 2147483647.0);
    QCOMPARE(chosen->at(1).at(2).toInt(), 3);
    QCOMPARE(chosen->at(1).at(3).toDouble(), 2147483647.0);
}

void TestExportData::lineAndStation()
{
    load("ProjectID:AMT_1 ProjectName:P\n");
    QStringList stations;
    showAndRun("P", "AMT_1", [&] {
        combo("comboBox_SelectLine")->setCurrentIndex(1);
        for (int i = 0; i < combo("comboBox_SelectStation")->count(); ++i)
            stations << combo("comboBox_SelectStation")->itemText(i);
        combo("comboBox_SelectStation")->setCurrentIndex(2);
        dialog->onExportDara();
    });
    QCOMPARE(stations, QStringList({QString::fromUtf8("所有点"), "100", "125"}));
    QCOMPARE(chosen->at(0).at(2).toInt(), 3);
    QCOMPARE(chosen->at(0).at(3).toDouble(), 125.0);
}

void TestExportData::preselectionAndItsReset()
{
    load("ProjectID:AMT_1 ProjectName:P\n");
    dialog->setLineStation({4, 7.0});
    QString line, station;
    auto look = [&] {
        line = combo("comboBox_SelectLine")->currentText();
        station = combo("comboBox_SelectStation")->currentText();
    };
    showAndRun("P", "AMT_1", [&] {
        look();
        dialog->onExportDara();
    });
    QCOMPARE(line, QString("4"));
    QCOMPARE(station, QString("7"));
    QCOMPARE(chosen->at(0).at(3).toDouble(), 7.0);
    showAndRun("P", "AMT_1", look); // a confirm resets the preselection
    QCOMPARE(line, QString::fromUtf8("所有线"));
    QCOMPARE(station, QString::fromUtf8("所有点"));
    dialog->setLineStation({99, 1.0});
    showAndRun("P", "AMT_1", look);
    QCOMPARE(line, QString::fromUtf8("所有线"));
}

void TestExportData::cancelEmptiesTheBoxes()
{
    load("ProjectID:AMT_1 ProjectName:P\n");
    showAndRun("P", "AMT_1", [this] { dialog->onCancelExport(); });
    QCOMPARE(chosen->count(), 0);
    QCOMPARE(combo("comboBox_SelectLine")->count(), 0);
    QVERIFY(dialog->getDeviceProjectList().isEmpty());
    int lines = -1;
    showAndRun("P", "AMT_1", [&] { lines = combo("comboBox_SelectLine")->count(); });
    QCOMPARE(lines, 0);
}

void TestExportData::titleBarKeepsOpenEscapeRejects()
{
    dialog->show();
    dialog->close();
    QVERIFY(dialog->isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog, &escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(chosen->count(), 0);
}

void TestExportData::listingWhileOpen_data()
{
    QTest::addColumn<QByteArray>("newListing");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("station");

    QTest::newRow("choice still listed") << listing << "4" << "7";
    QTest::newRow("station gone") << QByteArray("AMT_1/\nLine_3/\nPoint_100/\nLine_4/\nPoint_8/\n") << "4"
                                  << QString::fromUtf8("所有点");
    QTest::newRow("line gone") << QByteArray("AMT_1/\nLine_3/\nPoint_100/\n") << QString::fromUtf8("所有线")
                               << QString::fromUtf8("所有点");
}

// A listing that arrives while the dialog is open (with a name conflict) rebuilds its boxes only:
// no second box, no second modal loop, and the operator's choice stays where it is still listed.
void TestExportData::listingWhileOpen()
{
    QFETCH(QByteArray, newListing);
    QFETCH(QString, line);
    QFETCH(QString, station);
    const QByteArray projects = "ProjectID:AMT_1 ProjectName:OnDevice\n";
    load(projects);

    bool inSecondShow = false;
    bool nested = false;
    QString shownLine, shownStation;
    showAndRun("Local", "AMT_1", [&] {
        combo("comboBox_SelectLine")->setCurrentIndex(combo("comboBox_SelectLine")->findText("4"));
        combo("comboBox_SelectStation")->setCurrentIndex(combo("comboBox_SelectStation")->findText("7"));
        QTimer::singleShot(0, dialog, [&] {
            nested = inSecondShow;
            if (nested)
                dialog->reject();
        });
        QByteArray names = projects;
        QByteArray text = newListing;
        dialog->parseProjectNameList(&names);
        dialog->parseDeviceFileList(&text);
        inSecondShow = true;
        dialog->exportDataDialogShow("Local", "AMT_1");
        inSecondShow = false;
        shownLine = combo("comboBox_SelectLine")->currentText();
        shownStation = combo("comboBox_SelectStation")->currentText();
    });
    QVERIFY(!nested);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(shownLine, line);
    QCOMPARE(shownStation, station);
}

QTEST_MAIN(TestExportData)
#include "tst_export_data.moc"
