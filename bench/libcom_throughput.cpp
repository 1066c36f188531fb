// Channel-data throughput of LibCom: the instrument simulator, as a separate process, sends one
// block on each of the five data ports; LibCom receives them next to a plain socket reader that
// only discards the bytes (its own simulator process, same block size, same run).
#include "common/AMTMessageIds.h"
#include "link/Com.h"
#include "link/ComProtocol.h"
#include "link/LibCom.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpSocket>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int WaitMs = 120000;
constexpr qint64 MiB = 1024 * 1024;

bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > WaitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// A memory figure of this process from /proc/self/status, in bytes (Linux): VmRSS now, VmHWM
// the peak since the last reset.
qint64 memoryFigure(const QByteArray& key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

qint64 startRss = 0; // before any benchmark ran

void resetPeakRss()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// One simulator process for one block size; stopped (by its own process id) with the benchmark.
class SimulatorProcess
{
public:
    explicit SimulatorProcess(qint64 blockBytes)
    {
        process.start(AMT_SIMULATOR_PATH, {"--base", "0", "--block-bytes", QString::number(blockBytes)});
        if (!process.waitForStarted(10000) || !waitUntil([this] { return process.canReadLine(); }))
            return;
        const QList<QByteArray> words = process.readLine().trimmed().split(' ');
        base = quint16(words.value(1).toUInt());
    }
    ~SimulatorProcess()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    QProcess process;
    quint16 base = 0;
};

QByteArray transferRequest()
{
    QByteArray request(12, '\0');
    qToLittleEndian<qint32>(5, request.data());
    qToLittleEndian<qint32>(100, request.data() + 4);
    return request;
}

QByteArray frame(uint id, const QByteArray& payload)
{
    std::unique_ptr<QByteArray> f(ComProtocol::packFrame(id, &payload));
    return *f;
}

// The plain reader: a control socket that asks for the data and ends the transfer, and five
// data sockets that read and throw away until their frame is in.
class PlainReader
{
public:
    explicit PlainReader(quint16 base)
        : base(base)
    {
        control.connectToHost(QHostAddress::LocalHost, base);
        control.waitForConnected(10000);
    }

    // Seconds from all five connections up to the last byte; -1 on failure.
    double transfer(qint64 frameBytes)
    {
        control.readAll();
        control.write(frame(AMT_CMD_TRANSFORM_DATA, transferRequest()));
        if (!waitUntil([this] { return control.bytesAvailable() >= 20; })) // notification 05
            return -1;
        control.readAll();
        std::array<std::unique_ptr<QTcpSocket>, 5> data;
        std::array<qint64, 5> got{};
        char sink[64 * 1024];
        for (int i = 0; i < 5; ++i) {
            data[size_t(i)] = std::make_unique<QTcpSocket>();
            QTcpSocket* socket = data[size_t(i)].get();
            QObject::connect(socket, &QTcpSocket::readyRead, [socket, &got, i, &sink] {
                qint64 n;
                while ((n = socket->read(sink, sizeof sink)) > 0)
                    got[size_t(i)] += n;
            });
            socket->connectToHost(QHostAddress::LocalHost, quint16(base + 1 + i));
        }
        if (!waitUntil([&] {
                for (auto& s : data)
                    if (s->state() != QAbstractSocket::ConnectedState)
                        return false;
                return true;
            }))
            return -1;
        QElapsedTimer timer;
        timer.start();
        const bool complete = waitUntil([&] {
            for (qint64 n : got)
                if (n < frameBytes)
                    return false;
            return true;
        });
        const double seconds = timer.nsecsElapsed() / 1e9;
        for (auto& s : data)
            s->abort();
        QByteArray end(4, '\0');
        qToBigEndian<qint32>(AMT_END_TRANSFORM_DATA, end.data());
        control.write(frame(AMT_NOTIFY, end));
        if (!complete || !waitUntil([this] { return control.bytesAvailable() >= 16; })) // the reply
            return -1;
        return seconds;
    }

private:
    quint16 base;
    QTcpSocket control;
};

// LibCom driven as the main window drives a transfer.
class LibComReader
{
public:
    explicit LibComReader(quint16 base)
    {
        address.IP = "127.0.0.1";
        address.port = base;
        QObject::connect(&lib, &LibCom::AMTMachineRequestDataComConnecting, [this] {
            const char all[5] = {1, 1, 1, 1, 1};
            lib.openDataComs(address, all, DATA_MODE_USED_CHANNELS);
            lib.connectCom(COM_SELECT_DATA);
        });
        QObject::connect(&lib, &LibCom::AMTMachineDataComNetworkConnected, [this] { timer.start(); });
        QObject::connect(&lib, &LibCom::AMTMachineTransformChannelDataEnd,
                         [this](int, SampleDataControlParam* record, char*) { received += record->dataLength; });
        QObject::connect(&lib, &LibCom::AMTMachineTransformDataEnd, [this](SampleDataControlParam*) {
            seconds = timer.nsecsElapsed() / 1e9;
            lib.disconnectCom(COM_SELECT_DATA);
        });
        QObject::connect(&lib, &LibCom::AMTMachineDataComClosed, [this] { lib.notifyPendingEnd(); });
        QObject::connect(&lib, &LibCom::AMTMachineFreqGroupTransformDataOver, [this] { over = true; });
        lib.openControlCom(address);
        lib.connectCom(COM_SELECT_CONTROL);
        waitUntil([this] { return lib.isNetWorkConnected(); });
    }

    double transfer(qint64 blockBytes)
    {
        seconds = -1;
        received = 0;
        over = false;
        const QByteArray request = transferRequest();
        lib.sendRequestTransformData(request.constData());
        if (!waitUntil([this] { return over; }) || received != 5 * blockBytes)
            return -1;
        return seconds;
    }

private:
    LibCom lib;
    MachineAddress address;
    QElapsedTimer timer;
    qint64 received = 0;
    double seconds = -1;
    bool over = false;
};

struct Figures
{
    double libcomMBps = 0;
    double plainMBps = 0;
    double libcomSeconds = 0;
    double peakMB = 0;
};
std::map<int, Figures> figures;

void BM_ChannelBlocks(benchmark::State& state)
{
    const qint64 blockBytes = state.range(0) * 1000 * 1000;
    const qint64 frameBytes = 16 + 32 + blockBytes;
    SimulatorProcess libSim(blockBytes);
    SimulatorProcess plainSim(blockBytes);
    if (!libSim.base || !plainSim.base) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    LibComReader lib(libSim.base);
    PlainReader plain(plainSim.base);
    // A first transfer each, untimed: the simulators build their blocks once.
    if (lib.transfer(blockBytes) < 0 || plain.transfer(frameBytes) < 0) {
        state.SkipWithError("warm-up transfer failed");
        return;
    }
    double libTotal = 0, plainTotal = 0, peak = 0;
    for (auto _ : state) {
        resetPeakRss();
        const double libSeconds = lib.transfer(blockBytes);
        peak = std::max(peak, double(memoryFigure("VmHWM") - startRss) / MiB);
        const double plainSeconds = plain.transfer(frameBytes);
        if (libSeconds < 0 || plainSeconds < 0) {
            state.SkipWithError("transfer failed");
            return;
        }
        libTotal += libSeconds;
        plainTotal += plainSeconds;
        state.SetIterationTime(libSeconds);
    }
    const double mb = 5.0 * blockBytes / 1e6 * state.iterations();
    Figures& f = figures[int(state.range(0))];
    f.libcomMBps = mb / libTotal;
    f.plainMBps = mb / plainTotal;
    f.libcomSeconds = libTotal / state.iterations();
    f.peakMB = peak;
    state.counters["libcom_MBps"] = f.libcomMBps;
    state.counters["plain_MBps"] = f.plainMBps;
    state.counters["ratio"] = f.libcomMBps / f.plainMBps;
    state.counters["in_flight_MB"] = 5.0 * frameBytes / MiB;
    state.counters["peak_rss_MB"] = peak; // above the process's start
    state.SetBytesProcessed(int64_t(5 * blockBytes * state.iterations()));
}

BENCHMARK(BM_ChannelBlocks)->Arg(8)->Arg(80)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    startRss = memoryFigure("VmRSS");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (figures.count(8) && figures.count(80)) {
        const Figures& small = figures[8];
        const Figures& large = figures[80];
        std::printf("LibCom / plain reader: %.2f (8 MB blocks), %.2f (80 MB blocks)\n",
                    small.libcomMBps / small.plainMBps, large.libcomMBps / large.plainMBps);
        std::printf("LibCom time 80 MB / 8 MB blocks: %.1f (10 is linear)\n", large.libcomSeconds / small.libcomSeconds);
        std::printf("peak memory above start: %.0f MB (8 MB blocks), %.0f MB (80 MB blocks, %.0f MB in flight)\n",
                    small.peakMB, large.peakMB, 5 * (80e6 + 48) / MiB);
    }
    return 0;
}
