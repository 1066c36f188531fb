#include "StoreFixtures.h"
#include "StoreTestSupport.h"

#include "store/LibHORM.h"

#include <QSqlDatabase>
#include <QtTest>

#include <memory>

namespace {

const QString lineTable = QStringLiteral(
    "CREATE TABLE Data_Line (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , LineName INTEGER , Use INTEGER , "
    "Note TEXT , Data_ProjectID INTEGER );");

QString withoutSemicolon(QString statement)
{
    statement.chop(1);
    return statement;
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void creationStatements();
    void newFileGetsTablesInCallOrder();
    void registry();
    void addsMissingColumnsInClassOrder();
    void leavesDifferingTable_data();
    void leavesDifferingTable();
    void classWithoutColumnsFailsCleanly();
    void openingAnOpenPathKeepsTheLiveConnection();
    void failedOpenLeavesNoConnection();
    void commitReportsFailureAndRollsBack();

private:
    bool openStore();
    QString file() const { return files->path(QStringLiteral("project.HMT")); }

    std::unique_ptr<ProjectFiles> files;
    std::unique_ptr<LibHORM> store;
};

void TestSchema::init()
{
    files = std::make_unique<ProjectFiles>();
}

void TestSchema::cleanup()
{
    store.reset();
    QCOMPARE(files->failedIntegrity(), QStringList());
    files.reset();
}

bool TestSchema::openStore()
{
    store = std::make_unique<LibHORM>();
    return store->openSqlite(file());
}

void TestSchema::creationStatements()
{
    LibHORM unopened;
    QCOMPARE(unopened.createTableSql(&Data_Line::staticMetaObject),
             QStringList({lineTable, "CREATE INDEX IDX_Data_Line_ID_ ON Data_Line ( ID );",
                          "CREATE INDEX IDX_Data_Line_Data_ProjectID_ ON Data_Line ( Data_ProjectID );"}));
    QCOMPARE(unopened.createTableSql(&Data_Station::staticMetaObject).first(),
             QStringLiteral("CREATE TABLE Data_Station (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , StationNum REAL , "
                            "Use INTEGER , GPS_Latitude REAL , GPS_Longtitude REAL , GPS_Elevation REAL , "
                            "SampleNumbers INTEGER , Data_LineID INTEGER );"));
    QCOMPARE(unopened.createTableSql(&Data_ProcessData::staticMetaObject).first(),
             QStringLiteral("CREATE TABLE Data_ProcessData (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , "
                            "SampleChannel INTEGER , SampleFrequency REAL , Data_Impedance BLOB , Data_Velocity BLOB , "
                            "Data_SampleDataID INTEGER );"));
    QCOMPARE(unopened.createTableSql(&Sample_Values::staticMetaObject).first(),
             QStringLiteral("CREATE TABLE Sample_Values (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , Flag INTEGER , "
                            "Big INTEGER , Real REAL , Text TEXT , Bytes BLOB , Deferred BLOB );"));
    // A column without a property, and a type without an SQL type, are typed NULL.
    QCOMPARE(unopened.createTableSql(&Odd_Columns::staticMetaObject).first(),
             QStringLiteral("CREATE TABLE Odd_Columns (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , Ghost NULL , Day NULL );"));
}

void TestSchema::newFileGetsTablesInCallOrder()
{
    QVERIFY(openStore());
    SqlTrace trace(*store);
    const QList<const QMetaObject *> classes{&Data_Project::staticMetaObject, &Data_Line::staticMetaObject,
                                             &Data_Station::staticMetaObject, &Data_SampleData::staticMetaObject,
                                             &Data_ProcessData::staticMetaObject};
    for (const QMetaObject *meta : classes) {
        QVERIFY(store->createTable(meta));
        // The probe of a missing table never runs; the rest is one transaction per class.
        QCOMPARE(trace.take(), QStringList("BEGIN") + store->createTableSql(meta) + QStringList("COMMIT"));
    }
    QCOMPARE(sqliteCli(file(), "SELECT group_concat(name, ' ') FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'"),
             QStringLiteral("Data_Project IDX_Data_Project_ID_ "
                            "Data_Line IDX_Data_Line_ID_ IDX_Data_Line_Data_ProjectID_ "
                            "Data_Station IDX_Data_Station_ID_ IDX_Data_Station_Data_LineID_ "
                            "Data_SampleData IDX_Data_SampleData_ID_ IDX_Data_SampleData_Data_StationID_ "
                            "Data_ProcessData IDX_Data_ProcessData_ID_ IDX_Data_ProcessData_Data_SampleDataID_"));
    // Another program reads the schema text exactly as it was written.
    QCOMPARE(sqliteCli(file(), "SELECT sql FROM sqlite_master WHERE name = 'Data_Line'"), withoutSemicolon(lineTable));
}

void TestSchema::registry()
{
    QVERIFY(openStore());
    QStringList names;
    QStringList types;
    QString key;
    QString keyType;
    QStringList children;
    QVERIFY(!store->getColumns("Data_Line", names, types));
    QVERIFY(!store->getKeyInfo("Data_Line", key, keyType));

    QVERIFY(store->createTable(&Data_Line::staticMetaObject));
    QVERIFY(store->getColumns("Data_Line", names, types));
    QCOMPARE(names, QStringList({"LineName", "Use", "Note", "Data_ProjectID"}));
    QCOMPARE(types, QStringList({"INTEGER", "INTEGER", "TEXT", "INTEGER"}));
    QVERIFY(store->getKeyInfo("Data_Line", key, keyType));
    QCOMPARE(key, QStringLiteral("ID"));
    QCOMPARE(keyType, QStringLiteral("INTEGER"));
    QVERIFY(store->getReferences("Data_Line", children));
    QCOMPARE(children, QStringList("Data_Station"));

    // The registry keeps only columns that are properties.
    QVERIFY(store->createTable(&Odd_Columns::staticMetaObject));
    QVERIFY(store->getColumns("Odd_Columns", names, types));
    QCOMPARE(names, QStringList("Day"));
    QCOMPARE(types, QStringList("NULL"));
}

void TestSchema::addsMissingColumnsInClassOrder()
{
    QVERIFY(openStore());
    QVERIFY(execSql(*store, "CREATE TABLE Data_Station (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , Use INTEGER , "
                            "GPS_Latitude REAL , GPS_Longtitude REAL , GPS_Elevation REAL , Data_LineID INTEGER )"));
    QVERIFY(execSql(*store, "INSERT INTO Data_Station (Use, GPS_Latitude, GPS_Longtitude, GPS_Elevation, Data_LineID) "
                            "VALUES (1, 30.5, 104.25, 512, 5)"));
    SqlTrace trace(*store);
    QVERIFY(store->createTable(&Data_Station::staticMetaObject));
    QCOMPARE(trace.take(), QStringList({"select * from Data_Station LIMIT 0", "BEGIN",
                                        "ALTER TABLE Data_Station ADD COLUMN StationNum REAL",
                                        "ALTER TABLE Data_Station ADD COLUMN SampleNumbers INTEGER", "COMMIT"}));
    QCOMPARE(sqliteCli(file(), "SELECT quote(StationNum) || ' ' || quote(SampleNumbers) FROM Data_Station"),
             QStringLiteral("NULL NULL"));

    // The old row reads the class's defaults where it holds NULL.
    HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
    QCOMPARE(stations.count(), 1);
    const Data_Station *station = stations.at(0).object;
    QCOMPARE(station->getStationNum(), -1.0);
    QCOMPARE(station->getSampleNumbers(), 0);
    QCOMPARE(station->getUse(), 1);
    QCOMPARE(station->getGPS_Longtitude(), 104.25);
}

void TestSchema::leavesDifferingTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("warning");
    QTest::newRow("up to date") << withoutSemicolon(lineTable) << QString();
    QTest::newRow("changed type") << QStringLiteral("CREATE TABLE Data_Line (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , "
                                                    "LineName INTEGER , Use INTEGER , Note INTEGER , Data_ProjectID INTEGER )")
                                  << QStringLiteral("(\"Note\") and columns its class does not declare ()");
    QTest::newRow("extra column") << QStringLiteral("CREATE TABLE Data_Line (ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT , "
                                                    "LineName INTEGER , Use INTEGER , Note TEXT , Extra TEXT , Data_ProjectID INTEGER )")
                                  << QStringLiteral("() and columns its class does not declare (\"Extra\")");
}

void TestSchema::leavesDifferingTable()
{
    QFETCH(QString, table);
    QFETCH(QString, warning);
    QVERIFY(openStore());
    QVERIFY(execSql(*store, table));
    SqlTrace trace(*store);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warning) + "$"));
    QVERIFY(!store->createTable(&Data_Line::staticMetaObject));
    QCOMPARE(trace.take(), QStringList("select * from Data_Line LIMIT 0"));
    QCOMPARE(sqliteCli(file(), "SELECT sql FROM sqlite_master WHERE name = 'Data_Line'"), table);
}

void TestSchema::classWithoutColumnsFailsCleanly()
{
    QVERIFY(openStore());
    SqlTrace trace(*store);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("CREATE TABLE Not_Stored \\(\\);.*failed"));
    QVERIFY(!store->createTable(&Not_Stored::staticMetaObject));
    QCOMPARE(trace.take(), QStringList({"BEGIN", "ROLLBACK"}));
    // Nothing was left behind, and the connection is out of the failed transaction.
    QVERIFY(store->createTable(&Data_Line::staticMetaObject));
    QCOMPARE(sqliteCli(file(), "SELECT group_concat(name, ' ') FROM sqlite_master WHERE type = 'table'"),
             QStringLiteral("Data_Line sqlite_sequence"));
}

void TestSchema::openingAnOpenPathKeepsTheLiveConnection()
{
    QVERIFY(openStore());
    {
        LibHORM second;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is already open$"));
        QVERIFY(!second.openSqlite(file()));
        QTest::ignoreMessage(QtWarningMsg, "LibHORM::transaction: no project database is open");
        QVERIFY(!second.transaction());
    }
    QVERIFY(QSqlDatabase::contains(file()));
    QVERIFY(store->createTable(&Data_Line::staticMetaObject));

    // One database object holds one file.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already holds"));
    QVERIFY(!store->openSqlite(files->path("other.HMT")));
    QVERIFY(!QFile::exists(files->path("other.HMT")));

    // Once closed, the same file opens again under a fresh connection.
    store.reset();
    QVERIFY(!QSqlDatabase::contains(file()));
    QVERIFY(openStore());
    QVERIFY(!store->createTable(&Data_Line::staticMetaObject));
}

void TestSchema::failedOpenLeavesNoConnection()
{
    const QString path = files->path("no such folder/project.HMT");
    LibHORM unopened;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot open"));
    QVERIFY(!unopened.openSqlite(path));
    QVERIFY(!QSqlDatabase::contains(path));
    QCOMPARE(unopened.database(), nullptr);
}

void TestSchema::commitReportsFailureAndRollsBack()
{
    QVERIFY(openStore());
    QVERIFY(execSql(*store, "PRAGMA foreign_keys = ON"));
    QVERIFY(execSql(*store, "CREATE TABLE Parent (ID INTEGER PRIMARY KEY)"));
    QVERIFY(execSql(*store, "CREATE TABLE Child (ParentID INTEGER REFERENCES Parent (ID) DEFERRABLE INITIALLY DEFERRED)"));
    QVERIFY(store->transaction());
    QVERIFY(execSql(*store, "INSERT INTO Child VALUES (42)"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("commit failed, rolling back"));
    QVERIFY(!store->commit());
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM Child"), QStringLiteral("0"));
    QVERIFY(store->transaction());
    QVERIFY(store->commit());
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
