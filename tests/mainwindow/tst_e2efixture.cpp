#include "E2eFixture.h"

#include "common/AMTMessageIds.h"
#include "common/Global_Variables.h"
#include "link/LibCom.h"
#include "mainwindow/InstrumentVersionRules.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

namespace {

bool listening(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(2000);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

// The end-to-end fixture's own parts: the simulator, the application folder and the prompt.
class TestE2eFixture : public QObject
{
    Q_OBJECT
private slots:
    void folderAndSettings();
    void instrumentAnswersOverTheLink();
    void promptIsScripted();
    void tearDownStopsAndRestores();
};

void TestE2eFixture::folderAndSettings()
{
    E2eFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.error()));
    QCOMPARE(appDirPath, fixture.appDir());
    QVERIFY(!fixture.simulator().settings().byteExactSamples);

    for (const char *table : {"InputCalibration/Demo-IMFS-Coil.txt", "GainCalibration/1001/Low-H/Hx-40.txt",
                              "GainCalibration/1001/High-H/Ex2-500.txt"}) {
        const QByteArray copied = contents(fixture.appDir() + '/' + table);
        QCOMPARE(copied, contents(QStringLiteral(AMT_PROGRAM_DIR "/") + table));
        QVERIFY2(!copied.isEmpty(), table);
    }

    QSettings settings(fixture.systemConfigPath(), QSettings::IniFormat);
    settings.beginGroup("SystemConfig");
    QCOMPARE(settings.value("IPAddress").toString(), QString("127.0.0.1"));
    QCOMPARE(settings.value("PortNumber").toUInt(), uint(fixture.basePort()));
    QCOMPARE(settings.value("WatchMachineMode").toString(), QString("Scalar"));
    QCOMPARE(settings.value("HyInputNum").toString(), QString("Demo-IMFS-Coil"));
    QCOMPARE(settings.value("E2InputNum").toString(), QString("Demo-Electrode"));
    QVERIFY(!settings.contains("HardwareVer"));
}

void TestE2eFixture::instrumentAnswersOverTheLink()
{
    E2eFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.error()));
    QVERIFY(listening(fixture.basePort()));

    LibCom link(nullptr);
    QSignalSpy connected(&link, &LibCom::AMTMachineNetWorkConnected);
    QSignalSpy info(&link, &LibCom::AMTMachineSystemInfo);
    MachineAddress address{QStringLiteral("127.0.0.1"), fixture.basePort()};
    link.openControlCom(address);
    QVERIFY(link.connectCom(COM_SELECT_CONTROL));
    QVERIFY(connected.wait(10000));
    link.sendGetSystemInfo();
    QVERIFY(fixture.waitForCommand(AMT_CMD_SYSTEM_INFO));
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, 10000);

    // The simulated instrument passes the version checks, and its three-decimal hardware version
    // does not close the program at the next connection.
    const SystemInfo reported = info.first().first().value<SystemInfo>();
    QVERIFY(firmwareAccepted(reported.firmwareVersion));
    const HardwareVersionOutcome first = hardwareVersionOutcome(reported.hardwareVersion, QVariant());
    QVERIFY(!first.oldGainLists);
    QVERIFY(!hardwareVersionOutcome(reported.hardwareVersion, first.storedText).closeProgram);
}

void TestE2eFixture::promptIsScripted()
{
    E2eFixture fixture;
    fixture.prompt().expectYes();
    QVERIFY(OperatorPrompt::question(nullptr, "温馨提示", "请确认是否停止采集?"));
    OperatorPrompt::critical(nullptr, "出错", "网络断开！请确认网线接好后重新连接！");
    QCOMPARE(fixture.promptTexts(), (QStringList{"请确认是否停止采集?", "网络断开！请确认网线接好后重新连接！"}));
}

void TestE2eFixture::tearDownStopsAndRestores()
{
    appDirPath = QStringLiteral("/before");
    quint16 port = 0;
    {
        E2eFixture fixture;
        QVERIFY2(fixture.setUp(), qPrintable(fixture.error()));
        port = fixture.basePort();
    }
    QCOMPARE(appDirPath, QString("/before"));
    QVERIFY(!listening(port));
}

QTEST_MAIN(TestE2eFixture)
#include "tst_e2efixture.moc"
