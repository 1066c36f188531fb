// The simulator's storage as the program sees it over the link: the listings it answers with,
// read back by the program's own parser, and deletion requests built by the program, carried
// out on what it holds.
#include "common/PreSampleLineNum.h"
#include "dialogs/DeviceListing.h"
#include "tests/link/LinkFixture.h"

#include <QTemporaryDir>
#include <QTest>

using DeviceListing::CheckedLine;
using DeviceListing::CheckedProject;
using DeviceListing::ProjectEntry;

namespace {

QString key(const QString& project, int line, double station)
{
    return QString("%1/%2/%3").arg(project).arg(line).arg(station, 0, 'g', 12);
}

void add(SimStorage* storage, const QString& project, int line, int station)
{
    SimStoredGroup group;
    group.key = {project, line, station};
    storage->add(group);
}

// A: lines 3 (station 125 with two groups) and 5, and a trial run; its name from its project
// file. B: stations one apart at a million; the test's name beats the file's. C: no name.
void fill(SimStorage* storage)
{
    add(storage, "AMT_A", 5, 7);
    add(storage, "AMT_A", 3, 125);
    add(storage, "AMT_A", 3, 100);
    add(storage, "AMT_A", 3, 125);
    add(storage, "AMT_A", PreSampleLineNum, 0);
    add(storage, "AMT_B", 1, 1000001);
    add(storage, "AMT_B", 1, 1000000);
    add(storage, "AMT_C", 2, 4);
    storage->setProjectConfig("AMT_A", "ProjectID=AMT_A\r\nProjectName=勘探一号\r\nProjectAddress=x\r\n");
    storage->setProjectConfig("AMT_B", "ProjectID=AMT_B\r\nProjectName=Old\r\n");
    storage->setProjectName("AMT_B", "Ridge");
}

QStringList heldKeys(const SimStorage& storage)
{
    QStringList keys;
    for (const SimStoredGroup& g : storage.allGroups())
        keys.append(key(g.key.projectId, g.key.line, g.key.station));
    keys.removeDuplicates();
    keys.sort();
    return keys;
}

QStringList listedKeys(const QList<ProjectEntry>& projects)
{
    QStringList keys;
    for (const ProjectEntry& p : projects)
        for (const DeviceListing::LineEntry& l : p.lines)
            for (const DeviceListing::StationEntry& s : l.stations)
                keys.append(key(p.id, l.number, s.number));
    keys.sort();
    return keys;
}

// Both listings, as the main window receives them.
struct Listings
{
    QByteArray projectList;
    QByteArray storage;

    QList<ProjectEntry> parsed(const QString& unknownName) const
    {
        const auto names = DeviceListing::parseProjectNameList(projectList);
        return DeviceListing::parseStorageListing(storage, names.nameById, unknownName);
    }
};

bool fetch(LinkFixture* f, Listings* out)
{
    f->rec.clear();
    f->lib.sendGetDiskSpaceFile();
    if (!QTest::qWaitFor([f] { return f->rec.count("DiskSpaceFile") == 1; }, 5000) ||
        f->rec.count("ProjectListFile") != 1)
        return false;
    out->projectList = f->rec.named("ProjectListFile").first().values.value(0).toByteArray();
    out->storage = f->rec.named("DiskSpaceFile").first().values.value(0).toByteArray();
    return true;
}

bool deleteOnInstrument(LinkFixture* f, QByteArray request)
{
    f->rec.clear();
    f->lib.sendDataDelete(&request);
    return QTest::qWaitFor([f] { return f->rec.count("DataDeleteOver") == 1; }, 5000);
}

Qt::CheckState stateOf(int checked, int partial, int total)
{
    if (checked == total)
        return Qt::Checked;
    return checked + partial > 0 ? Qt::PartiallyChecked : Qt::Unchecked;
}

// The check states of the deletion tree once the given projects, lines ("P/L") and stations
// ("P/L/S") are checked, with the propagation of the deletion dialog.
QList<CheckedProject> checkedTree(const QList<ProjectEntry>& projects, const QStringList& paths)
{
    QList<CheckedProject> tree;
    for (const ProjectEntry& p : projects) {
        CheckedProject project{p.id, Qt::Unchecked, {}};
        int linesChecked = 0, linesPartial = 0;
        for (const DeviceListing::LineEntry& l : p.lines) {
            const QString linePath = p.id + "/" + QString::number(l.number);
            CheckedLine line{l.number, Qt::Unchecked, {}};
            int checked = 0;
            for (const DeviceListing::StationEntry& s : l.stations) {
                const bool on = paths.contains(p.id) || paths.contains(linePath) ||
                                paths.contains(key(p.id, l.number, s.number));
                line.stations.append({s.number, on ? Qt::Checked : Qt::Unchecked});
                checked += on ? 1 : 0;
            }
            line.state = stateOf(checked, 0, l.stations.size());
            linesChecked += line.state == Qt::Checked ? 1 : 0;
            linesPartial += line.state == Qt::PartiallyChecked ? 1 : 0;
            project.lines.append(line);
        }
        project.state = stateOf(linesChecked, linesPartial, p.lines.size());
        tree.append(project);
    }
    return tree;
}

QString describe(const QList<DeviceProjectInfo>& records)
{
    QStringList projects;
    for (const DeviceProjectInfo& p : records) {
        QString text = p.projectId + " " + p.projectName;
        for (const DeviceLineInfo& l : p.lines) {
            QStringList stations;
            for (double s : l.stations)
                stations.append(QString::number(s, 'g', 12));
            text += QString(" %1:%2").arg(l.lineNum).arg(stations.join(','));
        }
        projects.append(text);
    }
    return projects.join(" | ");
}

const QByteArray trialEntries = "Line_42017259/\r\nPoint_0/\r\n";

} // namespace

class TestSimulatorListing : public QObject
{
    Q_OBJECT

private slots:
    void listingReadsBackIntoHeldProjects();
    void deletionRemovesWhatItNames_data();
    void deletionRemovesWhatItNames();
    void recordedRunsAreListedAndDeleted();
};

void TestSimulatorListing::listingReadsBackIntoHeldProjects()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    Listings listings;
    QVERIFY(fetch(&f, &listings));
    QVERIFY(listings.projectList.isEmpty()); // the main window passes empty texts on to nobody
    QVERIFY(listings.storage.isEmpty());

    fill(&f.sim.storage());
    QVERIFY(fetch(&f, &listings));
    QVERIFY2(listings.storage.contains(trialEntries), listings.storage.constData());
    QCOMPARE(describe(DeviceListing::toReadBackRecords(listings.parsed("AMTNone"))),
             QString("AMT_A 勘探一号 3:100,125 5:7 | AMT_B Ridge 1:1000000,1000001 | AMT_C AMTNone 2:4"));
    QStringList held = heldKeys(f.sim.storage());
    held.removeAll(key("AMT_A", PreSampleLineNum, 0));
    QCOMPARE(listedKeys(listings.parsed("UnKnown")), held);
}

void TestSimulatorListing::deletionRemovesWhatItNames_data()
{
    QTest::addColumn<QStringList>("checked"); // in the deletion tree
    QTest::addColumn<QByteArray>("request");  // sent as it is instead, when not empty
    QTest::addColumn<QStringList>("removed");

    const QStringList a{"AMT_A/3/100", "AMT_A/3/125", "AMT_A/5/7", key("AMT_A", PreSampleLineNum, 0)};
    const QStringList none;
    QTest::newRow("whole project with its trial run") << QStringList{"AMT_A"} << QByteArray() << a;
    QTest::newRow("whole line") << QStringList{"AMT_A/3"} << QByteArray() << QStringList{"AMT_A/3/100", "AMT_A/3/125"};
    QTest::newRow("stations of two projects")
        << QStringList{"AMT_A/3/125", "AMT_B/1/1000001"} << QByteArray() << QStringList{"AMT_A/3/125", "AMT_B/1/1000001"};
    QTest::newRow("station in exponent form") << QStringList{"AMT_B/1/1000000"} << QByteArray()
                                              << QStringList{"AMT_B/1/1000000"};
    QTest::newRow("last station empties its project") << QStringList{"AMT_C/2/4"} << QByteArray()
                                                       << QStringList{"AMT_C/2/4"};
    QTest::newRow("LF line ends") << none << QByteArray("ProjectID=AMT_A\nLineNum=5\nStationNum=ALL\n")
                                  << QStringList{"AMT_A/5/7"};
    QTest::newRow("no project") << none << QByteArray("LineNum=3\r\nStationNum=ALL\r\n") << none;
    QTest::newRow("line of another project")
        << none << QByteArray("ProjectID=AMT_B\r\nLineNum=3\r\nStationNum=ALL\r\n") << none;
    QTest::newRow("unreadable line") << none << QByteArray("ProjectID=AMT_A\r\nLineNum=3x\r\nStationNum=ALL\r\n")
                                     << none;
    QTest::newRow("unreadable station")
        << none << QByteArray("ProjectID=AMT_A\r\nLineNum=3\r\nStationNum=1O0\r\n") << none;
    QTest::newRow("station under every line")
        << none << QByteArray("ProjectID=AMT_A\r\nLineNum=ALL\r\nStationNum=100\r\n") << none;
    QTest::newRow("every line without stations") << none << QByteArray("ProjectID=AMT_A\r\nLineNum=ALL\r\n") << none;
    QTest::newRow("a project closes the line before it")
        << none << QByteArray("ProjectID=AMT_B\r\nLineNum=3\r\nProjectID=AMT_A\r\nStationNum=ALL\r\n") << none;
}

void TestSimulatorListing::deletionRemovesWhatItNames()
{
    QFETCH(QStringList, checked);
    QFETCH(QByteArray, request);
    QFETCH(QStringList, removed);

    LinkFixture f;
    fill(&f.sim.storage());
    QStringList expected = heldKeys(f.sim.storage());
    for (const QString& k : removed)
        QVERIFY2(expected.removeOne(k), qPrintable(k));
    QVERIFY(f.connectControl());
    Listings listings;
    QVERIFY(fetch(&f, &listings));
    if (request.isEmpty())
        request = DeviceListing::buildDeleteRequest(checkedTree(listings.parsed("UnKnown"), checked));
    QVERIFY(!request.isEmpty());

    QVERIFY(deleteOnInstrument(&f, request));
    QCOMPARE(heldKeys(f.sim.storage()), expected);
    QVERIFY(fetch(&f, &listings));
    expected.removeAll(key("AMT_A", PreSampleLineNum, 0));
    QCOMPARE(listedKeys(listings.parsed("UnKnown")), expected);
    QCOMPARE(f.sim.storage().projectConfig("AMT_A").isEmpty(), checked == QStringList{"AMT_A"});
}

// A project file, a trial run and a real run sent by the program; then the real run's line is
// deleted and the trial run stays, listed under a project without visible lines.
void TestSimulatorListing::recordedRunsAreListedAndDeleted()
{
    LinkFixture f;
    QTemporaryDir dir;
    QFile config(dir.filePath("projectConfig.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("ProjectID=AMT_2026_04_01_10_20\r\nProjectName=Valley\r\nProjectAddress=\r\n"
                 "ProjectDate=2026-04-01\r\nOperatorName=op\r\n");
    config.close();
    QVERIFY(f.connectControl());
    f.lib.sendProjectConfigFile(config.fileName());
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("ProjectConfigSuccess"), 1, 5000);

    const QByteArray group = "GroupID=1\nSampleRate=4000\nSampleTime=1\nOnLineSelect=1\n";
    for (const QByteArray& lineStation : {QByteArray("LineNum=42017259\nStationNum=0\n"),
                                          QByteArray("LineNum=9\nStationNum=50\n")}) {
        QByteArray task = "MachineID=0\nProjectNum=AMT_2026_04_01_10_20\n" + lineStation + group;
        f.rec.clear();
        f.lib.sendSampleStart(&task);
        QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupSampleOver"), 1, 5000);
    }

    Listings listings;
    QVERIFY(fetch(&f, &listings));
    QCOMPARE(listings.projectList, QByteArray("ProjectID:AMT_2026_04_01_10_20 ProjectName:Valley\r\n"));
    QVERIFY(listings.storage.contains(trialEntries));
    QCOMPARE(describe(DeviceListing::toReadBackRecords(listings.parsed("AMTNone"))),
             QString("AMT_2026_04_01_10_20 Valley 9:50"));

    const QList<CheckedProject> line9{{"AMT_2026_04_01_10_20", Qt::PartiallyChecked, {{9, Qt::Checked, {}}}}};
    QVERIFY(deleteOnInstrument(&f, DeviceListing::buildDeleteRequest(line9)));
    QVERIFY(fetch(&f, &listings));
    QVERIFY(listings.storage.contains(trialEntries));
    QCOMPARE(describe(DeviceListing::toReadBackRecords(listings.parsed("AMTNone"))),
             QString("AMT_2026_04_01_10_20 Valley"));
}

QTEST_MAIN(TestSimulatorListing)
#include "tst_simulator_listing.moc"
