// libFuzzer target for what the instrument sends to the program (built and run by scripts/fuzz).
// Each input opens a LibCom with all its connections (control, five data, log export) marked
// connected, without a peer, and feeds them its bytes through the devices' receive path:
//   byte 0: bit 0 the data connections' mode, the rest which request is outstanding;
//   then chunks, each [connection and path, length, bytes...].
// Every signal's data is copied on delivery, so the sanitizers see any read past a buffer.
#include "LinkFixture.h"
#include "link/Com.h"
#include "link/ComDevice_ETH.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdint>
#include <functional>

namespace {

// What the program may be waiting for when the bytes arrive.
void sendRequest(LibCom& lib, int choice)
{
    static const char transform[12] = {};
    const QList<std::function<void()>> requests = {
        [] {},
        [&] { lib.sendGetDiskSpaceFile(); },
        [&] { lib.sendExportDataEmpty(); },
        [&] { lib.sendExportLog(); },
        [&] { lib.sendRequestTransformData(transform); },
        [&] { lib.sendGetMachineStatus(); },
        [&] { lib.sendSelfCheck(); },
        [&] { lib.sendGetSystemInfo(); },
        [&] { lib.sendGetErrorCode(); },
        [&] { lib.sendRestart(); },
    };
    requests.at(choice % requests.size())();
}

// Through a readable source, as from the socket, or as a chunk handed to the device.
void deliver(Com* com, QByteArray chunk, bool fromSource)
{
    if (!fromSource) {
        com->device()->ComReceived(chunk);
        return;
    }
    QBuffer source(&chunk);
    source.open(QIODevice::ReadOnly);
    com->device()->receiveFrom(&source);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    LibCom lib;
    SignalRecorder recorder(&lib);
    const MachineAddress nowhere{QStringLiteral("127.0.0.1"), 1}; // never connected
    const char use[5] = {1, 1, 1, 1, 1};
    lib.openControlCom(nowhere);
    lib.openDataComs(nowhere, use, data[0] & 1);
    lib.openExportLogCom(nowhere);
    const QList<Com*> coms = lib.findChildren<Com*>();
    for (Com* com : coms)
        com->device()->ComConnected();
    sendRequest(lib, data[0] >> 1);

    for (size_t at = 1; at + 2 <= size;) {
        const uint8_t route = data[at];
        const size_t length = qMin<size_t>(1 + data[at + 1], size - at - 2);
        const QByteArray chunk(reinterpret_cast<const char*>(data + at + 2), int(length));
        deliver(coms.at(route % coms.size()), chunk, route & 0x80);
        at += 2 + length;
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
