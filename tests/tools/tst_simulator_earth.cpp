// The simulator's channel blocks run through the impedance processing with the demo tables the
// build puts beside the program: every curve shows the simulator's half-space.
#include "tools/simulator/SimEarth.h"
#include "tools/simulator/SimStationTask.h"

#include "LibCagniard/LibCagniard.h"
#include "ScriptedPrompt.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_InputsSetting.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

const QString programDir = QStringLiteral(AMT_PROGRAM_DIR);
const QString coil = QStringLiteral("Demo-IMFS-Coil");
const QString electrode = QStringLiteral("Demo-Electrode");
constexpr int rate = 4000;
constexpr int seconds = 123; // 30 windows of 16384 samples
constexpr int eGain = 40, hGain = 1;
constexpr int eGainCode = 0x101, hGainCode = 0x100;
const double dipoles[3] = {100, 80, 50}; // E0, E1, E2

// The station task text as the program sends it: one group with all five channels.
QByteArray taskText(int watchMode)
{
    QByteArray text = "MachineID=0\nProjectNum=AMT_1\nLineNum=3\nStationNum=7\nGPS_Latitude=0\n"
                      "GPS_Longtitude=0\nGPS_Elevation=0\nGroupID=1\n";
    for (int ch = 1; ch <= 5; ++ch) {
        text += QString("CH%1ChannelIsUse=1\nCH%1InputNum=%2\nCH%1Gain=%3\n")
                    .arg(ch)
                    .arg(ch <= 2 ? coil : electrode)
                    .arg(ch <= 2 ? hGainCode : eGainCode)
                    .toUtf8();
    }
    for (int i = 0; i < 3; ++i)
        text += QString("PoleDistance%1=%2\n").arg(i + 1).arg(dipoles[i]).toUtf8();
    text += QString("SampleRate=%1\nSampleTime=%2\nInputShortCircuit=0\nOnLineSelect=1\nSampleStartTime=0\n"
                    "ElectrodeType=0\nChopper=0\nWatchMachineMode=%3\n")
                .arg(rate)
                .arg(seconds)
                .arg(watchMode)
                .toUtf8();
    return text;
}

SampleDataControlParam recordOf(const SimGroupTask &group)
{
    SampleDataControlParam record;
    record.machineID = 1001;
    record.lineNum = 3;
    record.stationNum = 7;
    record.dataIndexNum = group.groupId;
    record.dataLength = int32_t(group.blockBytes(0, 64 * 1024 * 1024));
    return record;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString gainTable(const QString &channel, int gain)
{
    return QString("%1/GainCalibration/1001/Low-H/%2-%3.txt").arg(programDir, channel).arg(gain);
}

} // namespace

class TestSimulatorEarth : public QObject
{
    Q_OBJECT
private slots:
    void curvesShowTheHalfSpace_data();
    void curvesShowTheHalfSpace();
    void blocksRepeatForTheSeed();
    void demoSensorsAreOffered();
};

void TestSimulatorEarth::curvesShowTheHalfSpace_data()
{
    QTest::addColumn<double>("rho");
    QTest::addColumn<int>("watchMode");
    QTest::addColumn<QStringList>("partners"); // the magnetic channel of E0, E1, E2 in the program
    QTest::newRow("Vector, 100 Ohm m") << 100.0 << 1 << QStringList{"Hy", "Hx", "Hy"};
    QTest::newRow("Vector, 1000 Ohm m") << 1000.0 << 1 << QStringList{"Hy", "Hx", "Hy"};
    QTest::newRow("ParallelTest, 30 Ohm m") << 30.0 << 3 << QStringList{"Hy", "Hy", "Hy"};
}

void TestSimulatorEarth::curvesShowTheHalfSpace()
{
    QFETCH(double, rho);
    QFETCH(int, watchMode);
    QFETCH(QStringList, partners);
    SimStationTask task;
    QVERIFY(SimStationTask::parse(taskText(watchMode), &task));
    const SimGroupTask &group = task.groups.first();
    const std::array<QByteArray, 5> blocks = SimEarth(rho, 1).samples(group, recordOf(group));

    QTemporaryDir dir;
    const QStringList names = {"Hx", "Hy", "E2", "E1", "E0"}; // data-connection order
    for (int c = 0; c < 5; ++c)
        QVERIFY(writeFile(dir.filePath(names[c] + ".ats"), blocks[size_t(c)]));

    const QString sensors = programDir + "/InputCalibration/";
    const QStringList eGainNames = {"Ex", "Ey", "Ex2"};
    for (int e = 0; e < 3; ++e) {
        LibCagniard lib;
        QVERIFY(lib.calcImpedance(dir.filePath(QString("E%1.ats").arg(e)), dir.filePath(partners[e] + ".ats"), rate,
                                  double(seconds * rate), dipoles[e], sensors + electrode + ".txt",
                                  sensors + coil + ".txt", gainTable(eGainNames[e], eGain),
                                  gainTable(partners[e], hGain), 16384, 30, false, 0, 0));
        const QVector<OneFreqImpedance> curve = lib.smoothImpedance();
        QVERIFY(curve.size() >= 5);
        for (const OneFreqImpedance &p : curve) {
            const QString at = QString("E%1 at %2 Hz: rho %3, phase %4, coherence %5")
                                   .arg(e)
                                   .arg(p.frequency)
                                   .arg(p.apparentResistivity)
                                   .arg(p.phase)
                                   .arg(p.coherence);
            if (qEnvironmentVariableIsSet("AMT_EARTH_FIGURES"))
                qInfo("%s", qPrintable(at));
            QVERIFY2(std::fabs(p.apparentResistivity / rho - 1) < 0.05, qPrintable(at));
            QVERIFY2(std::fabs(p.phase - 45) < 2, qPrintable(at));
            QVERIFY2(p.coherence > 0.9, qPrintable(at));
        }
    }
}

// A run repeats: the same seed gives the same blocks, another seed other ones.
void TestSimulatorEarth::blocksRepeatForTheSeed()
{
    SimStationTask task;
    QVERIFY(SimStationTask::parse(taskText(1), &task));
    SimGroupTask group = task.groups.first();
    group.sampleTime = 1;
    const SampleDataControlParam record = recordOf(group);
    const std::array<QByteArray, 5> first = SimEarth(100, 5).samples(group, record);
    QVERIFY(first == SimEarth(100, 5).samples(group, record));
    const std::array<QByteArray, 5> other = SimEarth(100, 6).samples(group, record);
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(first[size_t(c)].size(), record.dataLength);
        QVERIFY(first[size_t(c)] != other[size_t(c)]);
    }
}

// A run from the build offers the demo sensors for their channels.
void TestSimulatorEarth::demoSensorsAreOffered()
{
    ScriptedPrompt prompt;
    appDirPath = programDir;
    Dialog_InputsSetting dialog;
    dialog.setChannelInputsConfig({coil, coil, electrode, electrode, electrode});
    const ChannelInputsConfig chosen = dialog.getChannelInputsConfig();
    QCOMPARE(QStringList({chosen.HxInputNum, chosen.HyInputNum, chosen.E0InputNum, chosen.E1InputNum,
                          chosen.E2InputNum}),
             QStringList({coil, coil, electrode, electrode, electrode}));
    QCOMPARE(prompt.count(), 0);
}

QTEST_MAIN(TestSimulatorEarth)
#include "tst_simulator_earth.moc"
