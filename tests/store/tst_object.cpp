#include "StoreFixtures.h"
#include "StoreTestSupport.h"

#include "common/OneFreqImpedance.h"
#include "store/HORM_SqlLiteral.h"
#include "store/LibHORM.h"

#include <QtTest>

#include <limits>
#include <memory>

namespace {

QByteArray impedanceRecord()
{
    OneFreqImpedance point;
    point.frequency = 10240.0;
    point.coherence = 0.97;
    point.apparentResistivity = 123.456;
    point.phase = -45.5;
    point.trueResistivity = std::numeric_limits<double>::denorm_min();
    point.inversionDepth = 1.0e6;
    return QByteArray(reinterpret_cast<const char *>(&point), sizeof point);
}

} // namespace

class TestObject : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void literals_data();
    void literals();
    void insertAndUpdateStatements();
    void textRoundTrip_data();
    void textRoundTrip();
    void numberRoundTrip_data();
    void numberRoundTrip();
    void recordBlobRoundTrip();
    void changeMarking();
    void failedUpdateStaysMarked();
    void failedInsertLeavesNoRow();
    void writesStopWhenTheDatabaseEndsTheTransaction();
    void deferredColumns();
    void referencesLoadOnce();

private:
    QString file() const { return files->path(QStringLiteral("project.HMT")); }
    Sample_Values *reloadedValues();

    std::unique_ptr<ProjectFiles> files;
    std::unique_ptr<LibHORM> store;
    std::unique_ptr<HORM_Collection<Sample_Values>> reloaded;
};

void TestObject::init()
{
    files = std::make_unique<ProjectFiles>();
    store = std::make_unique<LibHORM>();
    QVERIFY(store->openSqlite(file()));
    for (const QMetaObject *meta : {&Data_Line::staticMetaObject, &Data_Station::staticMetaObject, &Data_SampleData::staticMetaObject,
                                    &Sample_Values::staticMetaObject, &Key_Only::staticMetaObject})
        QVERIFY(store->createTable(meta));
}

void TestObject::cleanup()
{
    reloaded.reset();
    store.reset();
    QCOMPARE(files->failedIntegrity(), QStringList());
    files.reset();
}

// The first row of Sample_Values, read afresh from the file.
Sample_Values *TestObject::reloadedValues()
{
    reloaded = std::make_unique<HORM_Collection<Sample_Values>>(store.get());
    return reloaded->at(0).object;
}

void TestObject::literals_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("literal");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();

    QTest::newRow("negative int") << QVariant(-1) << "INTEGER" << "-1";
    QTest::newRow("int64 max") << QVariant(std::numeric_limits<qlonglong>::max()) << "INTEGER" << "9223372036854775807";
    QTest::newRow("int64 min") << QVariant(std::numeric_limits<qlonglong>::min()) << "INTEGER" << "-9223372036854775808";
    QTest::newRow("uint64 max") << QVariant(std::numeric_limits<qulonglong>::max()) << "INTEGER" << "18446744073709551615";
    QTest::newRow("true") << QVariant(true) << "INTEGER" << "1";
    QTest::newRow("false") << QVariant(false) << "INTEGER" << "0";
    QTest::newRow("whole real") << QVariant(-1.0) << "REAL" << "-1";
    QTest::newRow("tenth") << QVariant(0.1) << "REAL" << "0.1";
    QTest::newRow("large real") << QVariant(1.0e300) << "REAL" << "1e+300";
    QTest::newRow("small real") << QVariant(-2.5e-8) << "REAL" << "-2.5e-08";
    QTest::newRow("NaN") << QVariant(nan) << "REAL" << "NULL";
    QTest::newRow("infinity") << QVariant(infinity) << "REAL" << "NULL";
    QTest::newRow("minus infinity") << QVariant(-infinity) << "REAL" << "NULL";
    QTest::newRow("empty text") << QVariant(QString("")) << "TEXT" << "''";
    QTest::newRow("null text") << QVariant(QString()) << "TEXT" << "''";
    QTest::newRow("quotes") << QVariant(QString("it's ''")) << "TEXT" << "'it''s '''''";
    QTest::newRow("statement in text") << QVariant(QString("'); DROP TABLE Data_Line; --")) << "TEXT"
                                       << "'''); DROP TABLE Data_Line; --'";
    QTest::newRow("placeholders") << QVariant(QString("100% %1 %2 [id_value]")) << "TEXT" << "'100% %1 %2 [id_value]'";
    QTest::newRow("Chinese") << QVariant(QString("测线“一”")) << "TEXT" << "'测线“一”'";
    QTest::newRow("NUL in text") << QVariant(QString::fromUtf16(u"a\u0000b", 3)) << "TEXT" << "'ab'";
    QTest::newRow("empty blob") << QVariant(QByteArray()) << "BLOB" << "x''";
    QTest::newRow("blob") << QVariant(QByteArray("\x00\xff\x10", 3)) << "BLOB" << "x'00ff10'";
    QTest::newRow("56-byte blob") << QVariant(impedanceRecord()) << "BLOB"
                                  << "x'" + QString::fromLatin1(impedanceRecord().toHex()) + "'";
    QTest::newRow("no SQL type") << QVariant(QDate(2024, 3, 5)) << "NULL" << "NULL";
}

void TestObject::literals()
{
    QFETCH(QVariant, value);
    QFETCH(QString, type);
    QFETCH(QString, literal);
    QCOMPARE(sqlLiteral(value, type), literal);
}

void TestObject::insertAndUpdateStatements()
{
    Data_Line loose(store.get());
    loose.setData_ProjectID(7);
    QCOMPARE(loose.insertSql(), QStringLiteral("INSERT INTO Data_Line ( LineName, Use, Note, Data_ProjectID ) VALUES ( -1, 0, '', 7 )"));

    SqlTrace trace(*store);
    HORM_Collection<Data_Line> lines(store.get(), "Data_ProjectID", "7");
    Data_Line *line = lines.addNew().object;
    QCOMPARE(trace.take(), QStringList({"SELECT COUNT(*) AS TOTALROWS FROM Data_Line WHERE Data_ProjectID = 7",
                                        "INSERT INTO Data_Line ( LineName, Use, Note, Data_ProjectID ) VALUES ( -1, 0, '', 7 )",
                                        "select last_insert_rowid()",
                                        "SELECT COUNT(*) AS TOTALROWS FROM Data_Station WHERE Data_LineID = 1"}));
    QCOMPARE(line->getID(), 1);

    line->setLineName(3);
    line->setUse(1);
    line->setID(12);
    QCOMPARE(line->updateSql(), QStringLiteral("UPDATE Data_Line SET LineName = 3, Use = 1, Note = '', Data_ProjectID = 7 WHERE ID = 12 "));
    line->setID(1);
    QVERIFY(line->updateRow());
    QCOMPARE(trace.take(), QStringList("UPDATE Data_Line SET LineName = 3, Use = 1, Note = '', Data_ProjectID = 7 WHERE ID = 1 "));
}

void TestObject::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("quote") << "it's" << "it's";
    QTest::newRow("two quotes") << "''" << "''";
    QTest::newRow("statement") << "'); DROP TABLE Sample_Values; --" << "'); DROP TABLE Sample_Values; --";
    QTest::newRow("percent signs") << "100% %1 %2 %3" << "100% %1 %2 %3";
    QTest::newRow("template markers") << "[table_name] [column_value] [id_value]" << "[table_name] [column_value] [id_value]";
    QTest::newRow("Chinese") << "测区 “北” 第一线" << "测区 “北” 第一线";
    QTest::newRow("control characters") << "line\nbreak\ttab\\" << "line\nbreak\ttab\\";
    QTest::newRow("2000 quotes") << QString(2000, QChar('\'')) << QString(2000, QChar('\''));
    QTest::newRow("NUL") << QString::fromUtf16(u"before\u0000after", 12) << "beforeafter";
}

void TestObject::textRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    HORM_Collection<Sample_Values> rows(store.get());
    Sample_Values *values = rows.addNew().object;
    values->setText(text);
    values->setBig(42);
    QVERIFY(values->updateRow());

    const Sample_Values *back = reloadedValues();
    QVERIFY(back);
    QCOMPARE(back->getText(), stored);
    QCOMPARE(back->getBig(), 42);
    QCOMPARE(sqliteCli(file(), "SELECT length(Text) FROM Sample_Values"), QString::number(stored.size()));
}

void TestObject::numberRoundTrip_data()
{
    QTest::addColumn<bool>("flag");
    QTest::addColumn<qlonglong>("big");
    QTest::addColumn<double>("real");
    QTest::addColumn<double>("readBack");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();

    QTest::newRow("negative") << true << qlonglong(-1) << -1.0 << -1.0;
    QTest::newRow("int64 limits") << false << std::numeric_limits<qlonglong>::min() << 0.1 << 0.1;
    QTest::newRow("int64 max") << true << std::numeric_limits<qlonglong>::max() << 1.0 / 3.0 << 1.0 / 3.0;
    QTest::newRow("extreme reals") << true << qlonglong(0) << std::numeric_limits<double>::max()
                                   << std::numeric_limits<double>::max();
    QTest::newRow("denormal") << true << qlonglong(0) << std::numeric_limits<double>::denorm_min()
                              << std::numeric_limits<double>::denorm_min();
    // Not finite: stored as NULL, read back as the class's default, and the row's other columns saved.
    QTest::newRow("NaN") << true << qlonglong(5) << nan << -1.0;
    QTest::newRow("infinity") << true << qlonglong(5) << infinity << -1.0;
    QTest::newRow("minus infinity") << true << qlonglong(5) << -infinity << -1.0;
}

void TestObject::numberRoundTrip()
{
    QFETCH(bool, flag);
    QFETCH(qlonglong, big);
    QFETCH(double, real);
    QFETCH(double, readBack);
    HORM_Collection<Sample_Values> rows(store.get());
    Sample_Values *values = rows.addNew().object;
    values->setFlag(flag);
    values->setBig(big);
    values->setReal(real);
    values->setText("saved");
    QVERIFY(values->updateRow());

    const Sample_Values *back = reloadedValues();
    QVERIFY(back);
    QCOMPARE(back->getFlag(), flag);
    QCOMPARE(back->getBig(), big);
    QCOMPARE(back->getReal(), readBack);
    QCOMPARE(back->getText(), QStringLiteral("saved"));
    QCOMPARE(sqliteCli(file(), "SELECT typeof(Flag) || ' ' || Flag || ' ' || typeof(Big) FROM Sample_Values"),
             QString("integer %1 integer").arg(flag ? 1 : 0));
}

void TestObject::recordBlobRoundTrip()
{
    HORM_Collection<Sample_Values> rows(store.get());
    Sample_Values *values = rows.addNew().object;
    values->setBytes(impedanceRecord());
    QVERIFY(values->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT typeof(Bytes) || ' ' || lower(hex(Bytes)) FROM Sample_Values"),
             "blob " + QString::fromLatin1(impedanceRecord().toHex()));
    QCOMPARE(reloadedValues()->getBytes(), impedanceRecord());

    values->setBytes(QByteArray());
    QVERIFY(values->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT typeof(Bytes) || ' ' || length(Bytes) FROM Sample_Values"), QStringLiteral("blob 0"));
    QCOMPARE(reloadedValues()->getBytes(), QByteArray());
}

void TestObject::changeMarking()
{
    SqlTrace trace(*store);
    // Not attached to a collection: setters mark nothing.
    Data_Station loose(store.get());
    loose.setStationNum(3.0);
    QVERIFY(loose.updateRow());
    QVERIFY(trace.take().isEmpty());

    HORM_Collection<Data_Station> stations(store.get(), "Data_LineID", "5");
    Data_Station *station = stations.addNew().object;
    trace.take();
    station->setID(station->getID());
    QVERIFY(station->updateRow());
    QVERIFY(trace.take().isEmpty());

    // One change writes every column.
    station->setGPS_Elevation(512.5);
    QVERIFY(station->updateRow());
    QCOMPARE(trace.take(), QStringList("UPDATE Data_Station SET StationNum = -1, Use = 0, GPS_Latitude = 0, GPS_Longtitude = 0, "
                                       "GPS_Elevation = 512.5, SampleNumbers = 0, Data_LineID = 5 WHERE ID = 1 "));
    QVERIFY(station->updateRow());
    QVERIFY(trace.take().isEmpty());

    // A clean object writes nothing, even when its row is gone.
    QVERIFY(execSql(*store, "DELETE FROM Data_Station"));
    trace.take();
    QVERIFY(station->updateRow());
    QVERIFY(trace.take().isEmpty());
}

void TestObject::failedUpdateStaysMarked()
{
    HORM_Collection<Sample_Values> rows(store.get());
    Sample_Values *values = rows.addNew().object;
    QVERIFY(execSql(*store, "CREATE TRIGGER refuse BEFORE UPDATE ON Sample_Values "
                            "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
    values->setText("second try");
    values->setBig(99);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("update of \"Sample_Values\" 1 failed: .*refused by the test"));
    QVERIFY(!values->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT quote(Text) || ' ' || Big FROM Sample_Values"), QStringLiteral("'' -7"));

    QVERIFY(execSql(*store, "DROP TRIGGER refuse"));
    QVERIFY(values->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT quote(Text) || ' ' || Big FROM Sample_Values"), QStringLiteral("'second try' 99"));
}

void TestObject::failedInsertLeavesNoRow()
{
    QVERIFY(execSql(*store, "CREATE TRIGGER refuse BEFORE INSERT ON Data_Line "
                            "BEGIN SELECT RAISE(ABORT, 'no lines today'); END"));
    HORM_Collection<Data_Line> lines(store.get(), "Data_ProjectID", "7");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("insert into \"Data_Line\" failed: .*no lines today"));
    HORM_CollectionItem<Data_Line> item = lines.addNew();
    QVERIFY(!item.isNull());
    QCOMPARE(item.index, 0);
    QCOMPARE(lines.count(), 1);
    QCOMPARE(item.object->getID(), 0);
    QVERIFY(!item.object->hasRow());
    QCOMPARE(item.object->getREF_Data_Station()->count(), 0);

    // Without a row there is nothing to update: the change stays marked and is not reported saved.
    item.object->setLineName(4);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("update of \"Data_Line\" 0 found no row"));
    QVERIFY(!item.object->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM Data_Line"), QStringLiteral("0"));

    // A class that stores only its key has nothing to insert.
    HORM_Collection<Key_Only> keys(store.get());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no row inserted for \"Key_Only\""));
    HORM_CollectionItem<Key_Only> key = keys.addNew();
    QVERIFY(!key.isNull());
    QVERIFY(!key.object->hasRow());
}

// SQLite rolls a transaction back by itself after some failed statements (a full disk): the
// statements after it would each commit on their own. The store writes nothing until the
// caller has ended that transaction and begun another.
void TestObject::writesStopWhenTheDatabaseEndsTheTransaction()
{
    HORM_Collection<Data_Line> lines(store.get(), "Data_ProjectID", "7");
    QVERIFY(store->transaction());
    QVERIFY(lines.addNew().object->hasRow());
    QVERIFY(execSql(*store, "ROLLBACK"));
    QVERIFY(!store->transactionOpen());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("insertRow: the transaction was rolled back"));
    QVERIFY(!lines.addNew().object->hasRow());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rolled back by the database before the commit"));
    QVERIFY(!store->commit());
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM Data_Line"), QStringLiteral("0"));

    QVERIFY(store->transaction());
    QVERIFY(lines.addNew().object->hasRow());
    QVERIFY(store->commit());
    QCOMPARE(sqliteCli(file(), "SELECT count(*) FROM Data_Line"), QStringLiteral("1"));
}

void TestObject::deferredColumns()
{
    HORM_Collection<Sample_Values> rows(store.get());
    Sample_Values *values = rows.addNew().object;
    values->setDeferred("large payload");
    QVERIFY(values->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT CAST(Deferred AS TEXT) FROM Sample_Values"), QStringLiteral("large payload"));

    SqlTrace trace(*store);
    Sample_Values *loaded = reloadedValues();
    QCOMPARE(trace.take().last(), QStringLiteral("SELECT ID, Flag, Big, Real, Text, Bytes FROM Sample_Values   "));
    QVERIFY(loaded->getDeferred().isEmpty());
    loaded->setText("changed");
    QVERIFY(loaded->updateRow());
    QCOMPARE(trace.take(), QStringList("UPDATE Sample_Values SET Flag = 0, Big = -7, Real = -1, Text = 'changed', Bytes = x'' WHERE ID = 1 "));

    QVERIFY(loaded->selectRow());
    QCOMPARE(trace.take(), QStringList("SELECT Deferred FROM Sample_Values WHERE ID = 1"));
    QCOMPARE(loaded->getDeferred(), QByteArray("large payload"));
    QVERIFY(loaded->updateRow());
    QVERIFY(trace.take().isEmpty());

    // Cleared values are never written back over the row.
    loaded->clearLazyColumns();
    QVERIFY(loaded->getDeferred().isEmpty());
    loaded->setText("again");
    QVERIFY(loaded->updateRow());
    QCOMPARE(sqliteCli(file(), "SELECT Text || ' ' || CAST(Deferred AS TEXT) FROM Sample_Values"), QStringLiteral("again large payload"));
}

void TestObject::referencesLoadOnce()
{
    HORM_Collection<Data_Line> lines(store.get(), "Data_ProjectID", "7");
    Data_Line *line = lines.addNew().object;
    SqlTrace trace(*store);
    HORM_Collection<Data_Station> *stations = line->getREF_Data_Station();
    QVERIFY(stations);
    line->loadReferences();
    QCOMPARE(line->getREF_Data_Station(), stations);
    QVERIFY(trace.take().isEmpty());

    // Rows added through another collection do not appear in the one already built.
    HORM_Collection<Data_Station> other(store.get(), "Data_LineID", QString::number(line->getID()));
    other.addNew();
    QCOMPARE(line->getREF_Data_Station()->count(), 0);
}

QTEST_GUILESS_MAIN(TestObject)
#include "tst_object.moc"
