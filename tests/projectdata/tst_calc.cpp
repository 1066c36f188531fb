#include "RunFixture.h"
#include "StoreTestSupport.h"
#include "TestFiles.h"

#include "common/Global_Variables.h"
#include "projectdata/ImpedanceCurve.h"
#include "store/LibHORM.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

QByteArray flatTable(double amplitude)
{
    QByteArray text = "Frequency(Hz) Amplitude Phase(deg)\n";
    for (double f = 0.001; f < 2e6; f *= 10)
        text += QByteArray::number(f) + ' ' + QByteArray::number(amplitude) + " 0\n";
    return text;
}

// int32 counts: noise on the magnetic channels, the electric ones proportional to their partner.
void writeSeries(const QString &folder, const QString &prefix, int samples)
{
    QVector<qint32> hx(samples), hy(samples);
    QRandomGenerator random(7);
    for (int i = 0; i < samples; ++i) {
        hx[i] = qint32(random.bounded(20000) - 10000);
        hy[i] = qint32(random.bounded(20000) - 10000);
    }
    const QList<QPair<QString, QVector<qint32>>> channels = {{"Hx", hx}, {"Hy", hy}};
    QVector<qint32> e0(samples), e1(samples);
    for (int i = 0; i < samples; ++i) {
        e0[i] = 3 * hy[i];
        e1[i] = -3 * hx[i];
    }
    for (const auto &c : channels + QList<QPair<QString, QVector<qint32>>>{{"E0", e0}, {"E1", e1}})
        TestFiles::write(folder + "/" + prefix + c.first + "_4000Hz_1.ats",
                         QByteArray(reinterpret_cast<const char *>(c.second.constData()), samples * 4));
}

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void partners_data();
    void partners();
    void realCurvesOfASyntheticRecording();
    void unusableFilesAreNamed_data();
    void unusableFilesAreNamed();
    void sensorTablesStayInTheirFolder();
    void storedStationIsRecalculated();
    void recalculationOfAClosedProjectIsDropped();
    void fractionalStationsAreTheirOwn();
    void damagedStoredCurveIsOfferedForRecalculation_data();
    void damagedStoredCurveIsOfferedForRecalculation();

private:
    SampleInfo syntheticRecording(int mode);
    std::unique_ptr<RunFixture> f;
};

void TestCalc::init()
{
    f = std::make_unique<RunFixture>();
}

void TestCalc::cleanup()
{
    f.reset();
}

void TestCalc::partners_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("hx");
    QTest::addColumn<bool>("hy");
    QTest::addColumn<QString>("partners"); // E0 E1 E2: x, y or - for none
    QTest::newRow("vector") << 1 << true << true << "yxy";
    QTest::newRow("vector without Hx") << 1 << false << true << "y-y";
    QTest::newRow("multipolarity") << 4 << true << true << "yxy";
    QTest::newRow("parallel") << 3 << true << true << "yyy";
    QTest::newRow("scalar with Hx") << 0 << true << false << "xxx";
    QTest::newRow("scalar with both") << 0 << true << true << "---";
    QTest::newRow("copoint with Hy") << 2 << false << true << "yyy";
    QTest::newRow("overwater with none") << 5 << false << false << "---";
    QTest::newRow("unknown mode") << 7 << true << true << "---";
}

void TestCalc::partners()
{
    QFETCH(int, mode);
    QFETCH(bool, hx);
    QFETCH(bool, hy);
    QFETCH(QString, partners);
    QString found;
    for (int e = 0; e < 3; ++e)
        found += QString("xy-").at(qBound(0, ImpedanceCalculator::partnerOf(mode, e, hx, hy) + 3, 5) % 3);
    QCOMPARE(found, partners);
}

SampleInfo TestCalc::syntheticRecording(int mode)
{
    const QString calibration = appDirPath + "/InputCalibration";
    const QString gains = appDirPath + "/GainCalibration/123/Low-H";
    QDir().mkpath(calibration);
    QDir().mkpath(gains);
    TestFiles::write(calibration + "/Coil-Hx.txt", flatTable(1));
    TestFiles::write(calibration + "/Coil-Hy.txt", flatTable(1));
    TestFiles::write(calibration + "/Electrode.TXT", flatTable(1)); // the extension in any case
    for (const char *table : {"Ex-40", "Ey-40", "Hx-1", "Hy-1"})
        TestFiles::write(gains + "/" + table + ".txt", flatTable(QByteArray(table).endsWith("40") ? 40 : 1));
    writeSeries(f->dir.path(), "123_Vector_Line5_Station100_", 4000 * 10);
    SampleInfo recording = RunFixture::task(mode, "Hx,Hy,E0,E1");
    recording.MachineID = 123;
    for (const QString &c : {"Hx", "Hy", "E0", "E1"})
        recording.channelFiles << new QFile(f->dir.path() + "/123_Vector_Line5_Station100_" + c + "_4000Hz_1.ats", f->tree.get());
    return recording;
}

void TestCalc::realCurvesOfASyntheticRecording()
{
    f->tree->setImpedanceCalculator(nullptr);
    SampleInfo recording = syntheticRecording(1);
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    QSignalSpy series(f->tree.get(), &DataModel_Index::showTimeSeries);
    QVERIFY(f->tree->calcSampleImpedance(recording));
    QCOMPARE(recording.impedance.size(), 2);
    QCOMPARE(recording.impedance.at(0).channel, 0);
    QCOMPARE(recording.impedance.at(1).channel, 1);
    for (const ChannelImpedance &curve : recording.impedance) {
        QVERIFY(!curve.curve.isEmpty());
        for (const OneFreqImpedance &point : curve.curve)
            QVERIFY(std::isfinite(point.apparentResistivity) && point.apparentResistivity > 0);
    }
    QCOMPARE(notices.count(), 0);

    // Without the E1 gain table only E0 is computed, and the notice names the table.
    QFile::remove(appDirPath + "/GainCalibration/123/Low-H/Ey-40.txt");
    recording.impedance.clear();
    QVERIFY(f->tree->calcSampleImpedance(recording));
    QCOMPARE(recording.impedance.size(), 1);
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.at(0).at(0).toString(),
             QString::fromUtf8("增益文件缺失!\n") + appDirPath + QString::fromUtf8("/GainCalibration/123/Low-H/Ey-40.txt 不存在\n"));

    // Scalar with both coils: no partner, a notice per channel, no curve, the time series instead.
    SampleInfo scalar = syntheticRecording(0);
    notices.clear();
    QVERIFY(!f->tree->calcSampleImpedance(scalar));
    QCOMPARE(notices.count(), 3);
    QCOMPARE(series.count(), 1);
    QVERIFY(scalar.impedance.isEmpty());
}

void TestCalc::unusableFilesAreNamed_data()
{
    QTest::addColumn<QString>("file"); // under the fixture's folder or the application folder
    QTest::addColumn<QByteArray>("bytes"); // "missing": the file is removed
    QTest::addColumn<QString>("notice");
    const QString series = "<dir>/123_Vector_Line5_Station100_E0_4000Hz_1.ats";
    QTest::newRow("channel file missing") << series << QByteArray("missing") << "增益文件缺失!\n" + series + " 不存在\n";
    QTest::newRow("sensor table of one row") << "<app>/InputCalibration/Coil-Hy.txt"
                                             << QByteArray("Frequency(Hz) Amplitude Phase(deg)\n1 1 0\n")
                                             << "校准文件无法使用：<app>/InputCalibration/Coil-Hy.txt";
    QTest::newRow("gain table of words") << "<app>/GainCalibration/123/Low-H/Ex-40.txt" << QByteArray("no numbers here\n")
                                         << "校准文件无法使用：<app>/GainCalibration/123/Low-H/Ex-40.txt";
}

// A missing channel file and a calibration table that gives no values are named in the notice
// that comes before the generic one.
void TestCalc::unusableFilesAreNamed()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, notice);
    f->tree->setImpedanceCalculator(nullptr);
    SampleInfo recording = syntheticRecording(1);
    for (QString *text : {&file, &notice})
        text->replace("<dir>", f->dir.path()).replace("<app>", appDirPath);
    if (bytes == "missing")
        QVERIFY(QFile::remove(file));
    else
        QVERIFY(TestFiles::write(file, bytes));
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    QVERIFY(!f->tree->calcSampleImpedance(recording));
    QCOMPARE(notices.count(), 2);
    QCOMPARE(notices.at(0).at(0).toString(), notice);
    QCOMPARE(notices.at(1).at(0).toString(), QString::fromUtf8("当前采样率阻抗图计算失败"));
}

// A sensor name from the settings that leads out of the calibration folder reads no table there,
// even one that exists.
void TestCalc::sensorTablesStayInTheirFolder()
{
    f->tree->setImpedanceCalculator(nullptr);
    SampleInfo recording = syntheticRecording(1);
    QDir().mkpath(appDirPath + "/outside");
    QVERIFY(QFile::copy(appDirPath + "/InputCalibration/Coil-Hy.txt", appDirPath + "/outside/Coil-Hy.txt"));
    recording.inputs.HyInputNum = "../outside/Coil-Hy";
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    QVERIFY(!f->tree->calcSampleImpedance(recording));
    QCOMPARE(notices.count(), 2);
    QCOMPARE(notices.at(0).at(0).toString(), QString::fromUtf8("传感器名称“../outside/Coil-Hy”不是校准文件夹中的文件名"));
}

void TestCalc::storedStationIsRecalculated()
{
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1"), 1));
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1", 2000), 2));
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));

    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    QSignalSpy selected(f->tree.get(), &DataModel_Index::signalSelectStation);
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    const QModelIndex line = f->tree->model()->index(0, 0);
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, line));
    QCOMPARE(curves.count(), 1);
    QCOMPARE(curves.at(0).at(0).value<QVector<OneFreqImpedance>>().at(0).apparentResistivity, 100.0);

    f->calculator.rho = 10000;
    f->tree->reCalcStationImpedanceData();
    QTRY_COMPARE(selected.count(), 2);
    QCOMPARE(curves.count(), 2);
    QCOMPARE(curves.at(1).at(0).value<QVector<OneFreqImpedance>>().at(0).apparentResistivity, 10000.0);
    QCOMPARE(selected.last(), (QVariantList{0, 5, 100.0}));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_ProcessData"), QString("4"));

    // Fewer curves than stored rows: nothing is written or shown.
    f->calculator.maxCurves = 1;
    f->calculator.rho = 1;
    notices.clear();
    f->tree->reCalcStationImpedanceData();
    QTRY_VERIFY(notices.count() == 2);
    QCOMPARE(notices.last().at(0).toString(), QString::fromUtf8("阻抗数量不符"));
    f->tree->waitForCalculations();
    QCoreApplication::processEvents();
    QCOMPARE(curves.count(), 2);
    QCOMPARE(selected.count(), 2);
}

void TestCalc::recalculationOfAClosedProjectIsDropped()
{
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1"), 1));
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    const QModelIndex line = f->tree->model()->index(0, 0);
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, line));
    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    QSignalSpy selected(f->tree.get(), &DataModel_Index::signalSelectStation);

    f->calculator.hold();
    f->tree->reCalcStationImpedanceData();
    f->calculator.release();
    f->tree->closeProject(); // waits for the task; its result comes back to a closed project
    QCoreApplication::processEvents();
    QCOMPARE(curves.count(), 0);
    QCOMPARE(selected.count(), 0);

    // A tree destroyed while a calculation runs waits for it first.
    f->receive(RunFixture::task(1, "Hy,E0"), 2);
    f->tree->showTempSampleData(5, 100, true);
    f->calculator.release();
    f->tree.reset();
    QCoreApplication::processEvents();
}

namespace {

double firstResistivity(const QSignalSpy &curves)
{
    return curves.last().at(0).value<QVector<OneFreqImpedance>>().value(0).apparentResistivity;
}

} // namespace

// With a 12.5 m step, station 112.5 shows and recalculates its own curves, not station 112's.
void TestCalc::fractionalStationsAreTheirOwn()
{
    for (double station : {112.0, 112.5}) {
        f->calculator.rho = station == 112.0 ? 100 : 10000;
        QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1"), 1, station));
        StationSampleInfo record = f->station(station);
        QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    }
    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    QSignalSpy selected(f->tree.get(), &DataModel_Index::signalSelectStation);
    const QModelIndex line = f->tree->model()->index(0, 0);
    QCOMPARE(f->tree->topLevelItem(0)->child(1)->text(0), QString("112.5"));
    f->tree->onDoubleClicked(f->tree->model()->index(1, 0, line));
    QCOMPARE(curves.count(), 1);
    QCOMPARE(firstResistivity(curves), 10000.0);
    QCOMPARE(selected.last().at(2).toDouble(), 112.5);

    f->calculator.rho = 1;
    f->tree->reCalcStationImpedanceData();
    QTRY_COMPARE(selected.count(), 2);
    QCOMPARE(selected.last(), (QVariantList{0, 5, 112.5}));
    QCOMPARE(firstResistivity(curves), 1.0);
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, line));
    QCOMPARE(firstResistivity(curves), 100.0);
}

void TestCalc::damagedStoredCurveIsOfferedForRecalculation_data()
{
    QTest::addColumn<QString>("blob");
    QTest::newRow("ragged length") << "substr(Data_Impedance, 1, 50)";
    QTest::newRow("zero frequency and resistivity") << "zeroblob(56)";
    QTest::newRow("negative frequency") << "X'" + QString::fromLatin1(ImpedanceCurve::encode({{0, -5, 0.9, 1e302, 45, 0, 0}}).toHex()) + "'";
}

// The damaged curve of the 2000 Hz recording is left out of the merge, and recalculation offered.
void TestCalc::damagedStoredCurveIsOfferedForRecalculation()
{
    QFETCH(QString, blob);
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1"), 1));
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    f->calculator.rho = 400;
    QVERIFY(f->record(RunFixture::task(1, "Hx,Hy,E0,E1", 2000), 2));
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    f->tree->closeProject();
    {
        LibHORM store;
        QVERIFY(store.openSqlite(f->projectDir() + "/proj.HMT"));
        QVERIFY(execSql(store, "UPDATE Data_ProcessData SET Data_Impedance = " + blob
                                   + " WHERE Data_SampleDataID = 2 AND SampleChannel = 0"));
    }
    QVERIFY(f->reopen());
    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    f->prompt.asked.clear();
    f->calculator.rho = 50;
    f->prompt.expectYes();

    const QModelIndex line = f->tree->model()->index(0, 0);
    f->tree->onDoubleClicked(f->tree->model()->index(0, 0, line));
    QCOMPARE(f->prompt.count(), 1);
    QCOMPARE(f->prompt.last().kind, PromptRequest::Question);
    const QString text = f->prompt.last().text;
    QVERIFY2(text.contains(QString::fromUtf8("已损坏")) && text.contains(QString::fromUtf8("第2条记录（2000Hz）E0"))
                 && !text.contains("E1"),
             qPrintable(text));
    QCOMPARE(curves.count(), 1);
    const QVector<OneFreqImpedance> e0 = curves.at(0).at(0).value<QVector<OneFreqImpedance>>();
    QCOMPARE(e0.size(), 1);
    QCOMPARE(e0.first().apparentResistivity, 100.0);
    // E1 is merged from both recordings as before.
    QCOMPARE(curves.at(0).at(1).value<QVector<OneFreqImpedance>>().first().apparentResistivity, 200.0);

    QTRY_COMPARE(curves.count(), 2);
    QCOMPARE(curves.at(1).at(0).value<QVector<OneFreqImpedance>>().first().apparentResistivity, 50.0);
    QCOMPARE(f->sql("SELECT length(Data_Impedance) FROM Data_ProcessData WHERE Data_SampleDataID = 2 AND SampleChannel = 0;"),
             QString("56"));
}

QTEST_MAIN(TestCalc)
#include "tst_calc.moc"
