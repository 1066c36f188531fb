#include "ProjectBuilder.h"
#include "ScriptedPrompt.h"
#include "StoreTestSupport.h"
#include "TestFiles.h"

#include "common/Clock.h"
#include "dialogs/Dialog_NewProject.h"
#include "projectdata/DataModel_Index.h"
#include "store/LibHORM.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// "7[5,12.5[4000Hz]] 9[]": the items' texts, children in brackets.
QString dump(QTreeWidgetItem *item)
{
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children << dump(item->child(i));
    return item->text(0) + (children.isEmpty() && item->parent() && item->parent()->parent() ? QString()
                                                                                            : "[" + children.join(',') + "]");
}

QString dump(QTreeWidget &tree)
{
    QStringList lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        lines << dump(tree.topLevelItem(i));
    return lines.join(' ');
}

// Fills a project from "7:30,5,12.5/4000/277780;9:" (line:station/rate/rate,station;line:).
void build(ProjectBuilder &builder, const QString &layout)
{
    for (const QString &lineLayout : layout.split(';', Qt::SkipEmptyParts)) {
        Data_Line *line = builder.addLine(lineLayout.section(':', 0, 0).toInt());
        for (const QString &stationSpec : lineLayout.section(':', 1).split(',', Qt::SkipEmptyParts)) {
            const QStringList parts = stationSpec.split('/');
            Data_Station *station = builder.addStation(line, parts.first().toDouble());
            for (const QString &rate : parts.mid(1))
                builder.addRecording(station, rate.toInt());
        }
    }
}

} // namespace

class TestTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newProjectFromTheDialog();
    void newProjectReplacesAnOldProjectConfig();
    void refusedFiles_data();
    void refusedFiles();
    void damagedDatabaseIsRefusedUntouched_data();
    void damagedDatabaseIsRefusedUntouched();
    void nothingBeforeAProject();
    void treeFollowsTheStoredOrder_data();
    void treeFollowsTheStoredOrder();
    void doubleClicks();
    void unreadableRecordingRowIsTold_data();
    void unreadableRecordingRowIsTold();
    void closeAndReopen();

private:
    QString makeNewProject();
    QString makeProject(const QString &name, const QString &layout);
    bool open(const QString &file);
    void doubleClick(QTreeWidgetItem *item);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<Dialog_NewProject> dialog;
    std::unique_ptr<DataModel_Index> tree;
};

void TestTree::initTestCase()
{
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    Clock::set(QDateTime(QDate(2026, 1, 2), QTime(8, 9, 10)));
}

void TestTree::init()
{
    dir = std::make_unique<QTemporaryDir>();
    prompt = std::make_unique<ScriptedPrompt>();
    dialog = std::make_unique<Dialog_NewProject>();
    tree = std::make_unique<DataModel_Index>();
    tree->setNewProjectDialog(dialog.get());
}

void TestTree::cleanup()
{
    tree.reset();
    dialog.reset();
    prompt.reset();
}

// Confirms the new-project dialog; the path of the database it names.
QString TestTree::makeNewProject()
{
    dialog->findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(dir->path());
    dialog->findChild<QLineEdit *>("lineEdit_ProjectName")->setText("North");
    dialog->findChild<QLineEdit *>("lineEdit_ProjectArea")->setText(QString::fromUtf8("北京Area1"));
    dialog->findChild<QDateEdit *>("dateEdit_ProjectTime")->setDate(QDate(2026, 1, 2));
    dialog->findChild<QLineEdit *>("lineEdit_OperatorName")->setText(QString::fromUtf8("张三"));
    dialog->NewProject();
    return dialog->getProjectPath();
}

// A project database filled as saving runs fills it.
QString TestTree::makeProject(const QString &name, const QString &layout)
{
    const QString file = dir->filePath(name + "/" + name + ".HMT");
    QDir().mkpath(QFileInfo(file).path());
    LibHORM store;
    if (!store.openSqlite(file))
        return QString();
    ProjectBuilder builder(store);
    build(builder, layout);
    return file;
}

bool TestTree::open(const QString &file)
{
    auto store = std::make_unique<LibHORM>();
    if (!store->openSqlite(file))
        return false;
    tree->setProjectDir(QFileInfo(file).path());
    if (!tree->loadProject(store.get()))
        return false;
    store.release();
    return true;
}

void TestTree::doubleClick(QTreeWidgetItem *item)
{
    // The view takes a double click only on the item that the first press hit.
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void TestTree::newProjectFromTheDialog()
{
    const QString file = makeNewProject();
    QSignalSpy header(tree.get(), &DataModel_Index::signalLoadProjectConfig);
    QSignalSpy last(tree.get(), &DataModel_Index::signalLoadLastLineStationNum);
    QSignalSpy changed(tree.get(), &DataModel_Index::signalModelChange);
    QVERIFY(open(file));

    const QString configFile = dir->filePath("North/projectConfig.ini");
    QCOMPARE(tree->getProjectConfigFilePath(), configFile);
    QCOMPARE(TestFiles::read(configFile), QString::fromUtf8("ProjectID=AMT_2026_01_02_08_09\r\nProjectName=North\r\n"
                                                    "ProjectAddress=北京Area1\r\nProjectDate=2026-01-02\r\n"
                                                    "OperatorName=张三\r\n")
                                      .toUtf8());
    QCOMPARE(header.count(), 1);
    const ProjectConfig config = header.first().first().value<ProjectConfig>();
    QCOMPARE(config.ProjectId, QString("AMT_2026_01_02_08_09"));
    QCOMPARE(config.ProjectDate, QDate(2026, 1, 2));
    QCOMPARE(last.count(), 0);
    QCOMPARE(changed.count(), 1);
    QVERIFY(tree->isProjectEmpty());
    QCOMPARE(prompt->count(), 0);
    tree->closeProject();

    QCOMPARE(sqliteCli(file, "SELECT ProjectId, ProjectName, ProjectDate, OperatorName FROM Data_Project;"),
             QString::fromUtf8("AMT_2026_01_02_08_09|North|1767283200|张三"));
    QCOMPARE(sqliteCli(file, "PRAGMA integrity_check;"), QString("ok"));

    // Opened again, the header comes from the database and the file is not rewritten.
    QVERIFY(TestFiles::write(configFile, "ProjectID=edited\r\n"));
    QVERIFY(open(file));
    QCOMPARE(TestFiles::read(configFile), QByteArray("ProjectID=edited\r\n"));
    QCOMPARE(header.last().first().value<ProjectConfig>().OperatorName, QString::fromUtf8("张三"));
    QCOMPARE(sqliteCli(file, "SELECT count(*) FROM Data_Project;"), QString("1"));
}

// A file left by a former project in the folder would give the instrument another project's header.
void TestTree::newProjectReplacesAnOldProjectConfig()
{
    const QString file = makeNewProject();
    QVERIFY(TestFiles::write(dir->filePath("North/projectConfig.ini"), "ProjectID=old"));
    QVERIFY(open(file));
    QVERIFY(TestFiles::read(dir->filePath("North/projectConfig.ini")).startsWith("ProjectID=AMT_2026_01_02_08_09\r\n"));
    QCOMPARE(sqliteCli(file, "SELECT ProjectId FROM Data_Project;"), QString("AMT_2026_01_02_08_09"));
}

void TestTree::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("madeByTheDialog");
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator generator(20260102);
    for (char &byte : noise)
        byte = char(generator.bounded(256));
    QTest::newRow("random bytes") << noise << false;
    QTest::newRow("empty database") << QByteArray() << false;
    // The tables cannot be made in it.
    QTest::newRow("random bytes at the new project's path") << noise << true;
}

void TestTree::refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, madeByTheDialog);
    const QString made = makeNewProject();
    const QString file = madeByTheDialog ? made : dir->filePath("other.HMT");
    QVERIFY(TestFiles::write(file, content));
    QSignalSpy header(tree.get(), &DataModel_Index::signalLoadProjectConfig);
    QSignalSpy changed(tree.get(), &DataModel_Index::signalModelChange);

    QVERIFY(!open(file));
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Warning);
    QVERIFY(prompt->last().text.contains(QFileInfo(file).fileName()));
    QCOMPARE(header.count() + changed.count(), 0);
    QCOMPARE(TestFiles::read(file), content);
    QVERIFY(!QFile::exists(dir->filePath("projectConfig.ini")));
    QVERIFY(!QFile::exists(dir->filePath("North/projectConfig.ini")));
    // The tree stays usable for the next project.
    QVERIFY(open(makeProject("Next", "1:1")));
    QCOMPARE(dump(*tree), QString("1[1[]]"));
}

void TestTree::damagedDatabaseIsRefusedUntouched_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("station table") << "Data_Station";
    QTest::newRow("recording table") << "Data_SampleData";
    QTest::newRow("project table") << "Data_Project";
}

// Random bytes over a table's page: the project is refused as damaged and the file left as it was,
// never opened with its stations missing.
void TestTree::damagedDatabaseIsRefusedUntouched()
{
    QFETCH(QString, table);
    const QString file = makeProject("P", "7:30,5,12.5/4000/250;8:2");
    const int pageSize = sqliteCli(file, "PRAGMA page_size;").toInt();
    const int page = sqliteCli(file, "SELECT rootpage FROM sqlite_master WHERE name = '" + table + "';").toInt();
    QVERIFY(pageSize > 0 && page > 1);
    QByteArray bytes = TestFiles::read(file);
    QRandomGenerator generator(20260102);
    for (int i = 0; i < pageSize; ++i)
        bytes[(page - 1) * pageSize + i] = char(generator.bounded(256));
    QVERIFY(TestFiles::write(file, bytes));
    QSignalSpy changed(tree.get(), &DataModel_Index::signalModelChange);

    QVERIFY(!open(file));
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Warning);
    QVERIFY2(prompt->last().text.contains(QString::fromUtf8("工程文件已损坏")), qPrintable(prompt->last().text));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(tree->topLevelItemCount(), 0);
    QCOMPARE(TestFiles::read(file), bytes);
    QVERIFY(!QFile::exists(file + "-journal"));
}

void TestTree::nothingBeforeAProject()
{
    QCOMPARE(tree->getProjectConfigFilePath(), QString());
    QVERIFY(tree->isProjectEmpty());
    bool found = true;
    QVERIFY(tree->findStation(0, 0, &found).isNull() && !found);
    found = true;
    tree->findStationByNumber(1, 1, &found);
    QVERIFY(!found);

    const QString file = makeProject("P", "1:1/4000");
    QSignalSpy header(tree.get(), &DataModel_Index::signalLoadProjectConfig);
    QVERIFY(!tree->loadProject(nullptr));
    DataModel_Index withoutDialog;
    LibHORM store;
    QVERIFY(store.openSqlite(file));
    QSignalSpy otherHeader(&withoutDialog, &DataModel_Index::signalLoadProjectConfig);
    QVERIFY(!withoutDialog.loadProject(&store));
    QCOMPARE(header.count() + otherHeader.count(), 0);
    QCOMPARE(withoutDialog.topLevelItemCount(), 0);
}

void TestTree::treeFollowsTheStoredOrder_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QVariantList>("last");

    QTest::newRow("stations by number, recordings as stored")
        << "7:30,5,12.5/277780/4000;8:2" << "7[5[],12.5[277780Hz,4000Hz],30[]] 8[2[]]" << QVariantList{8, 2.0};
    QTest::newRow("last line without stations") << "7:30,5;9:" << "7[5[],30[]] 9[]" << QVariantList{9, 30.0};
    QTest::newRow("no station at all") << "4:;3:" << "4[] 3[]" << QVariantList{3, -1.0};
    QTest::newRow("no line") << "" << "" << QVariantList{};
}

void TestTree::treeFollowsTheStoredOrder()
{
    QFETCH(QString, layout);
    QFETCH(QString, items);
    QFETCH(QVariantList, last);
    const QString file = makeProject("P", layout);
    QSignalSpy lastSpy(tree.get(), &DataModel_Index::signalLoadLastLineStationNum);
    QVERIFY(open(file));
    QCOMPARE(dump(*tree), items);
    QCOMPARE(lastSpy.count(), last.isEmpty() ? 0 : 1);
    if (!last.isEmpty())
        QCOMPARE(lastSpy.first(), last);
    QCOMPARE(tree->isProjectEmpty(), layout.isEmpty());
}

void TestTree::doubleClicks()
{
    const QString file = makeProject("P", "7:30,5,12.5/250/4000");
    tree->setProjectDir(dir->filePath("P"));
    SampleInfo recording;
    recording.LineNum = 7;
    recording.StationNum = 12.5;
    for (int rate : {250, 4000}) {
        recording.ctrlParam.SampleRate = rate;
        QVERIFY(tree->writeStationConfigFile(17, "P", recording, {}, rate == 250 ? 1 : 2));
    }
    QVERIFY(open(file));
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree.get()));
    QSignalSpy line(tree.get(), &DataModel_Index::signalSelectLine);
    QSignalSpy station(tree.get(), &DataModel_Index::signalSelectStation);
    QSignalSpy series(tree.get(), &DataModel_Index::showTimeSeries);

    QTreeWidgetItem *lineItem = tree->topLevelItem(0);
    doubleClick(lineItem);
    QVERIFY(lineItem->isExpanded());
    QCOMPARE(line.count(), 1);
    QCOMPARE(line.first().first().toInt(), 7);

    QTreeWidgetItem *withRecordings = lineItem->child(1);
    doubleClick(withRecordings);
    QVERIFY(!withRecordings->isExpanded());
    QCOMPARE(station.count(), 1);
    QCOMPARE(station.first(), (QVariantList{17, 7, 12.5}));

    // A station without recordings shows nothing.
    doubleClick(lineItem->child(0));
    QCOMPARE(station.count(), 1);

    tree->expandItem(withRecordings);
    doubleClick(withRecordings->child(1));
    QCOMPARE(series.count(), 1);
    const SampleInfo shown = series.first().first().value<SampleInfo>();
    QCOMPARE(shown.ctrlParam.SampleRate, 4000);
    QCOMPARE(shown.StationNum, 12.5);

    doubleClick(lineItem);
    QVERIFY(!lineItem->isExpanded());
    QCOMPARE(line.count(), 2);

    bool found = false;
    HORM_CollectionItem<Data_Station> byNumber = tree->findStationByNumber(7, 12.5, &found);
    QVERIFY(found);
    QCOMPARE(byNumber.object->getStationNum(), 12.5);
    tree->findStationByNumber(7, 12, &found);
    QVERIFY(!found);
    int lineName = 0;
    QCOMPARE(tree->findStation(0, 2, &found, &lineName).object->getStationNum(), 30.0);
    QVERIFY(found);
    QCOMPARE(lineName, 7);
    tree->findStation(0, 3, &found);
    QVERIFY(!found);
}

void TestTree::unreadableRecordingRowIsTold_data()
{
    // The config.ini rows written for the station's two recordings (250 Hz, 4000 Hz): "-" none,
    // "0" one with rate 0, "1" a sound one.
    QTest::addColumn<QString>("rows");
    QTest::newRow("rate 0 in the row") << "10";
    QTest::newRow("duration 0 in the row") << "1d";
    QTest::newRow("row lost") << "1-";
    QTest::newRow("no station folder") << "--";
}

// The view is told about the recording selected even when its row cannot be read, and the
// operator why nothing is drawn.
void TestTree::unreadableRecordingRowIsTold()
{
    QFETCH(QString, rows);
    const QString file = makeProject("P", "7:12.5/250/4000");
    tree->setProjectDir(dir->filePath("P"));
    for (int i = 0; i < 2; ++i) {
        if (rows.at(i) == '-')
            continue;
        SampleInfo recording;
        recording.LineNum = 7;
        recording.StationNum = 12.5;
        recording.ctrlParam.SampleRate = rows.at(i) == '0' ? 0 : (i == 0 ? 250 : 4000);
        recording.ctrlParam.SampleTimeSecond = rows.at(i) == 'd' ? 0 : 10;
        QVERIFY(tree->writeStationConfigFile(17, "P", recording, {}, i + 1));
    }
    QVERIFY(open(file));
    QSignalSpy series(tree.get(), &DataModel_Index::showTimeSeries);
    const QModelIndex station = tree->model()->index(0, 0, tree->model()->index(0, 0));

    tree->onDoubleClicked(tree->model()->index(1, 0, station));
    QCOMPARE(series.count(), 1);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Warning);
    const QString text = prompt->last().text;
    QVERIFY2(text.contains(QString::fromUtf8("线7点12.5第2条记录（4000Hz）")) && text.contains("config.ini"),
             qPrintable(text));

    tree->onDoubleClicked(tree->model()->index(0, 0, station));
    QCOMPARE(series.count(), 2);
    QCOMPARE(prompt->count(), rows.at(0) == '1' ? 1 : 2);
}

void TestTree::closeAndReopen()
{
    const QString file = makeProject("P", "7:5/4000,6/4000;8:1");
    MessageLog log;
    for (int round = 0; round < 3; ++round) {
        QVERIFY(open(file));
        QCOMPARE(dump(*tree), QString("7[5[4000Hz],6[4000Hz]] 8[1[]]"));
        tree->selectItem(0, 0, 0);
        tree->closeProject();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(tree->isProjectEmpty());
    }
    for (const QString &message : log.messages())
        QVERIFY2(!message.contains("still in use"), qPrintable(message));
    QCOMPARE(sqliteCli(file, "PRAGMA integrity_check;"), QString("ok"));
}

QTEST_MAIN(TestTree)
#include "tst_tree.moc"
