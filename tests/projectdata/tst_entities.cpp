#include "ProjectBuilder.h"
#include "StoreTestSupport.h"

#include "projectdata/ChannelFileRegistry.h"
#include "store/LibHORM.h"

#include <QtTest>

class TestEntities : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void schemaOfTheFiveTables();
    void defaultsOfNewRows();
    void projectHeaderRoundTrip_data();
    void projectHeaderRoundTrip();
    void childCollectionIsBuiltOnce();
    void recordingNeedsItsFolder();
    void recordCopiesShareChannelFiles();

private:
    ProjectFiles files;
};

void TestEntities::initTestCase()
{
    // A zone away from UTC, so that local and universal days differ.
    qputenv("TZ", "Asia/Shanghai");
    tzset();
}

namespace {

QString tableSql(const QString &table, const QStringList &columns)
{
    return QStringLiteral("table|%1|CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , %2 )")
        .arg(table, columns.join(QStringLiteral(" , ")));
}

QString indexSql(const QString &table, const QString &column)
{
    return QStringLiteral("index|IDX_%1_%2_|CREATE INDEX IDX_%1_%2_ ON %1 ( %2 )").arg(table, column);
}

} // namespace

void TestEntities::schemaOfTheFiveTables()
{
    const QString file = files.path("schema.HMT");
    {
        LibHORM store;
        QVERIFY(store.openSqlite(file));
        QVERIFY(ProjectBuilder::createTables(store));
    }
    const QStringList expected = {
        tableSql("Data_Project", {"ProjectId TEXT", "ProjectName TEXT", "ProjectAddress TEXT", "ProjectDate INTEGER",
                                  "OperatorName TEXT", "GMTOffset INTEGER", "LinesNumbers INTEGER", "Note TEXT"}),
        "table|sqlite_sequence|CREATE TABLE sqlite_sequence(name,seq)",
        indexSql("Data_Project", "ID"),
        tableSql("Data_Line", {"LineName INTEGER", "Use INTEGER", "Note TEXT", "Data_ProjectID INTEGER"}),
        indexSql("Data_Line", "ID"),
        indexSql("Data_Line", "Data_ProjectID"),
        tableSql("Data_Station", {"StationNum REAL", "Use INTEGER", "GPS_Latitude REAL", "GPS_Longtitude REAL",
                                  "GPS_Elevation REAL", "SampleNumbers INTEGER", "Data_LineID INTEGER"}),
        indexSql("Data_Station", "ID"),
        indexSql("Data_Station", "Data_LineID"),
        tableSql("Data_SampleData", {"SampleDataNum INTEGER", "SampleRate INTEGER", "Use INTEGER", "Data_StationID INTEGER"}),
        indexSql("Data_SampleData", "ID"),
        indexSql("Data_SampleData", "Data_StationID"),
        tableSql("Data_ProcessData", {"SampleChannel INTEGER", "SampleFrequency REAL", "Data_Impedance BLOB",
                                      "Data_Velocity BLOB", "Data_SampleDataID INTEGER"}),
        indexSql("Data_ProcessData", "ID"),
        indexSql("Data_ProcessData", "Data_SampleDataID"),
    };
    QCOMPARE(sqliteCli(file, "SELECT type, name, sql FROM sqlite_master ORDER BY rowid;").split('\n'), expected);
    QCOMPARE(files.failedIntegrity(), QStringList());
}

void TestEntities::defaultsOfNewRows()
{
    const QString file = files.path("defaults.HMT");
    {
        LibHORM store;
        QVERIFY(store.openSqlite(file));
        ProjectBuilder builder(store);
        Data_Line *line = builder.project()->getREF_Data_Line()->addNew().object;
        Data_Station *station = line->getREF_Data_Station()->addNew().object;
        Data_SampleData *recording = station->getREF_Data_SampleData()->addNew().object;
        recording->getREF_Data_ProcessData()->addNew();
    }
    QCOMPARE(sqliteCli(file, "SELECT * FROM Data_Project;"), QString("1||||0||28800|0|"));
    QCOMPARE(sqliteCli(file, "SELECT * FROM Data_Line;"), QString("1|-1|0||1"));
    QCOMPARE(sqliteCli(file, "SELECT * FROM Data_Station;"), QString("1|-1.0|0|0.0|0.0|0.0|0|1"));
    QCOMPARE(sqliteCli(file, "SELECT * FROM Data_SampleData;"), QString("1|0|0|0|1"));
    QCOMPARE(sqliteCli(file, "SELECT ID, SampleChannel, SampleFrequency, length(Data_Impedance), Data_SampleDataID "
                             "FROM Data_ProcessData;"),
             QString("1|0|-1.0|0|1"));
}

void TestEntities::projectHeaderRoundTrip_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("stored");
    QTest::newRow("local midnight") << QDate(2024, 3, 5) << "1709568000";
    QTest::newRow("invalid date") << QDate() << "0";
}

void TestEntities::projectHeaderRoundTrip()
{
    QFETCH(QDate, date);
    QFETCH(QString, stored);
    const QString file = files.path(QString("header%1.HMT").arg(stored));
    const ProjectConfig config{"AMT_2024_03_05_08_00", "North", QString::fromUtf8("北京 东"), date, QString::fromUtf8("张三")};
    ProjectConfig readBack;
    {
        LibHORM store;
        QVERIFY(store.openSqlite(file));
        ProjectBuilder builder(store);
        QVERIFY(builder.project()->setProjectConfig(config));
        HORM_Collection<Data_Project> again(&store);
        readBack = again.at(0).object->getProjectConfig();
    }
    QCOMPARE(sqliteCli(file, "SELECT ProjectId, ProjectName, ProjectAddress, ProjectDate, OperatorName, GMTOffset "
                             "FROM Data_Project;"),
             QString::fromUtf8("AMT_2024_03_05_08_00|North|北京 东|%1|张三|28800").arg(stored));
    QCOMPARE(readBack.ProjectId, config.ProjectId);
    QCOMPARE(readBack.ProjectAddress, config.ProjectAddress);
    QCOMPARE(readBack.ProjectDate, date);
    QCOMPARE(readBack.OperatorName, config.OperatorName);
}

void TestEntities::childCollectionIsBuiltOnce()
{
    LibHORM store;
    QVERIFY(store.openSqlite(files.path("refs.HMT")));
    ProjectBuilder builder(store);
    Data_Line *line = builder.addLine(1);
    builder.addStation(line, 10);

    HORM_Collection<Data_Project> other(&store);
    Data_Line *sameLine = other.at(0).object->getREF_Data_Line()->at(0).object;
    HORM_Collection<Data_Station> *first = sameLine->getREF_Data_Station();
    QCOMPARE(first->count(), 1);
    builder.addStation(line, 20);
    QCOMPARE(sameLine->getREF_Data_Station(), first);
    QCOMPARE(first->count(), 1);
    QCOMPARE(line->getREF_Data_Station()->count(), 2);
}

void TestEntities::recordingNeedsItsFolder()
{
    Data_SampleData recording(nullptr);
    SampleInfo info;
    info.LineNum = 7;
    info.StationNum = 12.5;
    QVERIFY(!recording.hasSampleFolder());
    QVERIFY(!recording.setSampleInfo(info));
    QCOMPARE(recording.getSampleInfo().LineNum, 0);

    recording.setSampleFolder(files.path("no such station"));
    QVERIFY(recording.setSampleInfo(info));
    // No "config.ini" to read: the record stays as it was set.
    QCOMPARE(recording.getSampleInfo().StationNum, 12.5);
    QCOMPARE(recording.getChannelFiles(), QVector<QString>(5));
}

void TestEntities::recordCopiesShareChannelFiles()
{
    ChannelFileRegistry registry;
    SampleInfo info;
    info.channelFiles << registry.file(files.path("a_Hx.ats")) << registry.file(files.path("a_E0.ats"));
    QCOMPARE(registry.file(files.path("a_Hx.ats")), info.channelFiles.first());
    {
        const SampleInfo copy = info;
        QCOMPARE(copy.channelFiles, info.channelFiles);
    }
    QCOMPARE(registry.count(), 2);
    QCOMPARE(info.channelFiles.at(1)->fileName(), files.path("a_E0.ats"));
}

QTEST_GUILESS_MAIN(TestEntities)
#include "tst_entities.moc"
