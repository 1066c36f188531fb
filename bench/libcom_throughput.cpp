// Channel-data throughput of LibCom: the instrument simulator, as a separate process, sends one
// block on each of the five data ports; LibCom receives them next to a plain socket reader that
// reads each frame into memory of the frame's size allocated for it, as a program that keeps the
// data must (its own simulator process, same block size, same run). Also the resident memory of
// the process before, at the peak of and after LibCom's transfer: once the data connections have
// closed, nothing of the blocks may stay allocated.
#include "common/AMTMessageIds.h"
#include "link/Com.h"
#include "link/ComProtocol.h"
#include "link/LibCom.h"
#include "SimulatorProcess.h"

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

using bench::memoryFigure;
using bench::SimulatorProcess;
using bench::waitUntil;

constexpr qint64 MiB = 1024 * 1024;

void resetPeakRss()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

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
// data sockets that read their frame into a buffer of its size, released after the transfer.
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
        std::array<QByteArray, 5> frames;
        for (int i = 0; i < 5; ++i) {
            data[size_t(i)] = std::make_unique<QTcpSocket>();
            QTcpSocket* socket = data[size_t(i)].get();
            QObject::connect(socket, &QTcpSocket::readyRead, [socket, &got, &frames, i, frameBytes] {
                QByteArray& frame = frames[size_t(i)];
                if (frame.isEmpty())
                    frame = QByteArray(int(frameBytes), Qt::Uninitialized);
                qint64& n = got[size_t(i)];
                for (qint64 part; n < frameBytes && (part = socket->read(frame.data() + n, frameBytes - n)) > 0;)
                    n += part;
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
    // Resident memory of the process, MiB: before the first transfer, the highest peak of
    // LibCom's transfers, after LibCom's last one.
    double rssBeforeMB = 0;
    double rssPeakMB = 0;
    double rssAfterMB = 0;
};
std::map<int, Figures> figures;

void BM_ChannelBlocks(benchmark::State& state)
{
    const qint64 blockBytes = state.range(0) * 1000 * 1000;
    const qint64 frameBytes = 16 + 32 + blockBytes;
    SimulatorProcess libSim({"--block-bytes", QString::number(blockBytes)});
    SimulatorProcess plainSim({"--block-bytes", QString::number(blockBytes)});
    if (!libSim.base || !plainSim.base) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    LibComReader lib(libSim.base);
    PlainReader plain(plainSim.base);
    Figures& f = figures[int(state.range(0))];
    f.rssBeforeMB = double(memoryFigure("VmRSS")) / MiB;
    // A first transfer each, untimed: the simulators build their blocks once.
    if (lib.transfer(blockBytes) < 0 || plain.transfer(frameBytes) < 0) {
        state.SkipWithError("warm-up transfer failed");
        return;
    }
    double libTotal = 0, plainTotal = 0;
    for (auto _ : state) {
        resetPeakRss();
        // Returns once the instrument has confirmed the end, after the data connections closed.
        const double libSeconds = lib.transfer(blockBytes);
        f.rssPeakMB = std::max(f.rssPeakMB, double(memoryFigure("VmHWM")) / MiB);
        f.rssAfterMB = double(memoryFigure("VmRSS")) / MiB;
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
    f.libcomMBps = mb / libTotal;
    f.plainMBps = mb / plainTotal;
    f.libcomSeconds = libTotal / state.iterations();
    state.counters["libcom_MBps"] = f.libcomMBps;
    state.counters["plain_MBps"] = f.plainMBps;
    state.counters["ratio"] = f.libcomMBps / f.plainMBps;
    state.counters["in_flight_MB"] = 5.0 * frameBytes / MiB;
    state.counters["rss_before_MB"] = f.rssBeforeMB;
    state.counters["rss_peak_MB"] = f.rssPeakMB;
    state.counters["rss_after_MB"] = f.rssAfterMB;
    state.SetBytesProcessed(int64_t(5 * blockBytes * state.iterations()));
}

BENCHMARK(BM_ChannelBlocks)->Arg(8)->Arg(80)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double startMB = double(memoryFigure("VmRSS")) / MiB;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Targets: at least half the plain reader's rate and twice gigabit Ethernet's line rate, so
    // that the program never limits a transfer; after the transfer, within 50 MB of before.
    for (const auto& entry : figures) {
        const Figures& f = entry.second;
        std::printf("%d MB blocks: LibCom %.0f MB/s, plain reader %.0f MB/s, ratio %.2f (>= 0.5 %s, >= 250 MB/s %s)\n",
                    entry.first, f.libcomMBps, f.plainMBps, f.libcomMBps / f.plainMBps,
                    verdict(f.libcomMBps >= 0.5 * f.plainMBps), verdict(f.libcomMBps >= 250));
        std::printf("%d MB blocks: resident memory at start %.0f MiB; before the transfers %.0f MiB, "
                    "LibCom's peak %.0f MiB, after LibCom's last %.0f MiB (back within 50 MB %s)\n",
                    entry.first, startMB, f.rssBeforeMB, f.rssPeakMB, f.rssAfterMB,
                    verdict((f.rssAfterMB - f.rssBeforeMB) * MiB <= 50e6));
    }
    if (figures.count(8) && figures.count(80))
        std::printf("LibCom time 80 MB / 8 MB blocks: %.1f (10 is linear)\n",
                    figures[80].libcomSeconds / figures[8].libcomSeconds);
    return 0;
}
