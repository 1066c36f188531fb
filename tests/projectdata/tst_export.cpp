#include "RunFixture.h"
#include "TestFiles.h"

#include "common/CtrlParam.h"
#include "projectdata/FloatDataExporter.h"

#include <QMenu>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray counts(const QVector<qint32> &values)
{
    QByteArray bytes(values.size() * 4, '\0');
    for (int i = 0; i < values.size(); ++i)
        qToLittleEndian<qint32>(values.at(i), bytes.data() + i * 4);
    return bytes;
}

CtrlParam duration(int rate, int seconds)
{
    CtrlParam param;
    param.SampleRate = rate;
    param.SampleTimeSecond = seconds;
    return param;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void linesAndTimes_data();
    void linesAndTimes();
    void stationExport();
    void lostChannelFileIsNamed();
    void recordingWithoutItsConfigRowIsRefused();
    void filesWithoutSamplesAreFailures_data();
    void filesWithoutSamplesAreFailures();
    void menuAfterAFailedSaveActsOnNoStation();

private:
    // Line 5, station 100: recordings at 4000 Hz and 2000 Hz, each with Hx and E0.
    static void saveTwoRecordings(RunFixture &f);

private:
    QTemporaryDir dir;
};

void TestExport::values_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("full scale at 4000 Hz") << 4000 << 2147483647 << QByteArray("0.00025   ,2500\n");
    QTest::newRow("negative at 4000 Hz") << 4000 << -2147483647 << QByteArray("0.00025   ,-2500\n");
    // A time longer than ten characters is not cut.
    QTest::newRow("one count at 10001 Hz") << 10001 << 1 << QByteArray("9.9990001e-05,1.164153219e-06\n");
    QTest::newRow("2^23 at 57800 Hz") << 57800 << 8388608 << QByteArray("1.730103806e-05,3000\n");
    QTest::newRow("one count at 10002 Hz") << 10002 << 1 << QByteArray("9.9980004e-05,0.0003576278687\n");
}

void TestExport::values()
{
    QFETCH(int, rate);
    QFETCH(qint32, count);
    QFETCH(QByteArray, line);
    const QString channel = dir.filePath("L1_S2_Hx.ats");
    QVERIFY(TestFiles::write(channel, counts({count})));
    QCOMPARE(FloatDataExporter::exportChannel(FloatDataExporter::task(channel, dir.path(), duration(rate, 1))), 1);
    QCOMPARE(TestFiles::read(dir.filePath("L1_S2_Hx_FloatData.txt")), line);
}

void TestExport::linesAndTimes_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<QByteArray>("extra");
    QTest::addColumn<int>("lines");
    QTest::newRow("exactly one second") << 250 << QByteArray() << 250;
    QTest::newRow("longer file") << 300 << QByteArray() << 250;
    QTest::newRow("short file with a torn sample") << 100 << QByteArray("\x01\x02", 2) << 100;
    QTest::newRow("empty file") << 0 << QByteArray() << 0;
}

void TestExport::linesAndTimes()
{
    QFETCH(int, samples);
    QFETCH(QByteArray, extra);
    QFETCH(int, lines);
    const QString channel = dir.filePath("a.b.ats");
    QVERIFY(TestFiles::write(channel, counts(QVector<qint32>(samples, 0)) + extra));
    QCOMPARE(FloatDataExporter::exportChannel(FloatDataExporter::task(channel, dir.path(), duration(250, 1))),
             qint64(lines));
    // No sample, no output.
    QCOMPARE(QFileInfo::exists(dir.filePath("a.b_FloatData.txt")), lines > 0);
    if (lines == 0)
        return;
    const QList<QByteArray> rows = TestFiles::read(dir.filePath("a.b_FloatData.txt")).split('\n');
    QCOMPARE(rows.size(), lines + 1);
    QVERIFY(rows.last().isEmpty());
    QCOMPARE(rows.first(), QByteArray("0.004     ,0"));
    QCOMPARE(rows.at(lines - 1), (QString::number(lines / 250.0, 'g', 10).leftJustified(10) + ",0").toLatin1());
}

void TestExport::stationExport()
{
    RunFixture f;
    QVERIFY(f.record(RunFixture::task(1, "Hx,E0"), 1));
    StationSampleInfo record = f.station();
    QVERIFY(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    f.prompt.asked.clear();
    QSignalSpy done(f.tree.get(), &DataModel_Index::floatDataExported);

    QVERIFY(!f.tree->getStationFloatData(0, 1));
    QVERIFY(f.tree->getStationFloatData(0, 0));
    QVERIFY(f.tree->isExportRunning());
    QVERIFY(!f.tree->getStationFloatData(0, 0));
    QCOMPARE(f.prompt.count(), 1);
    QVERIFY(done.wait(10000));
    QVERIFY(!f.tree->isExportRunning());
    QCOMPARE(f.prompt.count(), 2);
    QCOMPARE(f.prompt.last().text, QString::fromUtf8("线5点100浮点数据已经导出！\n共写出2个文件。"));

    // The recorded files hold a few samples, not the task's ten seconds: one line per sample.
    const QString station = f.dataDir() + "/Line 5/Station 100/";
    for (const QString &channel : {"Hx", "E0"}) {
        const QString name = QString("123_Vector_Line5_Station100_%1_4000Hz").arg(channel);
        const QByteArray text = TestFiles::read(f.tempDir() + "/" + name + "_FloatData.txt");
        QCOMPARE(text.count('\n'), TestFiles::read(station + name + ".ats").size() / 4);
        QVERIFY(text.startsWith("0.00025   ,"));
    }
}

void TestExport::saveTwoRecordings(RunFixture &f)
{
    QVERIFY(f.record(RunFixture::task(1, "Hx,E0"), 1));
    QVERIFY(f.record(RunFixture::task(1, "Hx,E0", 2000), 2));
    StationSampleInfo record = f.station();
    QVERIFY(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
}

// A channel file gone from the station folder: the others are written, the lost one is named.
void TestExport::lostChannelFileIsNamed()
{
    RunFixture f;
    saveTwoRecordings(f);
    QSignalSpy done(f.tree.get(), &DataModel_Index::floatDataExported);
    QVERIFY(QFile::remove(f.dataDir() + "/Line 5/Station 100/123_Vector_Line5_Station100_E0_2000Hz.ats"));
    QVERIFY(f.tree->getStationFloatData(0, 0));
    QVERIFY(done.wait(10000));
    const QString text = f.prompt.last().text;
    QVERIFY2(text.contains(QString::fromUtf8("写出3个文件")) && text.contains("E0_2000Hz.ats"), qPrintable(text));
    QVERIFY(!QFileInfo::exists(f.tempDir() + "/123_Vector_Line5_Station100_E0_2000Hz_FloatData.txt"));
}

// A recording whose "config.ini" row is missing names no file: nothing is exported.
void TestExport::recordingWithoutItsConfigRowIsRefused()
{
    RunFixture f;
    saveTwoRecordings(f);
    const QString station = f.dataDir() + "/Line 5/Station 100/";
    QStringList rows = QString::fromUtf8(TestFiles::read(station + "config.ini")).split("\r\n", QString::SkipEmptyParts);
    rows.removeLast();
    QVERIFY(TestFiles::write(station + "config.ini", (rows.join("\r\n") + "\r\n").toUtf8()));
    QVERIFY(f.reopen());
    QVERIFY(!f.tree->getStationFloatData(0, 0));
    const QString text = f.prompt.count() > 0 ? f.prompt.last().text : QString();
    QVERIFY2(text.contains("config.ini") && text.contains("2000Hz"), qPrintable(text));
    QVERIFY(!QFileInfo::exists(f.tempDir() + "/_FloatData.txt"));
    QVERIFY(!f.tree->isExportRunning());
}

void TestExport::filesWithoutSamplesAreFailures_data()
{
    // What is done to the 2000 Hz recording (the second row of config.ini); the channels of its
    // files that cannot be exported.
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<int>("written");
    QTest::newRow("rate 0") << "rate 0" << QStringList{"Hx", "E0"} << 2;
    QTest::newRow("negative rate") << "rate -2000" << QStringList{"Hx", "E0"} << 2;
    QTest::newRow("duration 0") << "duration 0时0分0秒" << QStringList{"Hx", "E0"} << 2;
    QTest::newRow("negative duration") << "duration 0时0分-10秒" << QStringList{"Hx", "E0"} << 2;
    // The cells after it move up one place: the row names no Hx file any more.
    QTest::newRow("duration cell missing") << "drop duration" << QStringList{"E0"} << 2;
    QTest::newRow("empty channel file") << "empty E0" << QStringList{"E0"} << 3;
    QTest::newRow("saved as GBK") << "GBK" << QStringList{} << 4;
}

// A channel file that gets no sample is named as failed, never counted as written.
void TestExport::filesWithoutSamplesAreFailures()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, failed);
    QFETCH(int, written);
    RunFixture f;
    saveTwoRecordings(f);
    const QString station = f.dataDir() + "/Line 5/Station 100/";
    const QString config = station + "config.ini";
    QStringList lines = QString::fromUtf8(TestFiles::read(config)).split("\r\n");
    QStringList cells = lines.at(4).simplified().split(' ');
    constexpr int rateCell = 16;
    constexpr int durationCell = 17;
    if (damage.startsWith("rate "))
        cells[rateCell] = damage.mid(5);
    else if (damage.startsWith("duration "))
        cells[durationCell] = damage.mid(9);
    else if (damage == "drop duration")
        cells.removeAt(durationCell);
    else if (damage == "empty E0")
        QVERIFY(TestFiles::write(station + "123_Vector_Line5_Station100_E0_2000Hz.ats", QByteArray()));
    lines[4] = cells.join("    ");
    const QString text = lines.join("\r\n");
    QVERIFY(TestFiles::write(config, damage == "GBK" ? TestFiles::gbk(text) : text.toUtf8()));
    QVERIFY(f.reopen());
    QSignalSpy done(f.tree.get(), &DataModel_Index::floatDataExported);

    QVERIFY(f.tree->getStationFloatData(0, 0));
    QVERIFY(done.wait(10000));
    const QString message = f.prompt.last().text;
    QCOMPARE(message.contains(QString::fromUtf8("导出未完成")), !failed.isEmpty());
    QVERIFY2(message.contains(QString::fromUtf8("写出%1个文件").arg(written)), qPrintable(message));
    for (const QString &channel : {"Hx", "E0"}) {
        const QString name = QString("123_Vector_Line5_Station100_%1_2000Hz").arg(channel);
        QCOMPARE(message.contains(name + ".ats"), failed.contains(channel));
        const bool exported = !failed.contains(channel) && (channel != "Hx" || damage != "drop duration");
        QCOMPARE(QFileInfo(f.tempDir() + "/" + name + "_FloatData.txt").size() > 0, exported);
    }
}

// The tree lists stations as they were saved; a failed save reloads it in order. The station menu
// remembered before then exports no station, never the one now in its row.
void TestExport::menuAfterAFailedSaveActsOnNoStation()
{
    RunFixture f;
    for (double station : {100.0, 200.0, 150.0}) {
        QVERIFY(f.record(RunFixture::task(1, "Hx,E0"), 1, station));
        StationSampleInfo record = f.station(station);
        QVERIFY(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    }
    f.tree->resize(400, 400);
    f.tree->show();
    f.tree->expandAll();
    QTreeWidgetItem *station150 = f.tree->topLevelItem(0)->child(2);
    QCOMPARE(station150->text(0), QString("150"));
    QMenu *menu = f.tree->rememberItemAt(f.tree->visualItemRect(station150).center());
    QVERIFY(menu);

    QVERIFY(f.record(RunFixture::task(1, "Hx,E0"), 1, 300));
    QVERIFY(QDir().mkpath(f.dataDir() + "/Line 5/Station 300/config.ini")); // cannot be written
    StationSampleInfo failing = f.station(300);
    QVERIFY(!f.tree->saveStationTempSampleData(failing, StationNumAutoConfig{}, 0));
    QCOMPARE(f.tree->topLevelItem(0)->child(2)->text(0), QString("200"));

    f.prompt.asked.clear();
    QAction *exportAction = menu->actions().first();
    QCOMPARE(exportAction->text(), QString::fromUtf8("导出浮点数"));
    exportAction->trigger();
    QVERIFY(!f.tree->isExportRunning());
    QCOMPARE(f.prompt.count(), 0);
    QVERIFY(QDir(f.tempDir()).entryList({"*_FloatData.txt"}).isEmpty());
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
