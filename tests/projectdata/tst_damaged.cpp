#include "RunFixture.h"
#include "TestFiles.h"

#include <QtTest>

// Station and project files the program did not write: hand edits and copies from elsewhere.
class TestDamaged : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namesLeavingTheirFolder_data();
    void namesLeavingTheirFolder();
    void missingProjectConfigIsWrittenAgain();

private:
    QString stationFolder() const { return f->dataDir() + "/Line 5/Station 100"; }
    QString storedCurves() const { return f->sql("SELECT group_concat(hex(Data_Impedance)) FROM Data_ProcessData"); }
    // The recording row of the station's config.ini with one cell replaced.
    void replaceCell(const QString &what, const QString &value);
    std::unique_ptr<RunFixture> f;
};

void TestDamaged::init()
{
    f = std::make_unique<RunFixture>();
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1"), 1));
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    f->prompt.asked.clear();
}

void TestDamaged::cleanup()
{
    f.reset();
}

// what: "E0 file" (the cell naming the E0 channel file) or "Hx sensor".
void TestDamaged::replaceCell(const QString &what, const QString &value)
{
    const QString path = stationFolder() + "/config.ini";
    QStringList lines = QString::fromUtf8(TestFiles::read(path)).split("\r\n");
    QVERIFY(lines.size() > 3);
    QStringList cells = lines.at(3).simplified().split(' ');
    QCOMPARE(cells.size(), 28);
    int column = 6;
    if (what == "E0 file") {
        for (column = 22; column < 27 && !cells.at(column).contains("E0"); ++column) {
        }
    }
    QVERIFY(column < 27);
    cells[column] = value;
    lines[3] = cells.join("    ");
    QVERIFY(TestFiles::write(path, lines.join("\r\n").toUtf8()));
}

void TestDamaged::namesLeavingTheirFolder_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("value"); // <root>: the fixture's folder
    QTest::newRow("channel file up the tree") << "E0 file" << "../../../../outside/secret_E0_.ats";
    QTest::newRow("absolute channel file") << "E0 file" << "<root>/outside/secret_E0_.ats";
    QTest::newRow("channel file up the tree, backslashes") << "E0 file" << "..\\..\\..\\..\\outside\\secret_E0_.ats";
    QTest::newRow("channel file the parent folder") << "E0 file" << "..";
    QTest::newRow("sensor up the tree") << "Hx sensor" << "../../outside/evil";
    QTest::newRow("absolute sensor") << "Hx sensor" << "<root>/outside/evil";
}

// Neither the time series, nor a recalculation, nor an export reads a file the row names outside
// the station folder or the calibration folder: the row is reported as damaged and the stored
// curves stay.
void TestDamaged::namesLeavingTheirFolder()
{
    QFETCH(QString, what);
    QFETCH(QString, value);
    value.replace("<root>", f->root);
    QDir().mkpath(f->root + "/outside");
    QVERIFY(TestFiles::write(f->root + "/outside/secret_E0_.ats", QByteArray(4000, 's')));
    QVERIFY(TestFiles::write(f->root + "/outside/evil.txt", "1 1 0\n10 1 0\n"));
    replaceCell(what, value);
    const QString before = storedCurves();
    QVERIFY(!before.isEmpty());

    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    QSignalSpy series(f->tree.get(), &DataModel_Index::showTimeSeries);
    const QModelIndex station = f->tree->model()->index(0, 0, f->tree->model()->index(0, 0));
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, station));
    QCOMPARE(series.count(), 1);
    for (const QFile *file : series.at(0).at(0).value<SampleInfo>().channelFiles)
        QVERIFY2(file->fileName().startsWith(stationFolder() + "/") && !file->fileName().contains(".."),
                 qPrintable(file->fileName()));

    f->calculator.rho = 10000;
    f->tree->onDoubleClicked(station);
    f->tree->reCalcStationImpedanceData();
    f->tree->waitForCalculations();
    QCoreApplication::processEvents();
    QCOMPARE(storedCurves(), before);
    QVERIFY(!notices.isEmpty());
    const QString notice = notices.last().at(0).toString();
    QVERIFY2(notice.contains("config.ini") && notice.contains(value), qPrintable(notice));

    QVERIFY(!f->tree->getStationFloatData(0, 0));
    QCOMPARE(f->prompt.count(), 1);
    QVERIFY2(f->prompt.last().text.contains(value), qPrintable(f->prompt.last().text));
    QCOMPARE(f->tempListingAfterCleanup().filter("_FloatData"), QStringList());
}

// A project copied without projectConfig.ini gets it again from its row, and the operator is told.
void TestDamaged::missingProjectConfigIsWrittenAgain()
{
    const QString path = f->projectDir() + "/projectConfig.ini";
    QFile::remove(path);
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    QVERIFY(f->reopen());
    QVERIFY(TestFiles::read(path).startsWith("ProjectID=P1\r\nProjectName="));
    QCOMPARE(notices.count(), 1);
    QVERIFY2(notices.at(0).at(0).toString().contains(path), qPrintable(notices.at(0).at(0).toString()));
}

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
