#include "E2eFixture.h"

#include "common/Global_Variables.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString programDir = QStringLiteral(AMT_PROGRAM_DIR);
const QStringList calibrationFolders = {QStringLiteral("InputCalibration"), QStringLiteral("GainCalibration")};

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir(from).exists())
        return false;
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + '/' + QDir(from).relativeFilePath(source);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

} // namespace

E2eFixture::E2eFixture()
    : previousAppDirPath(appDirPath)
{
    qRegisterMetaType<uint32_t>("uint32_t");
    // The earth's response, so that the program's impedance curves can be checked.
    sim.settings().byteExactSamples = false;
}

E2eFixture::~E2eFixture()
{
    sim.stop();
    appDirPath = previousAppDirPath;
}

QString E2eFixture::appDir() const
{
    return dir.path();
}

QString E2eFixture::systemConfigPath() const
{
    return dir.path() + QStringLiteral("/systemConfig.ini");
}

bool E2eFixture::setUp()
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary folder");
        return false;
    }
    if (!sim.start(0)) {
        failure = QStringLiteral("the simulator found no free ports on 127.0.0.1");
        return false;
    }
    if (!copyDemoCalibration(dir.path())) {
        failure = QStringLiteral("demo calibration tables missing under %1").arg(programDir);
        return false;
    }
    if (!writeSystemConfig(systemConfigPath(), basePort())) {
        failure = QStringLiteral("cannot write %1").arg(systemConfigPath());
        return false;
    }
    appDirPath = dir.path();
    return true;
}

bool E2eFixture::writeSystemConfig(const QString &path, quint16 basePort, const E2eSensors &sensors, const QString &mode)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("SystemConfig"));
    settings.setValue(QStringLiteral("IPAddress"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("PortNumber"), int(basePort));
    settings.setValue(QStringLiteral("WatchMachineMode"), mode);
    for (const char *channel : {"Hx", "Hy"})
        settings.setValue(QString("%1InputNum").arg(channel), sensors.coil);
    for (const char *channel : {"E0", "E1", "E2"})
        settings.setValue(QString("%1InputNum").arg(channel), sensors.electrode);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool E2eFixture::copyDemoCalibration(const QString &toDir)
{
    for (const QString &folder : calibrationFolders) {
        if (!copyTree(programDir + '/' + folder, toDir + '/' + folder))
            return false;
    }
    return true;
}

bool E2eFixture::waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

bool E2eFixture::waitForSignal(QObject *sender, const char *signal, int timeoutMs)
{
    QSignalSpy spy(sender, signal);
    return spy.isValid() && spy.wait(timeoutMs);
}

bool E2eFixture::waitForCommand(uint32_t id, int count, int timeoutMs)
{
    QSignalSpy spy(&sim, &AMTSimulator::commandHandled);
    return waitUntil(
        [&spy, id, count] {
            int handled = 0;
            for (const QList<QVariant> &args : spy)
                handled += args.at(0).toUInt() == id ? 1 : 0;
            return handled >= count;
        },
        timeoutMs);
}

QStringList E2eFixture::promptTexts() const
{
    QStringList texts;
    for (const PromptRequest &request : scriptedPrompt.asked)
        texts.append(request.text);
    return texts;
}
