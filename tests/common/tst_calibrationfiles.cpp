#include "common/CalibrationFiles.h"

#include <QtTest>

class TestCalibrationFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listing();
    void tablePath_data();
    void tablePath();

private:
    QTemporaryDir dir;
};

// Tables in three letter cases of the extension, beside a hidden table, a folder and a link that
// look like tables, and a file of another kind.
void TestCalibrationFiles::initTestCase()
{
    QVERIFY(dir.isValid());
    for (const char *name : {"ICMS01.txt", "IMFS2.TXT", "E1.Txt", ".E9.txt", "notes.md"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir("E5.txt"));
    QVERIFY(QFile::link(dir.filePath("E1.Txt"), dir.filePath("E7.txt")));
}

void TestCalibrationFiles::listing()
{
    QCOMPARE(CalibrationFiles::listTables(dir.path()), QStringList({"E1.Txt", "ICMS01.txt", "IMFS2.TXT"}));
    QCOMPARE(CalibrationFiles::listTables(dir.filePath("missing")), QStringList());
    QCOMPARE(CalibrationFiles::baseName("IMFS2.TXT"), QStringLiteral("IMFS2"));
}

void TestCalibrationFiles::tablePath_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("file"); // empty: no table

    QTest::newRow("lower-case extension") << "ICMS01" << "ICMS01.txt";
    QTest::newRow("upper-case extension") << "IMFS2" << "IMFS2.TXT";
    QTest::newRow("mixed-case extension") << "E1" << "E1.Txt";
    QTest::newRow("base name case matters") << "e1" << "";
    QTest::newRow("link is no table") << "E7" << "";
    QTest::newRow("folder is no table") << "E5" << "";
    QTest::newRow("unknown sensor") << "未设置" << "";
}

void TestCalibrationFiles::tablePath()
{
    QFETCH(QString, sensor);
    QFETCH(QString, file);
    QCOMPARE(CalibrationFiles::tablePath(dir.path(), sensor), file.isEmpty() ? QString() : dir.filePath(file));
}

QTEST_APPLESS_MAIN(TestCalibrationFiles)
#include "tst_calibrationfiles.moc"
