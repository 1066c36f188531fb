#ifndef E2EFIXTURE_H
#define E2EFIXTURE_H

#include "ScriptedPrompt.h"
#include "tools/simulator/AMTSimulator.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>

class QObject;

// The sensors of the demo calibration tables, written for the magnetic and electric channels.
struct E2eSensors
{
    QString coil = QStringLiteral("Demo-IMFS-Coil");
    QString electrode = QStringLiteral("Demo-Electrode");
};

// What an end-to-end test of the program needs around the window: the simulated instrument on
// free 127.0.0.1 ports answering with a half-space earth, an application folder of the test's
// own (the demo calibration tables and a "systemConfig.ini" that points at the simulator), and
// the scripted operator prompt. The test constructs the window after setUp(); the window keeps
// the fixture's folder as its application folder.
class E2eFixture
{
public:
    E2eFixture();
    ~E2eFixture();
    E2eFixture(const E2eFixture &) = delete;
    E2eFixture &operator=(const E2eFixture &) = delete;

    // Starts the simulator and fills the application folder; appDirPath points at the folder.
    // False, with error() saying why, when a step fails.
    bool setUp();
    QString error() const { return failure; }

    AMTSimulator &simulator() { return sim; }
    quint16 basePort() const { return sim.basePort(); }
    QString appDir() const;
    QString systemConfigPath() const;
    ScriptedPrompt &prompt() { return scriptedPrompt; }

    // The settings file of a program that talks to 127.0.0.1 on the given base port, with the
    // sensors of the demo tables on every channel, in the observation mode (a key of the modes).
    static bool writeSystemConfig(const QString &path, quint16 basePort, const E2eSensors &sensors = E2eSensors(),
                                  const QString &mode = QStringLiteral("Scalar"));
    // Copies the demo calibration tables from the build's program folder into the folder.
    static bool copyDemoCalibration(const QString &toDir);

    // Waits, running the event loop, until the condition holds; false at the time-out.
    static bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000);
    // Waits for one emission of the signal (SIGNAL(...) form) of the object.
    static bool waitForSignal(QObject *sender, const char *signal, int timeoutMs = 10000);
    // Waits until the simulator has handled the command (one of its AMT_CMD ids) count times
    // since the call.
    bool waitForCommand(uint32_t id, int count = 1, int timeoutMs = 10000);

    // Texts of the boxes and questions the program raised so far, in order.
    QStringList promptTexts() const;

private:
    QTemporaryDir dir;
    AMTSimulator sim;
    ScriptedPrompt scriptedPrompt;
    QString previousAppDirPath;
    QString failure;
};

#endif // E2EFIXTURE_H
