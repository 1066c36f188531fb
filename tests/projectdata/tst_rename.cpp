#include "ProjectBuilder.h"
#include "RunFixture.h"
#include "StoreTestSupport.h"
#include "TestFiles.h"

#include "projectdata/StationFileRenamer.h"
#include "store/LibHORM.h"

#include <QCryptographicHash>
#include <sqlite3.h>
#include <QDirIterator>
#include <QMenu>
#include <QtTest>

namespace {

// "path|size|md5" of every file and "path/" of every folder under the folder, sorted.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString path = QDir(folder).relativeFilePath(info.filePath());
        if (info.isDir()) {
            entries << path + "/";
            continue;
        }
        const QByteArray hash = QCryptographicHash::hash(TestFiles::read(info.filePath()), QCryptographicHash::Md5);
        entries << path + "|" + QString::number(info.size()) + "|" + hash.toHex();
    }
    entries.sort();
    return entries;
}

QStringList names(const QStringList &entries)
{
    QStringList result;
    for (const QString &entry : entries)
        result << entry.section('|', 0, 0);
    return result;
}

} // namespace

class TestRename : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileNames_data();
    void fileNames();
    void configRows_data();
    void configRows();
    void rightClicks();
    void stationRenameThroughThePrompt();
    void lineRename();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void refusedNumbers_data();
    void refusedNumbers();
    void refusedWhileTheStationIsCalculated();
    void lineConversionReport();
    void sharedStationFolderIsNeitherMovedNorSavedInto();
    void busyStationRefusesConflictingOperations_data();
    void busyStationRefusesConflictingOperations();

private:
    void saveStation(double station, int maxCurves = 3);
    void rememberStation(int row);
    void rememberLine();
    QString data(const QString &path) const { return f->dataDir() + "/" + path; }

    std::unique_ptr<RunFixture> f;
};

void TestRename::init()
{
    f = std::make_unique<RunFixture>();
    f->tree->resize(400, 400);
    f->tree->show();
    saveStation(100);
    saveStation(101);
    // Files the rename must leave alone.
    TestFiles::write(data("Line 5/Station 100/notes_Line5_Station100.txt"), "keep");
    TestFiles::write(data("Line 5/Station 100/.hidden_Station100.ats.bak"), "keep");
    QDir().mkpath(data("Line 5/Station 100/Station 9"));
    QDir().mkpath(data("Line 5/photos"));
    TestFiles::write(data("Line 5/photos/Line5_Station7.ats"), "keep");
    f->prompt.asked.clear();
}

void TestRename::cleanup()
{
    StationFileRenamer::setMoveFunction(nullptr);
    f.reset();
}

// One 4000 Hz recording on line 5 with curves of up to maxCurves channels.
void TestRename::saveStation(double station, int maxCurves)
{
    f->calculator.maxCurves = maxCurves;
    f->receive(RunFixture::task(1, "Hx,Hy,E0,E1"), 1, station);
    f->tree->showTempSampleData(5, station, true);
    f->tree->waitForCalculations();
    QVERIFY(QTest::qWaitFor([this]() { return f->tree->pendingCalculationCount() == 0; }, 10000));
    StationSampleInfo record = f->station(station);
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
}

void TestRename::rememberStation(int row)
{
    QTreeWidgetItem *item = f->tree->topLevelItem(0)->child(row);
    f->tree->expandAll();
    QVERIFY(f->tree->rememberItemAt(f->tree->visualItemRect(item).center()));
}

void TestRename::rememberLine()
{
    f->tree->rememberItemAt(f->tree->visualItemRect(f->tree->topLevelItem(0)).center());
}

void TestRename::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("renamed");
    QTest::newRow("channel file") << "AMT_Line5_Station100_4000Hz_Hx_1.ats" << "AMT_Line7_Station12.5_4000Hz_Hx_1.ats";
    QTest::newRow("empty parts kept") << "__Line5__Station1_" << "__Line7__Station12.5_";
    QTest::newRow("a part with both is a line part") << "xLineStation_1" << "Line7_1";
    QTest::newRow("no numbered part") << "E0.ats" << "E0.ats";
}

void TestRename::fileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, renamed);
    QCOMPARE(StationFileRenamer::renamedFileName(name, 7, 12.5), renamed);
}

void TestRename::configRows_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("rewritten");
    const QByteArray cells22 = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22";
    QTest::newRow("short recording row is re-spaced")
        << QByteArray("head\r\n a  b 5 100 c\r\ntitles\r\n" + cells22 + "\r\n")
        << QByteArray("head\r\na       b       7       12.5       c\r\ntitles\r\n"
                      + QByteArray(cells22).replace(" ", "     ") + "\r\n");
    QTest::newRow("file names renumbered")
        << QByteArray("h\nx y 5 100\nt\n" + cells22 + " Line5_Station100_Hx.ats 1\n")
        << QByteArray("h\nx       y       7       12.5\nt\n" + QByteArray(cells22).replace(" ", "     ")
                      + "     Line7_Station12.5_Hx.ats     1\n");
    // A file saved as GBK is written back as GBK, its Chinese cells as they were.
    QTest::newRow("GBK file")
        << TestFiles::gbk(QString::fromUtf8("仪器ID号\r\n17 北京 5 100\r\n编号\r\n") + cells22 + " 磁棒1_Line5_Station100_Hx.ats\r\n")
        << TestFiles::gbk(QString::fromUtf8("仪器ID号\r\n17       北京       7       12.5\r\n编号\r\n")
                          + QString(cells22).replace(" ", "     ") + QString::fromUtf8("     磁棒1_Line7_Station12.5_Hx.ats\r\n"));
    QTest::newRow("two lines") << QByteArray("h\nx y 5 100\n") << QByteArray();
    QTest::newRow("station row without a number") << QByteArray("h\nx y 5\nt\n") << QByteArray();
}

void TestRename::configRows()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, rewritten);
    QByteArray out;
    QCOMPARE(StationFileRenamer::rewriteConfigText(text, 7, 12.5, &out), !rewritten.isEmpty());
    QCOMPARE(out, rewritten);
}

void TestRename::rightClicks()
{
    QTreeWidgetItem *line = f->tree->topLevelItem(0);
    f->tree->expandAll();
    QTreeWidgetItem *station = line->child(0);
    QMenu *stationMenu = f->tree->rememberItemAt(f->tree->visualItemRect(station).center());
    QVERIFY(stationMenu);
    QCOMPARE(stationMenu->actions().size(), 3);
    QCOMPARE(f->tree->rememberItemAt(f->tree->visualItemRect(station->child(0)).center()), nullptr);
    QMenu *lineMenu = f->tree->rememberItemAt(QPoint(5, 390));
    QVERIFY(lineMenu && lineMenu != stationMenu);
    // Empty space: the line menu's actions do nothing.
    for (QAction *action : lineMenu->actions())
        action->trigger();
    QCOMPARE(f->prompt.count(), 0);
    QCOMPARE(line->text(0), QString("5"));

    // A remembered item does not outlive the tree's items.
    rememberStation(0);
    f->tree->closeProject();
    f->tree->openRenameEditor();
    QCOMPARE(f->prompt.count(), 0);
}

void TestRename::stationRenameThroughThePrompt()
{
    const QStringList before = snapshot(f->dataDir());
    const QString recordingRow = f->sql("SELECT * FROM Data_SampleData ORDER BY ID");
    QSignalSpy cleared(f->tree.get(), &DataModel_Index::signalClearDataViews);
    rememberStation(0);
    f->prompt.expectCancel();
    f->tree->openRenameEditor();
    QCOMPARE(snapshot(f->dataDir()), before);
    f->prompt.expectInt(150);
    f->tree->openRenameEditor();

    const PromptRequest &ask = f->prompt.asked.at(1);
    QCOMPARE(ask.kind, PromptRequest::Integer);
    QCOMPARE(ask.title, QString::fromUtf8("修改点号"));
    QCOMPARE(ask.text, QString::fromUtf8("切勿打开当前工程的文件(夹)\n请输入新的点号:"));
    QCOMPARE(ask.initial, QString("100"));
    QCOMPARE(ask.maximum, 999999);
    QCOMPARE(f->prompt.last().text, QString::fromUtf8("点号修改成功！"));
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->text(0), QString("150"));
    QCOMPARE(f->sql("SELECT StationNum FROM Data_Station ORDER BY ID"), QString("150.0\n101.0"));
    QCOMPARE(f->sql("SELECT * FROM Data_SampleData ORDER BY ID"), recordingRow);

    // Every file keeps its bytes; only the station folder and its channel files change names.
    const QString oldPrefix = "Line 5/Station 100/";
    QStringList expected;
    for (QString entry : before) {
        if (entry.startsWith(oldPrefix + "config.ini"))
            continue;
        if (entry.startsWith(oldPrefix) && entry.section('|', 0, 0).endsWith(".ats")
            && !entry.mid(oldPrefix.size()).contains('/'))
            entry.replace("Station100", "Station150");
        expected << entry.replace(oldPrefix, "Line 5/Station 150/");
    }
    expected.sort();
    QStringList after = snapshot(f->dataDir());
    after.removeAt(after.indexOf(QRegularExpression("Line 5/Station 150/config\\.ini\\|.*")));
    QCOMPARE(after, expected);
    QCOMPARE(TestFiles::read(data("Line 5/Station 150/config.ini")),
             TestFiles::read(QFINDTESTDATA("data/rename/station_150.ini")));

    // The recordings read their files from the new folder.
    QSignalSpy series(f->tree.get(), &DataModel_Index::showTimeSeries);
    f->tree->expandAll();
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, f->tree->model()->index(0, 0, f->tree->model()->index(0, 0))));
    QCOMPARE(series.count(), 1);
    QVERIFY(series.first().first().value<SampleInfo>().channelFiles.first()->fileName().contains("Station 150/"));
}

void TestRename::lineRename()
{
    const QStringList before = snapshot(f->dataDir());
    QSignalSpy cleared(f->tree.get(), &DataModel_Index::signalClearDataViews);
    rememberLine();
    QVERIFY(f->tree->renameLineOrStation(7));

    QCOMPARE(f->prompt.last().text, QString::fromUtf8("线号修改成功！"));
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(f->tree->topLevelItem(0)->text(0), QString("7"));
    QCOMPARE(f->sql("SELECT LineName FROM Data_Line"), QString("7"));
    QStringList expected;
    for (QString entry : names(before)) {
        entry.replace("Line 5", "Line 7");
        if (entry.contains("/Station 10") && entry.endsWith(".ats") && !entry.contains("/Station 9"))
            entry.replace("Line5", "Line7");
        expected << entry;
    }
    expected.sort();
    QCOMPARE(names(snapshot(f->dataDir())), expected);
    QCOMPARE(TestFiles::read(data("Line 7/Station 100/config.ini")),
             TestFiles::read(QFINDTESTDATA("data/rename/line_7_station_100.ini")));
    QCOMPARE(TestFiles::read(data("Line 7/photos/Line5_Station7.ats")), QByteArray("keep"));
    QCOMPARE(TestFiles::read(data("Line 7/Station 100/notes_Line5_Station100.txt")), QByteArray("keep"));
}

void TestRename::failuresChangeNothing_data()
{
    QTest::addColumn<bool>("line");
    QTest::addColumn<int>("failingMove"); // 0: the database refuses the row; -1: the new folder exists
    QTest::newRow("station: folder exists") << false << -1;
    QTest::newRow("line: folder exists") << true << -1;
    QTest::newRow("station: first file") << false << 1;
    QTest::newRow("station: folder") << false << 5;
    QTest::newRow("station: database") << false << 0;
    QTest::newRow("line: a file of the second station") << true << 6;
    QTest::newRow("line: folder") << true << 9;
    QTest::newRow("line: database") << true << 0;
}

void TestRename::failuresChangeNothing()
{
    QFETCH(bool, line);
    QFETCH(int, failingMove);
    int moves = 0;
    StationFileRenamer::setMoveFunction([&moves, failingMove](const QString &from, const QString &to) {
        return ++moves != failingMove && QDir().rename(from, to);
    });
    if (failingMove == 0) {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(qPrintable(f->dir.path() + "/proj/proj.HMT"), &raw), SQLITE_OK);
        const int created = sqlite3_exec(raw,
                                         "CREATE TRIGGER s BEFORE UPDATE ON Data_Station BEGIN SELECT RAISE(ABORT, 'no'); END;"
                                         "CREATE TRIGGER l BEFORE UPDATE ON Data_Line BEGIN SELECT RAISE(ABORT, 'no'); END;",
                                         nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        QCOMPARE(created, SQLITE_OK);
    }
    if (failingMove == -1)
        QVERIFY(QDir().mkpath(data(line ? "Line 7" : "Line 5/Station 7")));
    const QStringList before = snapshot(f->dataDir());
    const QString rows = f->sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;");
    QSignalSpy cleared(f->tree.get(), &DataModel_Index::signalClearDataViews);
    line ? rememberLine() : rememberStation(0);

    QVERIFY(!f->tree->renameLineOrStation(7));
    QVERIFY(failingMove <= 0 || moves >= failingMove);
    QVERIFY(failingMove != -1 || moves == 0);
    QCOMPARE(snapshot(f->dataDir()), before);
    QCOMPARE(f->sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;"), rows);
    QCOMPARE(f->tree->topLevelItem(0)->text(0), QString("5"));
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->text(0), QString("100"));
    QCOMPARE(cleared.count(), 0);
    QCOMPARE(f->prompt.count(), 1);
    QVERIFY(!f->prompt.last().text.contains(QString::fromUtf8("成功")));

}

void TestRename::refusedNumbers_data()
{
    QTest::addColumn<bool>("line");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");
    QTest::newRow("own station number") << false << 100 << QString::fromUtf8("该点号已存在！");
    QTest::newRow("other station's number") << false << 101 << QString::fromUtf8("该点号已存在！");
    QTest::newRow("station above range") << false << 1000000 << QString::fromUtf8("编号须在-999999到999999之间！");
    QTest::newRow("station below range") << false << -1000000 << QString::fromUtf8("编号须在-999999到999999之间！");
    QTest::newRow("own line number") << true << 5 << QString::fromUtf8("该线号已经存在！");
    QTest::newRow("line above range") << true << 1000000 << QString::fromUtf8("编号须在-999999到999999之间！");
}

void TestRename::refusedNumbers()
{
    QFETCH(bool, line);
    QFETCH(int, number);
    QFETCH(QString, message);
    const QStringList before = snapshot(f->dataDir());
    const QString rows = f->sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station;");
    line ? rememberLine() : rememberStation(0);
    QVERIFY(!f->tree->renameLineOrStation(number));
    QCOMPARE(f->prompt.count(), 1);
    QCOMPARE(f->prompt.last().kind, PromptRequest::Critical);
    QCOMPARE(f->prompt.last().text, message);
    QCOMPARE(snapshot(f->dataDir()), before);
    QCOMPARE(f->sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station;"), rows);
    QCOMPARE(f->tree->topLevelItem(0)->text(0), QString("5"));
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->text(0), QString("100"));
}

void TestRename::refusedWhileTheStationIsCalculated()
{
    f->calculator.hold();
    rememberStation(0);
    f->tree->reCalcStationImpedanceData();
    const QStringList before = snapshot(f->dataDir());
    QVERIFY(!f->tree->renameLineOrStation(150));
    rememberLine();
    QVERIFY(!f->tree->renameLineOrStation(7));
    QCOMPARE(snapshot(f->dataDir()), before);
    QCOMPARE(f->prompt.count(), 2);

    // The other station of the line may be renamed meanwhile; the calculated one once it is done.
    rememberStation(1);
    QVERIFY(f->tree->renameLineOrStation(151));
    f->calculator.release(10);
    QVERIFY(QTest::qWaitFor([this]() {
        rememberStation(0);
        return f->tree->renameLineOrStation(150);
    }, 10000));
}

void TestRename::lineConversionReport()
{
    const QString channels = "SELECT group_concat(SampleChannel) FROM Data_ProcessData";
    QVERIFY(f->sql(channels).contains("1"));
    const QList<QAction *> actions = f->tree->rememberItemAt(f->tree->visualItemRect(f->tree->topLevelItem(0)).center())->actions();
    actions.first()->trigger();
    QCOMPARE(f->prompt.last().text, QString::fromUtf8("5线下所有Y转成X方向全部转换成功！"));
    QVERIFY(!f->sql(channels).contains("1"));

    saveStation(102, 0);
    QVERIFY(!f->tree->convertLineDirectionYToX(0));
    QCOMPARE(f->prompt.last().text, QString::fromUtf8("5线下所有Y转成X方向全部转换失败！"));
}

// Stations 1000020 and 1000021 stored by an earlier version share the folder "Station 1.00002e+06".
void TestRename::sharedStationFolderIsNeitherMovedNorSavedInto()
{
    f->tree->closeProject();
    {
        LibHORM store;
        QVERIFY(store.openSqlite(f->dir.path() + "/proj/proj.HMT"));
        ProjectBuilder builder(store);
        Data_Line *line = builder.project()->getREF_Data_Line()->at(0).object;
        builder.addStation(line, 1000020);
        builder.addStation(line, 1000021);
    }
    QVERIFY(f->reopen());
    QVERIFY(QDir().mkpath(data("Line 5/Station 1.00002e+06")));
    QVERIFY(TestFiles::write(data("Line 5/Station 1.00002e+06/123_Scalar_Line5_Station1.00002e+06_E0_4000Hz.ats"), "kept"));
    const QStringList before = snapshot(f->dataDir());
    const QString rows = f->sql("SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;");

    rememberStation(3);
    QVERIFY(!f->tree->renameLineOrStation(200));
    QVERIFY2(f->prompt.last().text.contains("1000020"), qPrintable(f->prompt.last().text));
    QCOMPARE(f->tree->topLevelItem(0)->child(3)->text(0), QString("1.00002e+06"));

    QVERIFY(f->record(RunFixture::task(1, "Hx,E0"), 1, 1000020));
    StationSampleInfo record = f->station(1000020);
    QString reason;
    QVERIFY(!f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason));
    QVERIFY2(reason.contains("1000021"), qPrintable(reason));
    QCOMPARE(snapshot(f->dataDir()), before);
    QCOMPARE(f->sql("SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;"), rows);
}

void TestRename::busyStationRefusesConflictingOperations_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<QString>("message");
    QTest::newRow("conversion during a recalculation") << "calculation" << "conversion" << "线5点100正在计算阻抗图";
    QTest::newRow("station rename during an export") << "export" << "station" << "线5点100正在导出浮点数";
    QTest::newRow("line rename during an export") << "export" << "line" << "线5点100正在导出浮点数";
    QTest::newRow("save during a recalculation") << "calculation" << "save" << "线5点100正在计算阻抗图";
}

// An operation refused while a conflicting one runs changes nothing, and goes ahead once that is done.
void TestRename::busyStationRefusesConflictingOperations()
{
    QFETCH(QString, running);
    QFETCH(QString, attempt);
    QFETCH(QString, message);
    QSignalSpy selected(f->tree.get(), &DataModel_Index::signalSelectStation);
    QSignalSpy exported(f->tree.get(), &DataModel_Index::floatDataExported);
    if (attempt == "save")
        QVERIFY(f->record(RunFixture::task(1, "Hx,E0", 2000), 2));
    rememberStation(0);
    f->calculator.hold();
    if (running == "calculation")
        f->tree->reCalcStationImpedanceData();
    else
        QVERIFY(f->tree->getStationFloatData(0, 0));
    QString said; // the refusal: the save's reason, or the last box shown
    const auto tryIt = [&]() {
        said.clear();
        if (attempt == "save") {
            StationSampleInfo record = f->station();
            return f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &said);
        }
        if (attempt == "conversion")
            return f->tree->convertLineDirectionYToX(0);
        if (attempt == "line") {
            rememberLine();
            return f->tree->renameLineOrStation(7);
        }
        rememberStation(0);
        return f->tree->renameLineOrStation(150);
    };
    const QString tables = "SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT ID, SampleChannel FROM Data_ProcessData;";
    const QString rows = f->sql(tables);
    const QStringList before = snapshot(f->dataDir());
    QVERIFY(!tryIt());
    if (said.isEmpty())
        said = f->prompt.last().text;
    QVERIFY2(said.contains(message), qPrintable(said));
    QCOMPARE(snapshot(f->dataDir()), before);
    QCOMPARE(f->sql(tables), rows);

    f->calculator.release(10);
    if (running == "calculation")
        QTRY_COMPARE(selected.count(), 1);
    else
        QTRY_COMPARE(exported.count(), 1);
    for (const QFileInfo &output : QDir(f->tempDir()).entryInfoList({"*_FloatData.txt"}))
        QVERIFY2(output.size() > 0, qPrintable(output.fileName()));
    QVERIFY(tryIt());
}

QTEST_MAIN(TestRename)
#include "tst_rename.moc"
