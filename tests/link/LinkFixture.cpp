#include "LinkFixture.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimFrameCodec.h"

#include <QSignalSpy>
#include <QTest>

SignalRecorder::SignalRecorder(LibCom* lib)
{
    auto plain = [this, lib](void (LibCom::*signal)(), const QString& name) {
        connect(lib, signal, this, [this, name] { add(name); });
    };
    plain(&LibCom::AMTMachineNetWorkConnected, "NetWorkConnected");
    plain(&LibCom::AMTMachineNetWorkClosed, "NetWorkClosed");
    plain(&LibCom::AMTMachineDataComNetworkConnected, "DataComNetworkConnected");
    plain(&LibCom::AMTMachineDataComClosed, "DataComClosed");
    plain(&LibCom::AMTMachineExportLogComNetworkConnected, "ExportLogComNetworkConnected");
    plain(&LibCom::AMTMachineExportLogComClosed, "ExportLogComClosed");
    plain(&LibCom::AMTMachineProjectConfigSuccess, "ProjectConfigSuccess");
    plain(&LibCom::AMTMachineAdjustTimeOver, "AdjustTimeOver");
    plain(&LibCom::AMTMachineSampleStarted, "SampleStarted");
    plain(&LibCom::AMTMachineSampleStoped, "SampleStoped");
    plain(&LibCom::AMTMachineFreqGroupSampleOver, "FreqGroupSampleOver");
    plain(&LibCom::AMTMachineRequestDataComConnecting, "RequestDataComConnecting");
    plain(&LibCom::AMTMachineFreqGroupTransformDataOver, "FreqGroupTransformDataOver");
    plain(&LibCom::AMTMachineDataDeleteOver, "DataDeleteOver");
    plain(&LibCom::AMTMachineStationExportSampleDataOver, "StationExportSampleDataOver");
    plain(&LibCom::AMTMachineErrorFlagClear, "ErrorFlagClear");
    plain(&LibCom::AMTMachineSDCardDiskPrepareForFormat, "SDCardDiskPrepareForFormat");
    plain(&LibCom::AMTMachineSDCardDiskFormatSucceed, "SDCardDiskFormatSucceed");
    plain(&LibCom::AMTMachinePrepareForExportLog, "PrepareForExportLog");
    plain(&LibCom::AMTMachineExportLogDataOver, "ExportLogDataOver");

    auto text = [this, lib](void (LibCom::*signal)(QByteArray*), const QString& name) {
        connect(lib, signal, this, [this, name](QByteArray* t) { add(name, {t ? *t : QByteArray("<null>")}); });
    };
    text(&LibCom::AMTMachineProjectListFile, "ProjectListFile");
    text(&LibCom::AMTMachineDiskSpaceFile, "DiskSpaceFile");
    text(&LibCom::AMTMachineExportDataProjectConfig, "ExportDataProjectConfig");
    text(&LibCom::AMTMachineExportDataStationConfig, "ExportDataStationConfig");

    connect(lib, &LibCom::AMTMachineTransformChannelDataEnd, this,
            [this](int c, SampleDataControlParam* r, char* d) { addBlock("TransformChannelDataEnd", c, r, d); });
    connect(lib, &LibCom::AMTMachineExportChannelDataEnd, this,
            [this](int c, SampleDataControlParam* r, char* d) { addBlock("ExportChannelDataEnd", c, r, d); });
    connect(lib, &LibCom::AMTMachineTransformDataEnd, this,
            [this](SampleDataControlParam* r) { add("TransformDataEnd", recordValues(r)); });
    connect(lib, &LibCom::AMTMachineExportDataEnd, this,
            [this](SampleDataControlParam* r) { add("ExportDataEnd", recordValues(r)); });
    connect(lib, &LibCom::AMTMachineSelfCheck, this, [this](SelfCheckResult* r) { add("SelfCheck", {r != nullptr}); });
    connect(lib, &LibCom::AMTMachineStatus, this,
            [this](void* s) { add("Status", {QByteArray(static_cast<const char*>(s), 48)}); });
    connect(lib, &LibCom::AMTMachineErrorCode, this, [this](uint32_t e) { add("ErrorCode", {uint(e)}); });
    connect(lib, &LibCom::AMTMachineSystemInfo, this,
            [this](SystemInfo i) { add("SystemInfo", {i.firmwareVersion, i.hardwareVersion}); });
    connect(lib, &LibCom::AMTMachineSampleGroupsNum, this, [this](int n) { add("SampleGroupsNum", {n}); });
    connect(lib, &LibCom::AMTMachineExportLogData, this,
            [this](char* d, int n) { add("ExportLogData", {QByteArray(d, n)}); });
}

void SignalRecorder::add(const QString& name, const QVariantList& values)
{
    events.append({name, values});
}

void SignalRecorder::addBlock(const QString& name, int channel, SampleDataControlParam* record, char* data)
{
    QVariantList values{channel};
    values += recordValues(record);
    values.append(QByteArray(data, record->dataLength));
    add(name, values);
}

QVariantList SignalRecorder::recordValues(const SampleDataControlParam* r)
{
    return {r->machineID,  r->lineNum,         r->stationNum, r->dataIndexNum,
            r->dataLength, r->sampleStartTime, r->reserved6,  r->reserved7};
}

int SignalRecorder::count(const QString& name) const
{
    return named(name).size();
}

QList<LinkEvent> SignalRecorder::named(const QString& name) const
{
    QList<LinkEvent> out;
    for (const LinkEvent& e : events)
        if (e.name == name)
            out.append(e);
    return out;
}

QStringList SignalRecorder::names() const
{
    QStringList out;
    for (const LinkEvent& e : events)
        out.append(e.name);
    return out;
}

LinkFixture::LinkFixture()
{
    started = sim.start(0);
    address.IP = "127.0.0.1";
    address.port = sim.basePort();
    sim.settings().sampleMs = 10;
    sim.settings().formatMs = 10;
    sim.settings().logReplyDelayMs = 100;
}

bool LinkFixture::connectControl()
{
    if (!started || !lib.openControlCom(address) || !lib.connectCom(COM_SELECT_CONTROL))
        return false;
    QSignalSpy up(&lib, &LibCom::AMTMachineNetWorkConnected);
    return up.wait(5000) && sim.server().isConnected(SimControlPort);
}

bool LinkFixture::connectData(const char use[5], int mode)
{
    lib.openDataComs(address, use, mode);
    QSignalSpy up(&lib, &LibCom::AMTMachineDataComNetworkConnected);
    return lib.connectCom(COM_SELECT_DATA) && up.wait(5000);
}

bool LinkFixture::sync()
{
    auto markers = [this] {
        int n = 0;
        for (const LinkEvent& e : rec.named("ErrorCode"))
            n += e.values == QVariantList{SyncMarker} ? 1 : 0;
        return n;
    };
    const int before = markers();
    sim.setErrorWord(SyncMarker);
    lib.sendGetErrorCode();
    return QTest::qWaitFor([&] { return markers() == before + 1; }, 5000);
}

QList<QByteArray> LinkFixture::receivedFrames()
{
    return sim.journal().receivedFrames();
}

QByteArray le32(quint32 value)
{
    return SimFrameCodec::littleEndian(value);
}
