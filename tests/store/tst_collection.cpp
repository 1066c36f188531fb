#include "StoreFixtures.h"
#include "StoreTestSupport.h"

#include "common/OneFreqImpedance.h"
#include "store/LibHORM.h"

#include <QPointer>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

const int lineCount = 2;
const int stationsPerLine = 3;
const int recordingsPerStation = 2;
const int curvesPerRecording = 3;

// A two-point curve that differs for every position in the tree.
QByteArray curveBytes(int line, int station, int recording, int channel)
{
    QByteArray bytes;
    for (int point = 0; point < 2; ++point) {
        OneFreqImpedance record;
        record.frequency = 1000.0 * (recording + 1) / (point + 1);
        record.apparentResistivity = line * 1000 + station * 100 + recording * 10 + channel + 0.25;
        record.phase = -point - 0.5;
        bytes.append(reinterpret_cast<const char *>(&record), sizeof record);
    }
    return bytes;
}

QList<double> stationNumbers(HORM_Collection<Data_Station> &stations)
{
    QList<double> numbers;
    for (int i = 0; i < stations.count(); ++i)
        numbers << stations.at(i).object->getStationNum();
    return numbers;
}

} // namespace

class TestCollection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void bounds();
    void selectStatements();
    void orderKeepsLaterAppendsAtTheEnd();
    void twoCollectionsOfOneParent();
    void treeInOneTransactionReadsBackTheSame();
    void ownershipAndClosing();
    void otherThreadExecutesNothing();
    void readFailureIsKeptForTheCaller();

private:
    QString file() const { return files->path(QStringLiteral("project.HMT")); }
    bool openStore();
    void writeTree();
    void checkTree();

    std::unique_ptr<ProjectFiles> files;
    std::unique_ptr<LibHORM> store;
};

void TestCollection::initTestCase()
{
    // One test calls from a worker thread on purpose.
    LibHORM::setAssertOnWrongThread(false);
}

void TestCollection::cleanupTestCase()
{
    LibHORM::setAssertOnWrongThread(true);
}

void TestCollection::init()
{
    files = std::make_unique<ProjectFiles>();
    QVERIFY(openStore());
}

void TestCollection::cleanup()
{
    store.reset();
    QCOMPARE(files->failedIntegrity(), QStringList());
    files.reset();
}

bool TestCollection::openStore()
{
    store = std::make_unique<LibHORM>();
    if (!store->openSqlite(file()))
        return false;
    for (const QMetaObject *meta : {&Data_Project::staticMetaObject, &Data_Line::staticMetaObject,
                                    &Data_Station::staticMetaObject, &Data_SampleData::staticMetaObject,
                                    &Data_ProcessData::staticMetaObject})
        store->createTable(meta);
    return true;
}

void TestCollection::bounds()
{
    SqlTrace trace(*store);
    HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
    QCOMPARE(trace.take(), QStringList("SELECT COUNT(*) AS TOTALROWS FROM Data_Station WHERE Data_LineID = 5"));
    QCOMPARE(stations.count(), 0);

    stations.addNew();
    HORM_CollectionItem<Data_Station> added = stations.addNew();
    QCOMPARE(added.index, 1);
    QCOMPARE(added.object->getData_LineID(), 5);
    QCOMPARE(sqliteCli(file(), "SELECT group_concat(ID || ':' || Data_LineID, ' ') FROM Data_Station"), QStringLiteral("1:5 2:5"));

    for (int index : {-1, 2}) {
        HORM_CollectionItem<Data_Station> item = stations.at(index);
        QCOMPARE(item.index, -1);
        QCOMPARE(item.collection, &stations);
        QCOMPARE(item.object, nullptr);
        QVERIFY(item.isNull());
    }
    // An item without its object fetches it.
    HORM_CollectionItem<Data_Station> unfetched{1, &stations, nullptr};
    QVERIFY(!unfetched.isNull());
    QCOMPARE(unfetched.object, added.object);
}

void TestCollection::selectStatements()
{
    {
        HORM_Collection<Data_Project> projects(store.get());
        projects.addNew();
    }
    SqlTrace trace(*store);
    HORM_Collection<Data_Project> projects(store.get());
    QCOMPARE(trace.take(), QStringList({"SELECT COUNT(*) AS TOTALROWS FROM Data_Project",
                                        "SELECT ID, ProjectId, ProjectName, ProjectAddress, ProjectDate, OperatorName, "
                                        "GMTOffset, LinesNumbers, Note FROM Data_Project   "}));
    QCOMPARE(projects.at(0).object->getGMTOffset(), 28800);

    HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
    stations.addNew();
    trace.take();
    stations.setOrder("StationNum");
    QCOMPARE(trace.take(), QStringList({"SELECT COUNT(*) AS TOTALROWS FROM Data_Station WHERE Data_LineID = 5",
                                        "SELECT ID, StationNum, Use, GPS_Latitude, GPS_Longtitude, GPS_Elevation, "
                                        "SampleNumbers, Data_LineID FROM Data_Station WHERE Data_LineID = 5  ORDER BY StationNum"}));
}

void TestCollection::orderKeepsLaterAppendsAtTheEnd()
{
    {
        HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
        for (double number : {3.0, 1.0, 2.5}) {
            Data_Station *station = stations.addNew().object;
            station->setStationNum(number);
            QVERIFY(station->updateRow());
        }
        HORM_Collection<Data_Station> otherLine(store.get(), "Data_LineID", "6");
        otherLine.addNew().object->setStationNum(0.5);
        QVERIFY(otherLine.at(0).object->updateRow());
    }
    HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
    QCOMPARE(stationNumbers(stations), QList<double>({3.0, 1.0, 2.5}));
    stations.setOrder("StationNum");
    QCOMPARE(stationNumbers(stations), QList<double>({1.0, 2.5, 3.0}));

    Data_Station *late = stations.addNew().object;
    late->setStationNum(0.0);
    QVERIFY(late->updateRow());
    QCOMPARE(stationNumbers(stations), QList<double>({1.0, 2.5, 3.0, 0.0}));
}

void TestCollection::twoCollectionsOfOneParent()
{
    HORM_Collection<Data_Station> first(store.get(), "Data_LineID", "5");
    first.addNew();
    HORM_Collection<Data_Station> second(store.get(), "Data_LineID", "5");
    QCOMPARE(second.count(), 1);
    QVERIFY(first.at(0).object != second.at(0).object);
    QCOMPARE(first.at(0).object->getID(), second.at(0).object->getID());

    first.at(0).object->setSampleNumbers(4);
    QVERIFY(first.at(0).object->updateRow());
    QCOMPARE(second.at(0).object->getSampleNumbers(), 0);
    second.setOrder("ID");
    QCOMPARE(second.at(0).object->getSampleNumbers(), 4);
}

void TestCollection::writeTree()
{
    HORM_Collection<Data_Project> projects(store.get());
    QVERIFY(projects.count() == 0);
    Data_Project *project = projects.addNew().object;
    project->setProjectName("测区 “北”");
    QVERIFY(project->updateRow());
    for (int l = 0; l < lineCount; ++l) {
        Data_Line *line = project->getREF_Data_Line()->addNew().object;
        line->setLineName(100 + l);
        QVERIFY(line->updateRow());
        for (int s = 0; s < stationsPerLine; ++s) {
            Data_Station *station = line->getREF_Data_Station()->addNew().object;
            station->setStationNum(s + 0.5);
            QVERIFY(station->updateRow());
            for (int r = 0; r < recordingsPerStation; ++r) {
                Data_SampleData *recording = station->getREF_Data_SampleData()->addNew().object;
                recording->setSampleDataNum(r + 1);
                recording->setSampleRate(r == 0 ? 24000 : 150);
                QVERIFY(recording->updateRow());
                for (int c = 0; c < curvesPerRecording; ++c) {
                    Data_ProcessData *curve = recording->getREF_Data_ProcessData()->addNew().object;
                    curve->setSampleChannel(c);
                    curve->setData_Impedance(curveBytes(l, s, r, c));
                    QVERIFY(curve->updateRow());
                }
            }
        }
    }
}

void TestCollection::checkTree()
{
    HORM_Collection<Data_Project> projects(store.get());
    QCOMPARE(projects.count(), 1);
    Data_Project *project = projects.at(0).object;
    QCOMPARE(project->getProjectName(), QStringLiteral("测区 “北”"));
    HORM_Collection<Data_Line> *lines = project->getREF_Data_Line();
    QCOMPARE(lines->count(), lineCount);
    for (int l = 0; l < lineCount; ++l) {
        Data_Line *line = lines->at(l).object;
        QCOMPARE(line->getLineName(), 100 + l);
        HORM_Collection<Data_Station> *stations = line->getREF_Data_Station();
        QCOMPARE(stations->count(), stationsPerLine);
        for (int s = 0; s < stationsPerLine; ++s) {
            Data_Station *station = stations->at(s).object;
            QCOMPARE(station->getStationNum(), s + 0.5);
            HORM_Collection<Data_SampleData> *recordings = station->getREF_Data_SampleData();
            QCOMPARE(recordings->count(), recordingsPerStation);
            for (int r = 0; r < recordingsPerStation; ++r) {
                Data_SampleData *recording = recordings->at(r).object;
                QCOMPARE(recording->getSampleDataNum(), r + 1);
                HORM_Collection<Data_ProcessData> *curves = recording->getREF_Data_ProcessData();
                QCOMPARE(curves->count(), curvesPerRecording);
                for (int c = 0; c < curvesPerRecording; ++c) {
                    QCOMPARE(curves->at(c).object->getSampleChannel(), c);
                    QCOMPARE(curves->at(c).object->getData_Impedance(), curveBytes(l, s, r, c));
                }
            }
        }
    }
}

void TestCollection::treeInOneTransactionReadsBackTheSame()
{
    {
        SqlTrace trace(*store);
        QVERIFY(store->transaction());
        writeTree();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(store->commit());
        QCOMPARE(trace.take().filter(QRegularExpression("^(BEGIN|COMMIT|ROLLBACK)")), QStringList({"BEGIN", "COMMIT"}));
    }
    // Every child row points at an existing parent.
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM Data_ProcessData c "
                               "JOIN Data_SampleData r ON c.Data_SampleDataID = r.ID "
                               "JOIN Data_Station s ON r.Data_StationID = s.ID "
                               "JOIN Data_Line l ON s.Data_LineID = l.ID "
                               "JOIN Data_Project p ON l.Data_ProjectID = p.ID"),
             QString::number(lineCount * stationsPerLine * recordingsPerStation * curvesPerRecording));

    store.reset();
    QVERIFY(openStore());
    checkTree();
}

void TestCollection::ownershipAndClosing()
{
    auto projects = std::make_unique<HORM_Collection<Data_Project>>(store.get());
    Data_Project *project = projects->addNew().object;
    QPointer<Data_Line> line = project->getREF_Data_Line()->addNew().object;
    QPointer<Data_Station> station = line->getREF_Data_Station()->addNew().object;

    {
        MessageLog log;
        store.reset();
        QCOMPARE(log.messages(), QStringList());
    }
    // The tree outlives its closed project harmlessly: nothing runs.
    QTest::ignoreMessage(QtWarningMsg, "HORM_Collection::count: no project database is open");
    QCOMPARE(projects->count(), 0);
    QTest::ignoreMessage(QtWarningMsg, "HORM_BaseObject::updateRow: no project database is open");
    QVERIFY(!station->updateRow());

    // The collection owns its objects, and each object its child collections.
    projects.reset();
    QVERIFY(line.isNull());
    QVERIFY(station.isNull());
}

void TestCollection::otherThreadExecutesNothing()
{
    HORM_Collection<Data_Line> lines(store.get(), "Data_ProjectID", "7");
    Data_Line *line = lines.addNew().object;
    SqlTrace trace(*store);
    QStringList didSomething;
    QStringList refusals;
    QThread *worker = QThread::create([&] {
        MessageLog log;
        if (store->transaction())
            didSomething << "transaction";
        if (store->createTable(&Key_Only::staticMetaObject))
            didSomething << "createTable";
        if (store->database())
            didSomething << "database";
        line->setNote("from a worker");
        if (line->updateRow())
            didSomething << "updateRow";
        if (lines.addNew().object)
            didSomething << "addNew";
        if (lines.at(0).object)
            didSomething << "at";
        lines.setOrder("LineName");
        if (store->commit())
            didSomething << "commit";
        for (const QString &message : log.messages())
            refusals << message.section(':', 0, 2);
    });
    worker->start();
    QVERIFY(worker->wait(30000));
    delete worker;

    // Each entry point refused on its own, and said so.
    QCOMPARE(refusals, QStringList({"LibHORM::transaction", "LibHORM::createTable", "LibHORM::database",
                                    "HORM_BaseObject::markChanged", "HORM_BaseObject::updateRow",
                                    "HORM_Collection::addNew", "HORM_Collection::at", "HORM_Collection::setOrder",
                                    "LibHORM::commit"}));
    QCOMPARE(didSomething, QStringList());
    QVERIFY(trace.take().isEmpty());
    // Back on the owning thread: nothing was marked, added or reloaded.
    QVERIFY(line->updateRow());
    QVERIFY(trace.take().isEmpty());
    QCOMPARE(lines.count(), 1);
    QCOMPARE(lines.at(0).object, line);
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM sqlite_master WHERE name = 'Key_Only'"), QStringLiteral("0"));
    QCOMPARE(sqliteCli(file(), "SELECT count(*) || ' ' || quote(Note) FROM Data_Line"), QStringLiteral("1 ''"));
}

// A table that cannot be read is no empty table: the store keeps the error for whoever loads.
void TestCollection::readFailureIsKeptForTheCaller()
{
    HORM_Collection<Data_Line> lines(store.get());
    lines.addNew();
    QCOMPARE(store->takeReadFailure(), QString());
    QSignalSpy failed(store.get(), &LibHORM::readFailed);
    QVERIFY(QSqlQuery(*store->database()).exec("DROP TABLE Data_Station"));

    HORM_Collection<Data_Station> stations(store.get());
    QCOMPARE(stations.count(), 0);
    HORM_Collection<Data_Station> ofLine(store.get(), "Data_LineID", "1");
    QCOMPARE(failed.count(), 2);
    const QString failure = store->takeReadFailure();
    QVERIFY2(failure.contains("Data_Station"), qPrintable(failure));
    QCOMPARE(store->takeReadFailure(), QString());

    lines.setOrder("ID");
    QCOMPARE(lines.count(), 1);
    QCOMPARE(store->takeReadFailure(), QString());
}

QTEST_GUILESS_MAIN(TestCollection)
#include "tst_collection.moc"
