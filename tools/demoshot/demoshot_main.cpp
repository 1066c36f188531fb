// amt-demoshot OUTPUT.png
// A whole demo run through the real main window against an in-process instrument simulator
// (a 100 Ohm m half-space) on free 127.0.0.1 ports: connect, create a project, run a station of
// three groups, wait for its impedance curves, grab the window showing them, save the station.
// The picture is written only when every step, the save included, has succeeded. Needs a
// display: run it under xvfb-run.
#include "DemoRun.h"
#include "E2eFixture.h"

#include "mainwindow/MainWindow.h"
#include "shell/ProgramLocale.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTextCodec>

#include <algorithm>
#include <cstdio>

namespace {

// The theme of screens up to 1000 pixels high, whatever the display: the high-DPI theme's
// controls do not fit into 1200 x 680.
void applyStyleSheet(QApplication &app)
{
    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(QRect(0, 0, 1366, 768)));
    app.setStyleSheet(preprocessor.process(QStringLiteral("style.css")));
}

// Scalar mode with Hy, E0 and E1: a high-rate group and two low-rate groups, so the curves
// span the decades from a few hertz to ten kilohertz.
CtrlParam group(int rate, int seconds, int gain)
{
    CtrlParam task;
    task.HyChannelIsUse = task.E0ChannelIsUse = task.E1ChannelIsUse = true;
    task.EGain = task.HGain = gain;
    task.E0PoleDistance = task.E1PoleDistance = task.E2PoleDistance = 100;
    task.SampleRate = rate;
    task.SampleTimeSecond = seconds;
    return task;
}

QList<CtrlParam> demoTasks()
{
    return {group(57800, 2, 10), group(4000, 20, 40), group(500, 60, 40)};
}

void printCurve(int channel, const QVector<OneFreqImpedance> &curve)
{
    if (curve.isEmpty())
        return;
    auto by = [](double OneFreqImpedance::*field) {
        return [field](const OneFreqImpedance &a, const OneFreqImpedance &b) { return a.*field < b.*field; };
    };
    const auto rho = std::minmax_element(curve.begin(), curve.end(), by(&OneFreqImpedance::apparentResistivity));
    const auto phase = std::minmax_element(curve.begin(), curve.end(), by(&OneFreqImpedance::phase));
    const auto frequency = std::minmax_element(curve.begin(), curve.end(), by(&OneFreqImpedance::frequency));
    const auto coherence = std::min_element(curve.begin(), curve.end(), by(&OneFreqImpedance::coherence));
    std::printf("E%d: %d points, %g to %g Hz, apparent resistivity %.1f to %.1f Ohm m, phase %.1f to %.1f "
                "degrees, coherence at least %.2f\n",
                channel, int(curve.size()), frequency.first->frequency, frequency.second->frequency,
                rho.first->apparentResistivity, rho.second->apparentResistivity, phase.first->phase,
                phase.second->phase, coherence->coherence);
}

int failed(const QString &why)
{
    std::fprintf(stderr, "amt-demoshot: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: amt-demoshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    installProgramLocale(app);
    applyStyleSheet(app);

    E2eFixture fixture;
    if (!fixture.setUp())
        return failed(fixture.error());
    MainWindow window;
    window.setTimerIntervals(500, 20000);
    window.resize(1200, 680);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return failed(QStringLiteral("the main window was never shown"));

    DemoRun run(fixture, window);
    if (!run.connectInstrument() || !run.createProject(fixture.appDir(), QStringLiteral("DemoSurvey"))
        || !run.runStation(demoTasks(), 1, 100) || !run.noticesShown())
        return failed(run.error());
    for (int channel = 0; channel < run.curves().size(); ++channel)
        printCurve(channel, run.curves().at(channel));
    QApplication::processEvents();
    const QImage picture = window.grab().toImage();
    if (!run.save())
        return failed(run.error());
    std::printf("saved %d recordings of the station\n", run.savedRecordings());
    if (!picture.save(output, "PNG"))
        return failed(QStringLiteral("cannot write %1").arg(output));
    std::printf("wrote %s (%dx%d)\n", qPrintable(output), picture.width(), picture.height());
    return 0;
}
