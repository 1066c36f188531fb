// The first of two programs on one project: opens the project a fixture made in <root>, makes one
// change (save, rename-station) or none (open) and stops at the named step of it, or once the
// project is open: prints "held" and waits for a line on its input before it goes on.
// Exits 0 when the change completed. "spill" holds a database transaction so large that SQLite
// has already written into the database file: killed there, it leaves a journal that must be
// played back before the database can be read.
#include "RunFixture.h"

#include "projectdata/ProjectJournal.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QByteArray holdStep;

void hold()
{
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
}

void holdAtStep(const char *step)
{
    if (holdStep == step)
        hold();
}

int spillAndHold(const QString &database)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(database).constData(), &db) != SQLITE_OK)
        return 5;
    const char *sql = "PRAGMA cache_size=2; BEGIN; UPDATE Data_Station SET StationNum = 999;"
                      " CREATE TABLE spill(b); INSERT INTO spill VALUES (zeroblob(200000));";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return 6;
    hold();
    sqlite3_close(db);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    if (args.at(2) == QLatin1String("spill"))
        return spillAndHold(args.at(1) + QStringLiteral("/proj/proj.HMT"));
    RunFixture f(args.at(1));
    if (!f.tree->topLevelItemCount())
        return 3;
    const QString change = args.at(2);
    if (change == QLatin1String("open")) {
        hold();
        return 0;
    }
    holdStep = args.at(3).toLatin1();
    ProjectJournal::setStepHook(holdAtStep);
    if (change == QLatin1String("save")) {
        if (!f.record(RunFixture::task(1, "Hx,E1"), 3))
            return 4;
        StationSampleInfo record = f.station();
        return f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0) ? 0 : 1;
    }
    return f.renameFirst(true, 130) ? 0 : 1;
}
