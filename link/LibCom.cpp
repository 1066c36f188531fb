#include "link/LibCom.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "link/Com.h"
#include "link/ComDevice_ETH.h"
#include "link/ResendRule.h"

#include <QFile>
#include <QHash>
#include <QSignalBlocker>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

// The caller's channel flags come as Hx, Hy, E0, E1, E2; data connection i carries
// Hx, Hy, E2, E1, E0.
constexpr int useFlagOfDataCom[LibCom::DataComCount] = {0, 1, 4, 3, 2};

constexpr int DataFrameHeader = 16 + int(sizeof(SampleDataControlParam));

// The control connection calls plain functions; each finds its LibCom through the connection.
template <void (LibCom::*Handler)(Com*, uint, bool, QByteArray*)>
void dispatch(Com* com, uint msgID, bool ok, QByteArray* payload)
{
    if (LibCom* lib = com ? com->owner() : nullptr)
        (lib->*Handler)(com, msgID, ok, payload);
}

int32_t readInt32(const QByteArray* bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes->constData() + offset);
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

SampleDataControlParam readControlRecord(const char* bytes)
{
    int32_t fields[8];
    for (int i = 0; i < 8; ++i)
        fields[i] = qFromLittleEndian<qint32>(bytes + 4 * i);
    SampleDataControlParam record;
    std::memcpy(&record, fields, sizeof record);
    return record;
}

} // namespace

LibCom::LibCom(QObject* parent)
    : QObject(parent)
{
}

LibCom::~LibCom()
{
    // The connections die with this object and must not call back into it on the way.
    for (Com* com : findChildren<Com*>(QString(), Qt::FindDirectChildrenOnly))
        com->disconnect(this);
}

void LibCom::fillAddress(ComAddress* address, const MachineAddress& machine, int offset)
{
    address->transport = COM_TRANSPORT_TCP;
    address->role = COM_ROLE_CLIENT;
    address->host = machine.IP;
    address->port = quint16(machine.port + offset); // wraps at 65536, like the instrument's own sums
}

// A replaced connection may be the one whose handler is running: it is cut off from this
// object and closed now, and deleted once control is back in the event loop.
Com* LibCom::replaceCom(Com* old, int kind)
{
    if (old) {
        old->disconnect(this);
        old->close();
        old->deleteLater();
    }
    auto* com = new Com(kind, 0, this);
    connect(com, &Com::Inited, this, &LibCom::onConnected);
    connect(com, &Com::Closed, this, &LibCom::onClosed);
    return com;
}

bool LibCom::openControlCom(const MachineAddress& address)
{
    m_control = replaceCom(m_control, COM_KIND_CONTROL);
    m_controlAddress = std::make_unique<ComAddress>();
    fillAddress(m_controlAddress.get(), address, 0);
    registerHandlers();
    ComConfig config;
    config.address = m_controlAddress.get();
    const bool opened = m_control->open(config, this);
    m_controlUp = false;
    m_control->setTimeout(m_requestTimeout);
    m_control->setRetryCount(RequestRetryCount);
    m_control->setResendRule(&harmlessToRepeat);
    connect(m_control, &Com::RequestUnanswered, this, &LibCom::onRequestUnanswered);
    if (m_requestInterval > 0)
        m_control->setRequestInterval(m_requestInterval);
    return opened;
}

void LibCom::registerHandlers()
{
    const QList<QPair<uint, ComMsgHandler>> handlers = {
        {AMT_NOTIFY, &dispatch<&LibCom::onMachineNotify>},
        {AMT_CMD_PROJECT_CONFIG, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_SAMPLE_START, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_SAMPLE_STOP, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_ADJUST_TIME, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_TRANSFORM_DATA, &dispatch<&LibCom::onTransformData>},
        {AMT_CMD_SELF_CHECK, &dispatch<&LibCom::onSelfCheck>},
        {AMT_CMD_MACHINE_STATUS, &dispatch<&LibCom::onMachineStatus>},
        {AMT_CMD_DISK_SPACE_FILE, &dispatch<&LibCom::onDiskSpaceFile>},
        {AMT_CMD_DATA_DELETE, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_EXPORT_DATA, &dispatch<&LibCom::onExportData>},
        {AMT_CMD_RESTART, &dispatch<&LibCom::onRestart>},
        {AMT_CMD_UNSAVE_DATA, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_SAMPLE_GROUPS_NUM, &dispatch<&LibCom::onSampleGroupsNum>},
        {AMT_CMD_ERROR_FLAG_CLEAR, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_ERROR_CODE, &dispatch<&LibCom::onErrorCode>},
        {AMT_CMD_SYSTEM_INFO, &dispatch<&LibCom::onSystemInfo>},
        {AMT_CMD_STRING, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_SDCARD_FORMAT, &dispatch<&LibCom::onDoneReply>},
        {AMT_CMD_EXPORT_LOG, &dispatch<&LibCom::onExportLog>},
    };
    for (const auto& h : handlers)
        m_control->registerHandler(h.first, h.second);
}

bool LibCom::openExportLogCom(const MachineAddress& address)
{
    m_exportLog = replaceCom(m_exportLog, COM_KIND_EXPORT_LOG);
    connect(m_exportLog, &Com::DataComDataRecv, this, &LibCom::onDataComDataRecv);
    m_exportLogAddress = std::make_unique<ComAddress>();
    fillAddress(m_exportLogAddress.get(), address, 6);
    ComConfig config;
    config.address = m_exportLogAddress.get();
    const bool opened = m_exportLog->open(config, this);
    m_exportLogUp = false;
    return opened;
}

void LibCom::openDataComs(const MachineAddress& address, const char use[5], int mode)
{
    m_dataMode = mode;
    for (int i = 0; i < DataComCount; ++i) {
        DataComEntry& entry = m_dataComs[size_t(i)];
        entry.used = use && use[useFlagOfDataCom[i]];
        entry.connected = false;
        reopenDataCom(i, address);
    }
}

// A data connection is made once and kept. Its socket is cut first, whether still up from an
// earlier transfer or still connecting (an attempt the instrument never accepted), so that the
// next attempt really starts; one whose address has changed is opened anew.
void LibCom::reopenDataCom(int index, const MachineAddress& address)
{
    DataComEntry& entry = m_dataComs[size_t(index)];
    ComAddress wanted;
    fillAddress(&wanted, address, 1 + index);
    if (!entry.com) {
        entry.com = new Com(COM_KIND_DATA, index, this);
        connect(entry.com, &Com::Inited, this, &LibCom::onConnected);
        connect(entry.com, &Com::Closed, this, &LibCom::onClosed);
        connect(entry.com, &Com::DataComDataRecv, this, &LibCom::onDataComDataRecv);
    } else {
        // Its closing belongs to the transfer that is over: no signal for it.
        const QSignalBlocker quiet(entry.com);
        entry.com->abortDevice();
    }
    const bool opened = entry.com->device() != nullptr;
    if (opened && entry.address.host == wanted.host && entry.address.port == wanted.port)
        return;
    entry.address = wanted;
    entry.config = ComConfig();
    entry.config.address = &entry.address;
    entry.com->open(entry.config, this);
}

bool LibCom::isNetWorkConnected() const
{
    return m_controlUp;
}

int LibCom::dataComIndex(const Com* com) const
{
    for (int i = 0; i < DataComCount; ++i)
        if (com && m_dataComs[size_t(i)].com == com)
            return i;
    return -1;
}

qint64 LibCom::dataBytesArrived() const
{
    qint64 bytes = 0;
    for (const DataComEntry& entry : m_dataComs)
        if (entry.com && entry.com->device())
            bytes += entry.com->device()->bytesArrived();
    return bytes;
}

bool LibCom::isNeeded(int index) const
{
    if (m_dataMode == DATA_MODE_ALL_CHANNELS)
        return true;
    return m_dataMode == DATA_MODE_USED_CHANNELS && m_dataComs[size_t(index)].used;
}

bool LibCom::allNeededConnected() const
{
    for (int i = 0; i < DataComCount; ++i)
        if (isNeeded(i) && !m_dataComs[size_t(i)].connected)
            return false;
    return true;
}

bool LibCom::anyNeededConnected() const
{
    for (int i = 0; i < DataComCount; ++i)
        if (isNeeded(i) && m_dataComs[size_t(i)].connected)
            return true;
    return false;
}

bool LibCom::connectCom(int select)
{
    switch (select) {
    case COM_SELECT_CONTROL:
        return !m_controlUp && m_control && m_control->connectDevice();
    case COM_SELECT_DATA:
        return connectData();
    case COM_SELECT_ALL: {
        const bool control = !m_controlUp && m_control && m_control->connectDevice();
        return connectData() && control;
    }
    case COM_SELECT_EXPORT_LOG:
        return !m_exportLogUp && m_exportLog && m_exportLog->connectDevice();
    default:
        return false;
    }
}

// True when every attempt it needed has started; false when none could be made at all.
bool LibCom::connectData()
{
    bool result = true;
    bool anyCom = false;
    for (DataComEntry& entry : m_dataComs) {
        if (!entry.com)
            continue;
        anyCom = true;
        if (entry.connected || (m_dataMode == DATA_MODE_USED_CHANNELS && !entry.used))
            continue;
        result = entry.com->connectDevice() && result;
    }
    return anyCom && result;
}

void LibCom::disconnectCom(int select)
{
    if ((select == COM_SELECT_CONTROL || select == COM_SELECT_ALL) && m_controlUp && m_control)
        m_control->disconnectDevice();
    if (select == COM_SELECT_DATA || select == COM_SELECT_ALL)
        disconnectData(false);
    if (select == COM_SELECT_EXPORT_LOG && m_exportLogUp && m_exportLog)
        m_exportLog->disconnectDevice();
}

void LibCom::forceDisconnectCom(int select)
{
    if ((select == COM_SELECT_CONTROL || select == COM_SELECT_ALL) && m_controlUp && m_control) {
        m_control->forceDisconnectDevice();
        m_controlUp = false;
    }
    if (select == COM_SELECT_DATA || select == COM_SELECT_ALL)
        disconnectData(true);
    if (select == COM_SELECT_EXPORT_LOG && m_exportLogUp && m_exportLog) {
        m_exportLog->forceDisconnectDevice();
        m_exportLogUp = false;
    }
}

// A connection still connecting is cut without a signal. The connections that are up close as
// usual, and their closing ends the transfer (AMTMachineDataComClosed); without any, it is ended here.
void LibCom::closeDataComs()
{
    bool anyUp = false;
    for (int i = 0; i < DataComCount; ++i) {
        DataComEntry& entry = m_dataComs[size_t(i)];
        if (!entry.com)
            continue;
        if (entry.connected && isNeeded(i)) {
            anyUp = true;
            continue;
        }
        const QSignalBlocker quiet(entry.com);
        entry.com->abortDevice();
        entry.connected = false;
    }
    if (anyUp)
        disconnectData(false);
    else
        notifyPendingEnd();
}

// A forced close takes every used connection that is up, whatever the mode.
void LibCom::disconnectData(bool force)
{
    for (int i = 0; i < DataComCount; ++i) {
        DataComEntry& entry = m_dataComs[size_t(i)];
        if (!entry.com || !entry.connected)
            continue;
        if (force) {
            if (!entry.used)
                continue;
            entry.com->forceDisconnectDevice();
            entry.connected = false;
            continue;
        }
        if (isNeeded(i))
            entry.com->disconnectDevice();
    }
}

// A transfer whose block on this connection never arrived cannot complete: the other data
// connections are closed too, so that the receiver hears AMTMachineDataComClosed once, when
// the last has gone, and can end the transfer towards the instrument.
void LibCom::endCutShortTransfer(int index)
{
    if (m_endingTransfer || m_pendingRequest != AMT_CMD_TRANSFORM_DATA || !isNeeded(index)
        || m_received[size_t(index)])
        return;
    m_endingTransfer = true;
    disconnectData(false);
    m_endingTransfer = false;
}

void LibCom::onConnected(Com* com)
{
    if (com && com == m_control) {
        m_controlUp = true;
        emit AMTMachineNetWorkConnected();
        return;
    }
    if (com && com == m_exportLog) {
        m_exportLogUp = true;
        emit AMTMachineExportLogComNetworkConnected();
        return;
    }
    const int index = dataComIndex(com);
    if (index < 0)
        return;
    m_dataComs[size_t(index)].connected = true;
    if (m_controlUp && allNeededConnected())
        emit AMTMachineDataComNetworkConnected();
}

void LibCom::onClosed(Com* com)
{
    const int index = dataComIndex(com);
    if (com && com == m_control) {
        m_controlUp = false;
    } else if (com && com == m_exportLog) {
        m_exportLogUp = false;
        emit AMTMachineExportLogComClosed();
    } else if (index >= 0) {
        m_dataComs[size_t(index)].connected = false;
        endCutShortTransfer(index);
        if (!anyNeededConnected() && !m_endingTransfer)
            emit AMTMachineDataComClosed();
    } else {
        return;
    }
    if (!m_controlUp && !anyNeededConnected())
        emit AMTMachineNetWorkClosed();
}

void LibCom::setRequestTimeout(int ms)
{
    m_requestTimeout = ms;
    if (m_control)
        m_control->setTimeout(ms);
}

void LibCom::setRequestInterval(int ms)
{
    m_requestInterval = ms;
    if (m_control)
        m_control->setRequestInterval(ms);
}

// Commands

void LibCom::sendTracked(uint msgID, const QByteArray& payload)
{
    if (m_controlUp && m_control)
        m_control->sendRequest(msgID, &payload);
}

void LibCom::sendProjectConfigFile(QString filePath)
{
    if (filePath.isEmpty())
        return;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    sendTracked(AMT_CMD_PROJECT_CONFIG, file.readAll());
}

// A null text counts as an empty one in every command that takes a text.
void LibCom::sendSampleStart(QByteArray* text)
{
    sendTracked(AMT_CMD_SAMPLE_START, text ? *text : QByteArray());
}

void LibCom::sendSampleStop()
{
    sendTracked(AMT_CMD_SAMPLE_STOP);
}

void LibCom::sendAdjustTime()
{
    sendTracked(AMT_CMD_ADJUST_TIME, bigEndian32(quint32(Clock::currentSecsSinceEpoch())));
}

void LibCom::sendRequestTransformData(const char* data)
{
    if (data)
        sendTracked(AMT_CMD_TRANSFORM_DATA, QByteArray(data, 12));
}

void LibCom::sendSelfCheck()
{
    sendTracked(AMT_CMD_SELF_CHECK);
}

void LibCom::sendGetMachineStatus()
{
    sendTracked(AMT_CMD_MACHINE_STATUS);
}

void LibCom::sendGetDiskSpaceFile()
{
    sendTracked(AMT_CMD_DISK_SPACE_FILE);
}

void LibCom::sendDataDelete(QByteArray* request)
{
    sendTracked(AMT_CMD_DATA_DELETE, request ? *request : QByteArray());
}

void LibCom::sendExportData(QByteArray* text)
{
    sendTracked(AMT_CMD_EXPORT_DATA, text ? *text : QByteArray());
}

void LibCom::sendExportDataEmpty()
{
    sendTracked(AMT_CMD_EXPORT_DATA);
}

void LibCom::sendRestart()
{
    sendTracked(AMT_CMD_RESTART);
}

void LibCom::sendGetErrorCode()
{
    sendTracked(AMT_CMD_ERROR_CODE);
}

void LibCom::sendUnsaveData()
{
    sendTracked(AMT_CMD_UNSAVE_DATA);
}

void LibCom::sendGetSampleGroupsNum(QByteArray* text)
{
    if (text && !text->isEmpty())
        sendTracked(AMT_CMD_SAMPLE_GROUPS_NUM, *text);
}

void LibCom::sendErrorFlagClear()
{
    sendTracked(AMT_CMD_ERROR_FLAG_CLEAR);
}

void LibCom::sendGetSystemInfo()
{
    sendTracked(AMT_CMD_SYSTEM_INFO);
}

void LibCom::sendString(QByteArray* text)
{
    if (!text)
        return;
    const int end = text->indexOf('\0');
    const QByteArray bytes = end < 0 ? *text : text->left(end);
    if (!bytes.isEmpty())
        sendTracked(AMT_CMD_STRING, bytes);
}

void LibCom::sendSDCardFormat()
{
    sendTracked(AMT_CMD_SDCARD_FORMAT);
}

void LibCom::sendExportLog()
{
    sendTracked(AMT_CMD_EXPORT_LOG);
}

void LibCom::sendPowerOff()
{
    sendTracked(AMT_CMD_POWER_OFF);
}

void LibCom::sendEndNotice(int32_t code)
{
    if (!m_controlUp || !m_control)
        return;
    const QByteArray payload = bigEndian32(quint32(code));
    m_control->sendMessage(AMT_NOTIFY, &payload);
}

void LibCom::notifyTransformDataEnd()
{
    sendEndNotice(AMT_END_TRANSFORM_DATA);
}

void LibCom::notifyExportDataEnd()
{
    sendEndNotice(AMT_END_EXPORT_DATA);
}

void LibCom::notifyExportLogEnd()
{
    sendEndNotice(AMT_END_EXPORT_LOG);
}

void LibCom::notifyPendingEnd()
{
    switch (m_pendingRequest) {
    case AMT_CMD_TRANSFORM_DATA:
        notifyTransformDataEnd();
        break;
    case AMT_CMD_EXPORT_DATA:
        notifyExportDataEnd();
        break;
    case AMT_CMD_EXPORT_LOG:
        notifyExportLogEnd();
        break;
    default:
        break;
    }
}

// Replies and notifications. A payload shorter than the fields a handler reads raises nothing;
// a longer one is read by its prefix.

void LibCom::onRequestUnanswered(Com* com, uint msgID)
{
    if (com != m_control || !m_controlUp)
        return;
    qWarning("request 0x%08x unanswered: the status is asked", msgID);
    sendGetMachineStatus();
}

bool LibCom::isControlReply(Com* com, uint msgID, uint expected, bool ok) const
{
    return ok && msgID == expected && com && com == m_control;
}

void LibCom::onMachineNotify(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!isControlReply(com, msgID, AMT_NOTIFY, ok) || !data || data->size() < 4)
        return;
    const uint subCode = uint(readInt32(data, 0)) | AMT_SUBCODE_PREFIX;
    switch (subCode) {
    case AMT_CMD_SAMPLE_START:
        emit AMTMachineSampleStarted();
        break;
    case AMT_CMD_TRANSFORM_DATA:
        m_pendingRequest = AMT_CMD_TRANSFORM_DATA;
        clearReceived();
        emit AMTMachineRequestDataComConnecting();
        break;
    case AMT_CMD_DISK_SPACE_FILE: {
        QByteArray text = data->mid(4);
        emit AMTMachineProjectListFile(&text);
        break;
    }
    case AMT_CMD_EXPORT_DATA: {
        if (data->size() < 12)
            break;
        const int32_t a = readInt32(data, 4);
        const int32_t b = readInt32(data, 8);
        QByteArray text = data->mid(12);
        if (a == 1 && b == 0) {
            emit AMTMachineExportDataProjectConfig(&text);
        } else if (a == 0 && b == 1) {
            clearReceived();
            emit AMTMachineExportDataStationConfig(&text);
            m_pendingRequest = AMT_CMD_EXPORT_DATA;
        }
        break;
    }
    case AMT_CMD_SDCARD_FORMAT:
        emit AMTMachineSDCardDiskPrepareForFormat();
        break;
    case AMT_CMD_EXPORT_LOG:
        emit AMTMachinePrepareForExportLog();
        break;
    default:
        break;
    }
    // A receiver may have replaced the control connection meanwhile.
    if (com == m_control)
        m_control->removeRequest(subCode);
}

void LibCom::onDataComDataRecv(Com* com, bool ok, uint msgID, QByteArray* recvData)
{
    // The log connection carries only the log; anything else there is not read as a data frame.
    if (com && com == m_exportLog && msgID != AMT_CMD_EXPORT_LOG)
        return;
    switch (msgID) {
    case AMT_CMD_TRANSFORM_DATA:
        onTransformData(com, msgID, ok, recvData);
        break;
    case AMT_CMD_EXPORT_DATA:
        onExportData(com, msgID, ok, recvData);
        break;
    case AMT_CMD_EXPORT_LOG:
        onExportLog(com, msgID, ok, recvData);
        break;
    default:
        break;
    }
    m_pendingRequest = msgID;
}

void LibCom::onTransformData(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!ok || msgID != AMT_CMD_TRANSFORM_DATA || !com)
        return;
    if (com == m_control) {
        emit AMTMachineFreqGroupTransformDataOver();
        m_pendingRequest = 0;
        return;
    }
    if (data)
        onDataFrame(com, data, &LibCom::AMTMachineTransformChannelDataEnd, &LibCom::AMTMachineTransformDataEnd);
}

void LibCom::onExportData(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!ok || msgID != AMT_CMD_EXPORT_DATA || !com)
        return;
    if (com == m_control) {
        m_pendingRequest = 0;
        emit AMTMachineStationExportSampleDataOver();
        return;
    }
    if (data)
        onDataFrame(com, data, &LibCom::AMTMachineExportChannelDataEnd, &LibCom::AMTMachineExportDataEnd);
}

// One channel block: the record is copied into the connection's control record with its
// dataLength bounded by the sample bytes that are really there, so no receiver reads past them.
void LibCom::onDataFrame(Com* com, QByteArray* frame, ChannelSignal channelSignal, GroupSignal groupSignal)
{
    const int index = dataComIndex(com);
    if (index < 0 || frame->size() < DataFrameHeader)
        return;
    SampleDataControlParam& record = m_records[size_t(index)];
    record = readControlRecord(frame->constData() + 16);
    record.dataLength = std::clamp(record.dataLength, 0, frame->size() - DataFrameHeader);
    emit(this->*channelSignal)(index, &record, frame->data() + DataFrameHeader);
    m_received[size_t(index)] = true;
    for (int i = 0; i < DataComCount; ++i)
        if (m_dataComs[size_t(i)].used && !m_received[size_t(i)])
            return;
    emit(this->*groupSignal)(&record);
    clearReceived();
}

// Every flag and every record field but the instrument number.
void LibCom::clearReceived()
{
    m_received.fill(false);
    for (SampleDataControlParam& record : m_records) {
        const int32_t machineID = record.machineID;
        record = SampleDataControlParam();
        record.machineID = machineID;
    }
}

void LibCom::onExportLog(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!ok || msgID != AMT_CMD_EXPORT_LOG || !com)
        return;
    if (com == m_control) {
        m_pendingRequest = 0;
        emit AMTMachineExportLogDataOver();
        return;
    }
    if (com == m_exportLog && data && !data->isEmpty())
        emit AMTMachineExportLogData(data->data(), data->size());
}

void LibCom::onSelfCheck(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (isControlReply(com, msgID, AMT_CMD_SELF_CHECK, ok) && data)
        emit AMTMachineSelfCheck(reinterpret_cast<SelfCheckResult*>(data->data()));
}

void LibCom::onMachineStatus(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (isControlReply(com, msgID, AMT_CMD_MACHINE_STATUS, ok) && data && data->size() >= 48)
        emit AMTMachineStatus(data->data());
}

void LibCom::onDiskSpaceFile(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!isControlReply(com, msgID, AMT_CMD_DISK_SPACE_FILE, ok) || !data)
        return;
    QByteArray text = *data;
    emit AMTMachineDiskSpaceFile(&text);
}

void LibCom::onRestart(Com* com, uint msgID, bool ok, QByteArray*)
{
    if (isControlReply(com, msgID, AMT_CMD_RESTART, ok))
        m_control->disconnectDevice();
}

void LibCom::onErrorCode(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (isControlReply(com, msgID, AMT_CMD_ERROR_CODE, ok) && data && data->size() >= 4)
        emit AMTMachineErrorCode(uint32_t(readInt32(data, 0)));
}

void LibCom::onSampleGroupsNum(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (isControlReply(com, msgID, AMT_CMD_SAMPLE_GROUPS_NUM, ok) && data && data->size() >= 4)
        emit AMTMachineSampleGroupsNum(readInt32(data, 0));
}

void LibCom::onSystemInfo(Com* com, uint msgID, bool ok, QByteArray* data)
{
    if (!isControlReply(com, msgID, AMT_CMD_SYSTEM_INFO, ok) || !data || data->size() < 8)
        return;
    SystemInfo info;
    info.firmwareVersion = qFromLittleEndian<float>(data->constData());
    info.hardwareVersion = qFromLittleEndian<float>(data->constData() + 4);
    emit AMTMachineSystemInfo(info);
}

// Replies that only report a command done, each with its signal; the replies to
// AMT_CMD_UNSAVE_DATA and AMT_CMD_STRING raise nothing.
void LibCom::onDoneReply(Com* com, uint msgID, bool ok, QByteArray*)
{
    static const QHash<uint, void (LibCom::*)()> signalOfReply = {
        {AMT_CMD_PROJECT_CONFIG, &LibCom::AMTMachineProjectConfigSuccess},
        {AMT_CMD_SAMPLE_START, &LibCom::AMTMachineFreqGroupSampleOver},
        {AMT_CMD_SAMPLE_STOP, &LibCom::AMTMachineSampleStoped},
        {AMT_CMD_ADJUST_TIME, &LibCom::AMTMachineAdjustTimeOver},
        {AMT_CMD_DATA_DELETE, &LibCom::AMTMachineDataDeleteOver},
        {AMT_CMD_ERROR_FLAG_CLEAR, &LibCom::AMTMachineErrorFlagClear},
        {AMT_CMD_SDCARD_FORMAT, &LibCom::AMTMachineSDCardDiskFormatSucceed},
    };
    const auto signal = signalOfReply.value(msgID, nullptr);
    if (signal && isControlReply(com, msgID, msgID, ok))
        emit(this->*signal)();
}
