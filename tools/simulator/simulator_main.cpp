// Command-line front of the instrument simulator, for manual runs and benchmarks.
#include "tools/simulator/AMTSimulator.h"
#include "tools/simulator/SimFault.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {

const char *const helpText = R"(Plays the instrument's side of the link on 127.0.0.1: control on the base port,
data for Hx, Hy, E2, E1, E0 on base + 1 to base + 5, the log export on base + 6. One connection per
port; a new one replaces the old. Prints "base <port>" once it listens.

How it answers:
  PROJECT_CONFIG      keeps the file (given back on read-back), empty reply
  SAMPLE_START text   starts a run of the text's groups (GroupID blocks; CHnChannelIsUse picks the
                      data connections); notification 02, then after --sample-ms the reply (group
                      sampled). An empty SAMPLE_START starts the next group. An offline run
                      (OnLineSelect=0) replies after its first group and samples the rest alone.
                      A text without groups sets error bit 0x100 and gets no answer.
  SAMPLE_STOP         ends the run, reply
  ADJUST_TIME         sets the clock reported in the status, reply
  TRANSFORM_DATA      notification 05; once the group's data connections are up, one data frame
                      per used channel (record: machine ID, the request's line and station, the
                      GroupID, the block size, the start time; samples: int32 counts, see
                      "Samples" below); the reply follows the host's end notice 5. Without a run:
                      all five channels.
  SELF_CHECK          reply of 16 zero bytes
  MACHINE_STATUS      48-byte status: busy while a run is on, else idle
  DISK_SPACE_FILE     notification 09 with the project list, reply with the storage listing
                      (see "Storage texts" below)
  DATA_DELETE         deletes what the request names (see below), then the empty reply
  EXPORT_DATA         notifications 0B (1,0) project file and 0B (0,1) station text of the
                      selected station's stored groups; once all five data connections are up,
                      group 1's frames, five of them (unused channels without samples); each end
                      notice 11 sends the next group, after the last (or when nothing was sent)
                      the reply. A station without stored groups gets the SAMPLE_STOP reply.
  RESTART             reply, run and error word reset; the connections stay to the host
  ERROR_CODE          reply with the error word (0x10 after a command it could not read)
  UNSAVE_DATA         drops the last run's groups, reply
  SAMPLE_GROUPS_NUM   reply with the number of stored groups of the station
  ERROR_FLAG_CLEAR    clears the error word, reply
  SYSTEM_INFO         firmware 1.02, hardware 1.011
  STRING              empty reply
  SDCARD_FORMAT       notification 13, after --sample-ms storage cleared and the reply
  EXPORT_LOG          notification 14; when the log connection is up, the log message
                      (--log-bytes of text); the reply follows when the host closes the log
                      connection or sends end notice 20, or 500 ms after the log has left
  POWER_OFF           no answer; every connection is closed, the ports keep listening
Station numbers are kept whole. Unknown commands set error bit 0x10 and get no answer.

Storage texts (CR LF after every line; both empty while nothing is stored):
  storage listing     the projects that hold a stored group, by ID; under each its lines, under
                      each line its stations, in ascending order, each station once:
                        <project ID>/   Line_<n>/   Point_<n>/
                      Every entry ends in "/", the one character after the value. IDs are written
                      as stored; the host takes an entry for a project only when it holds "AMT_",
                      as the program's project IDs do. A stored trial run is listed as line
                      42017259, station 0 (the host hides it). Tests may set both texts instead
                      (SimStorage::setListingTexts).
  project list        ProjectID:<id> ProjectName:<name>, for each listed project that has a
                      name: the one a test set, else "ProjectName=" of the project file the run
                      was started under. Projects without a name are left out of it. Names are
                      written as they are, spaces included.
  deletion request    ProjectID=<id>, LineNum=<n>|ALL, StationNum=<n>|ALL lines (LF or CR LF).
                      A StationNum line deletes what it completes: the whole project after
                      LineNum=ALL (its project file too), the whole line after StationNum=ALL,
                      else the station of that number. A line that does not read (no ProjectID
                      before it, a number that does not parse, a station after LineNum=ALL)
                      deletes nothing; the reply comes all the same.

Samples: the response of a uniform half-space of --rho Ohm m to a natural source. Hx and Hy have
a random-phase spectrum (seeded by --seed and the block's line, station and group, so a run repeats);
E0, E1 and E2 are the half-space impedance times the magnetic channel the program pairs them with
under the task's WatchMachineMode (Ex = Z Hy, Ey = -Z Hx), over the task's dipole lengths
(PoleDistance1..3). Both go through the demo sensors (flat coil of 100 mV/nT, flat electrode pair)
and the task's gains (CHnGain codes of the current hardware) to counts, the loudest channel at about
2^18 counts RMS, plus 1 % white noise per channel. Without a task, the electric channels are zero.
The tables that match are in the build's InputCalibration ("Demo-IMFS-Coil", "Demo-Electrode") and
GainCalibration/1001. --byte-exact sends deterministic blocks instead, which a test rebuilds with
SimChannelData and compares byte for byte (the simulator inside the tests starts that way).

Fault script (--script): one rule a line, '#' starts a comment:
  msg=<NAME|0xID> [sub=<code>] [on=control|data|data0..data4|log|any] [nth=<n>|all]
  fault=<kind> [arg=<a,b,...>]
NAME is NOTIFY, MACHINE_STATUS, TRANSFORM_DATA, ... (the command names without AMT_CMD_);
nth counts the frames the rule matches (default 1). Kinds:
  drop                  not sent
  delay arg=ms          held back (default 200); later frames of the connection wait behind it
  duplicate             sent twice
  garbage arg=n         n noise bytes ending in a lone AA before the frame (default 7)
  badchecksum           wrong non-zero checksum
  badheader             wrong header check
  split arg=o1,o2,...   cut at the offsets (default 1, right after the first sync byte),
                        pieces 20 ms apart
  glue                  written together with the next frame of the connection (or alone
                        after 100 ms)
  short arg=n           payload cut to n bytes (default 0), header consistent
  absurd arg=n          header announces n payload bytes (default 0x7FFFFFF0)
  disconnect arg=n      the first n bytes (default half the frame), then the connection closes
  refuse                no frame: the port of on= stops listening (connections are refused)
Example:  msg=MACHINE_STATUS nth=1 fault=drop
          msg=TRANSFORM_DATA on=data2 fault=disconnect arg=100)";

bool loadScript(const QString &path, AMTSimulator *sim, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString("cannot open %1").arg(path);
        return false;
    }
    return sim->faults().load(QString::fromUtf8(file.readAll()), error);
}

// A message never carries more than this; larger blocks or logs would not fit a byte array.
constexpr qint64 MaxMessageBytes = 256 * 1024 * 1024;

bool readCount(const QCommandLineParser &parser, const char *name, qint64 *value, qint64 max)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toLongLong(&ok);
    return ok && *value >= 0 && *value <= max;
}

bool readEarth(const QCommandLineParser &parser, SimSettings *settings)
{
    bool rhoOk = false, seedOk = false;
    const double rho = parser.value("rho").toDouble(&rhoOk);
    const uint seed = parser.value("seed").toUInt(&seedOk);
    if (!rhoOk || !std::isfinite(rho) || rho <= 0 || !seedOk)
        return false;
    settings->byteExactSamples = parser.isSet("byte-exact");
    settings->earthResistivity = rho;
    settings->earthSeed = seed;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(helpText);
    parser.addHelpOption();
    parser.addOption({"base", "Base port; 0 picks free ports (default 0).", "PORT", "0"});
    parser.addOption({"script", "Fault script.", "FILE"});
    parser.addOption({"block-bytes", "Sample bytes per channel block (default: rate x seconds x 4 of the group, "
                                     "at most 80 MiB; 4096 without a task).",
                      "N"});
    parser.addOption({"sample-ms", "Time a group's sampling takes (default 50).", "MS"});
    parser.addOption({"log-bytes", "Length of the exported log (default 4096).", "N"});
    parser.addOption({"full-subcodes", "Notifications carry 0xAA5500nn instead of nn."});
    parser.addOption({"rho", "Resistivity of the half-space in Ohm m (default 100).", "OHM_M", "100"});
    parser.addOption({"seed", "Seed of the natural source (default 1).", "N", "1"});
    parser.addOption({"byte-exact", "Deterministic sample bytes instead of the earth's response."});
    parser.addOption({"verbose", "Print one line per frame received and sent."});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    AMTSimulator sim;
    SimSettings &settings = sim.settings();
    qint64 base = 0;
    qint64 sampleMs = settings.sampleMs;
    if (!readCount(parser, "base", &base, 65529) ||
        !readCount(parser, "block-bytes", &settings.blockBytes, MaxMessageBytes - 32) ||
        !readCount(parser, "sample-ms", &sampleMs, std::numeric_limits<int>::max()) ||
        !readCount(parser, "log-bytes", &settings.logBytes, MaxMessageBytes)) {
        err << "amt-simulator: a number option is out of range\n";
        return 2;
    }
    settings.sampleMs = int(sampleMs);
    settings.formatMs = int(sampleMs);
    settings.fullSubCodes = parser.isSet("full-subcodes");
    if (!readEarth(parser, &settings)) {
        err << "amt-simulator: --rho must be a positive number and --seed a whole number from 0 to 4294967295\n";
        return 2;
    }
    QString error;
    if (parser.isSet("script") && !loadScript(parser.value("script"), &sim, &error)) {
        err << "amt-simulator: " << error << "\n";
        return 2;
    }
    if (parser.isSet("verbose")) {
        QObject::connect(&sim.server(), &SimServer::frameReceived, [&out](int port, const SimFrame &f) {
            out << "recv port+" << port << ' ' << SimFault::nameForId(f.id) << ' ' << f.payload.size() << "\n";
            out.flush();
        });
    }
    if (!sim.start(quint16(base))) {
        err << "amt-simulator: cannot listen on 127.0.0.1 from port " << base << "\n";
        return 1;
    }
    out << "base " << sim.basePort() << "\n";
    out.flush();
    return app.exec();
}
