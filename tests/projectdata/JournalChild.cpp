// The process a crash test kills: opens the project a fixture made in <root>, makes one change
// (save, rename-station, rename-line) and raises SIGKILL on itself the n-th time the change
// reaches the named step. Exits 0 when the change completed without reaching it.
#include "RunFixture.h"

#include "projectdata/ProjectJournal.h"

#include <QApplication>

#include <csignal>

namespace {

QByteArray killStep;
int killAt = 0;
int reached = 0;

void killAtStep(const char *step)
{
    if (killStep == step && ++reached == killAt)
        std::raise(SIGKILL);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    RunFixture f(args.at(1));
    if (!f.tree->topLevelItemCount())
        return 3;
    killStep = args.at(3).toLatin1();
    killAt = args.at(4).toInt();
    ProjectJournal::setStepHook(killAtStep);
    const QString change = args.at(2);
    if (change == QLatin1String("save")) {
        if (!f.record(RunFixture::task(1, "Hx,E1"), 3))
            return 4;
        StationSampleInfo record = f.station();
        return f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0) ? 0 : 1;
    }
    const bool station = change == QLatin1String("rename-station");
    return f.renameFirst(station, station ? 130 : 7) ? 0 : 1;
}
