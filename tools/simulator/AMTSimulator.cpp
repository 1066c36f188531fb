#include "tools/simulator/AMTSimulator.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "common/MachineErrorCode.h"
#include "tools/simulator/SimChannelData.h"
#include "tools/simulator/SimEarth.h"
#include "tools/simulator/SimDeleteRequest.h"

#include <cstring>

namespace {

QByteArray le32(uint32_t value)
{
    return SimFrameCodec::littleEndian(value);
}

QByteArray leFloat(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return le32(bits);
}

QByteArray leDouble(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return le32(uint32_t(bits)) + le32(uint32_t(bits >> 32));
}

} // namespace

AMTSimulator::AMTSimulator(QObject *parent) : QObject(parent)
{
    sampleTimer.setSingleShot(true);
    formatTimer.setSingleShot(true);
    connect(&sampleTimer, &QTimer::timeout, this, &AMTSimulator::onGroupSampled);
    connect(&formatTimer, &QTimer::timeout, this, [this] {
        store.clear();
        reply(AMT_CMD_SDCARD_FORMAT);
    });
    connect(&net, &SimServer::frameReceived, this, &AMTSimulator::onFrame);
    connect(&net, &SimServer::connected, this, &AMTSimulator::onConnected);
    connect(&net, &SimServer::drained, this, &AMTSimulator::onDrained);
    connect(&net, &SimServer::disconnected, this, [this](int port) {
        if (port == SimLogPort)
            replyLog();
    });
    logReplyTimer.setSingleShot(true);
    connect(&logReplyTimer, &QTimer::timeout, this, &AMTSimulator::replyLog);
    registerAnswers();
}

// One entry per command the instrument answers. A new answer is a member (or lambda) added here.
void AMTSimulator::registerAnswers()
{
    using Member = void (AMTSimulator::*)(const SimFrame &);
    const QList<QPair<uint32_t, Member>> members = {
        {AMT_NOTIFY, &AMTSimulator::answerEndNotice},
        {AMT_CMD_PROJECT_CONFIG, &AMTSimulator::answerProjectConfig},
        {AMT_CMD_SAMPLE_START, &AMTSimulator::answerSampleStart},
        {AMT_CMD_SAMPLE_STOP, &AMTSimulator::answerSampleStop},
        {AMT_CMD_ADJUST_TIME, &AMTSimulator::answerAdjustTime},
        {AMT_CMD_TRANSFORM_DATA, &AMTSimulator::answerTransformData},
        {AMT_CMD_DISK_SPACE_FILE, &AMTSimulator::answerDiskSpaceFile},
        {AMT_CMD_EXPORT_DATA, &AMTSimulator::answerExportData},
        {AMT_CMD_RESTART, &AMTSimulator::answerRestart},
        {AMT_CMD_UNSAVE_DATA, &AMTSimulator::answerUnsaveData},
        {AMT_CMD_SAMPLE_GROUPS_NUM, &AMTSimulator::answerSampleGroupsNum},
        {AMT_CMD_SDCARD_FORMAT, &AMTSimulator::answerSdCardFormat},
        {AMT_CMD_EXPORT_LOG, &AMTSimulator::answerExportLog},
        {AMT_CMD_POWER_OFF, &AMTSimulator::answerPowerOff},
    };
    for (const auto &m : members) {
        const Member member = m.second;
        answers.insert(m.first, [this, member](const SimFrame &f) { (this->*member)(f); });
    }
    answers.insert(AMT_CMD_SELF_CHECK, [this](const SimFrame &) { reply(AMT_CMD_SELF_CHECK, QByteArray(16, '\0')); });
    answers.insert(AMT_CMD_MACHINE_STATUS, [this](const SimFrame &) { reply(AMT_CMD_MACHINE_STATUS, statusRecord()); });
    answers.insert(AMT_CMD_DATA_DELETE, [this](const SimFrame &f) {
        store.remove(SimDeleteRequest::parse(f.payload));
        reply(AMT_CMD_DATA_DELETE);
    });
    answers.insert(AMT_CMD_ERROR_CODE, [this](const SimFrame &) { reply(AMT_CMD_ERROR_CODE, le32(errors)); });
    answers.insert(AMT_CMD_ERROR_FLAG_CLEAR, [this](const SimFrame &) {
        errors = 0;
        reply(AMT_CMD_ERROR_FLAG_CLEAR);
    });
    answers.insert(AMT_CMD_SYSTEM_INFO, [this](const SimFrame &) {
        reply(AMT_CMD_SYSTEM_INFO, leFloat(config.firmwareVersion) + leFloat(config.hardwareVersion));
    });
    answers.insert(AMT_CMD_STRING, [this](const SimFrame &) { reply(AMT_CMD_STRING); });
}

bool AMTSimulator::start(quint16 base)
{
    return net.listen(base);
}

void AMTSimulator::stop()
{
    resetWork();
    net.close();
}

void AMTSimulator::setAnswer(uint32_t id, Answer answer)
{
    answers.insert(id, std::move(answer));
}

void AMTSimulator::reply(uint32_t id, const QByteArray &payload)
{
    net.send(SimControlPort, id, payload);
}

void AMTSimulator::notify(uint32_t subCode, const QByteArray &data)
{
    const uint32_t code = config.fullSubCodes ? subCode : (subCode & 0xFFFF);
    net.send(SimControlPort, AMT_NOTIFY, le32(code) + data);
}

void AMTSimulator::badCommand()
{
    errors |= AMT_ERR_BAD_COMMAND;
}

void AMTSimulator::onFrame(int port, const SimFrame &frame)
{
    if (port != SimControlPort)
        return; // the host sends nothing else on the data and log ports; the journal has it
    const auto answer = answers.constFind(frame.id);
    if (answer == answers.constEnd())
        badCommand();
    else
        (*answer)(frame);
    emit commandHandled(frame.id);
}

void AMTSimulator::onConnected(int port)
{
    if (port == SimLogPort && pending == Pending::Log)
        sendLog();
    else
        tryStartData();
}

// The log-export reply waits until the host has the log: it closes the log connection or sends
// its end notice. A host that does neither (an empty log) gets the reply after a grace period.
void AMTSimulator::onDrained(int port)
{
    if (port == SimLogPort && logSent && !logReplyTimer.isActive())
        logReplyTimer.start(config.logReplyDelayMs);
}

void AMTSimulator::replyLog()
{
    if (!logSent)
        return;
    logSent = false;
    logReplyTimer.stop();
    reply(AMT_CMD_EXPORT_LOG);
}

QByteArray AMTSimulator::statusRecord() const
{
    const auto machineTime = uint32_t(Clock::currentSecsSinceEpoch() + clockOffset);
    const int32_t reported = config.reportedWorkStatus >= 0 ? config.reportedWorkStatus : status;
    return le32(uint32_t(reported)) + le32(machineTime) + leDouble(config.batteryVoltage) + leDouble(config.diskSpace) +
           leDouble(config.temperature1) + leDouble(config.temperature2) + le32(uint32_t(config.gpsStatus)) + le32(0);
}

void AMTSimulator::answerProjectConfig(const SimFrame &f)
{
    lastProjectConfig = f.payload;
    reply(AMT_CMD_PROJECT_CONFIG);
}

void AMTSimulator::answerAdjustTime(const SimFrame &f)
{
    if (f.payload.size() < 4) {
        badCommand();
        return;
    }
    clockOffset = qint64(SimFrameCodec::readBigEndian(f.payload.constData())) - Clock::currentSecsSinceEpoch();
    reply(AMT_CMD_ADJUST_TIME);
}

// A task text starts a run at its first group; an empty start goes on with the next group.
void AMTSimulator::answerSampleStart(const SimFrame &f)
{
    if (!f.payload.isEmpty()) {
        SimStationTask task;
        if (!SimStationTask::parse(f.payload, &task)) {
            errors |= AMT_ERR_STATION_CONFIG;
            return;
        }
        endRun();
        run = Run{true, run.id + 1, task, 0, 0};
        if (!lastProjectConfig.isEmpty())
            store.setProjectConfig(task.key.projectId, lastProjectConfig);
        startGroup(true);
        return;
    }
    const bool nextExists = run.active && run.group + 1 < run.task.groups.size();
    if (!nextExists || sampleTimer.isActive()) {
        badCommand();
        return;
    }
    ++run.group;
    startGroup(true);
}

void AMTSimulator::startGroup(bool announce)
{
    status = 1;
    const SimGroupTask &group = run.task.groups[run.group];
    run.startTime = group.plannedStart > 0 ? group.plannedStart : int(Clock::currentSecsSinceEpoch() + clockOffset);
    if (announce)
        notify(AMT_CMD_SAMPLE_START);
    sampleTimer.start(config.sampleMs);
}

// An online group waits for the host to fetch it; an offline run answers once, after its first
// group, and samples the rest on its own.
void AMTSimulator::onGroupSampled()
{
    const SimGroupTask &group = run.task.groups[run.group];
    store.add({run.task.key, group, blockBytesOf(group), run.startTime, run.id});
    if (group.online || run.group == 0)
        reply(AMT_CMD_SAMPLE_START);
    if (group.online)
        return;
    if (run.group + 1 < run.task.groups.size()) {
        ++run.group;
        startGroup(false);
        return;
    }
    endRun();
}

void AMTSimulator::endRun()
{
    sampleTimer.stop();
    run.active = false;
    status = 0;
}

void AMTSimulator::resetWork()
{
    endRun();
    formatTimer.stop();
    logReplyTimer.stop();
    pending = Pending::None;
    dataSent = false;
    logSent = false;
    errors = 0;
}

void AMTSimulator::answerSampleStop(const SimFrame &)
{
    endRun();
    reply(AMT_CMD_SAMPLE_STOP);
}

qint64 AMTSimulator::blockBytesOf(const SimGroupTask &task) const
{
    return config.blockBytes > 0 ? config.blockBytes : task.blockBytes(config.defaultBlockBytes, config.maxBlockBytes);
}

void AMTSimulator::answerTransformData(const SimFrame &f)
{
    if (f.payload.size() < 12) {
        badCommand();
        return;
    }
    const bool fromRun = run.active && run.group >= 0;
    transferTask = fromRun ? run.task.groups[run.group] : SimGroupTask();
    transferRecord = SampleDataControlParam();
    transferRecord.machineID = config.machineID;
    transferRecord.lineNum = int32_t(SimFrameCodec::readLittleEndian(f.payload.constData()));
    transferRecord.stationNum = int32_t(SimFrameCodec::readLittleEndian(f.payload.constData() + 4));
    transferRecord.dataIndexNum = transferTask.groupId;
    transferRecord.dataLength = int32_t(blockBytesOf(transferTask));
    transferRecord.sampleStartTime = fromRun ? run.startTime : 0;
    pending = Pending::Transfer;
    dataSent = false;
    notify(AMT_CMD_TRANSFORM_DATA);
    tryStartData();
}

// Blocks go out once every connection they need is up: the group's channels for a transfer,
// all five for a read-back.
void AMTSimulator::tryStartData()
{
    if (dataSent)
        return;
    if (pending == Pending::Transfer) {
        for (int c = 0; c < 5; ++c)
            if (transferTask.channels[size_t(c)] && !net.isConnected(SimFirstDataPort + c))
                return;
        dataSent = true;
        sendGroupBlocks(AMT_CMD_TRANSFORM_DATA, transferRecord, transferTask, false);
        return;
    }
    if (pending != Pending::Export || exportIndex >= exportGroups.size())
        return;
    for (int c = 0; c < 5; ++c)
        if (!net.isConnected(SimFirstDataPort + c))
            return;
    const SimStoredGroup &group = exportGroups[exportIndex];
    SampleDataControlParam record;
    record.machineID = config.machineID;
    record.lineNum = group.key.line;
    record.stationNum = group.key.station;
    record.dataIndexNum = exportIndex + 1;
    record.dataLength = int32_t(group.blockBytes);
    record.sampleStartTime = group.startTime;
    dataSent = true;
    sendGroupBlocks(AMT_CMD_EXPORT_DATA, record, group.task, true);
}

// A transfer sends the used channels only; a read-back sends all five, the unused ones as blocks
// without samples, so that every connection the host opened delivers.
void AMTSimulator::sendGroupBlocks(uint32_t id, const SampleDataControlParam &record, const SimGroupTask &task,
                                   bool everyChannel)
{
    for (int c = 0; c < 5; ++c) {
        const bool used = task.channels[size_t(c)];
        if (!used && !everyChannel)
            continue;
        SampleDataControlParam block = record;
        block.dataLength = used ? record.dataLength : 0;
        net.send(SimFirstDataPort + c, cachedDataFrame(id, block, task, c));
    }
}

// The last frame of each channel is kept: a repeated transfer (benchmarks) builds nothing anew.
QByteArray AMTSimulator::cachedDataFrame(uint32_t id, const SampleDataControlParam &record, const SimGroupTask &task,
                                         int channel)
{
    const QByteArray key = SimFrameCodec::bigEndian(id) + SimChannelData::recordBytes(record) + earthKey(task);
    BlockCache &slot = blockCache[size_t(channel)];
    if (slot.key != key) {
        slot.frame = config.byteExactSamples
                         ? dataFrame(id, record, channel)
                         : SimFrameCodec::encode(id, SimChannelData::recordBytes(record) + earthSamples(record, task, channel));
        slot.key = key;
    }
    return slot.frame;
}

// What the earth's blocks depend on besides the record; nothing for the byte-exact blocks.
QByteArray AMTSimulator::earthKey(const SimGroupTask &task) const
{
    if (config.byteExactSamples)
        return QByteArray();
    return task.lines.join('\n') + ' ' + QByteArray::number(config.earthResistivity, 'g', 17) + ' '
           + QByteArray::number(config.earthSeed);
}

// The five channels of a group come from one synthesis; the last group's are kept for the others.
QByteArray AMTSimulator::earthSamples(const SampleDataControlParam &record, const SimGroupTask &task, int channel)
{
    if (record.dataLength <= 0)
        return QByteArray();
    const QByteArray key = SimChannelData::recordBytes(record) + earthKey(task);
    if (earthCache.key != key) {
        earthCache.samples = SimEarth(config.earthResistivity, config.earthSeed).samples(task, record);
        earthCache.key = key;
    }
    return earthCache.samples[size_t(channel)];
}

QByteArray AMTSimulator::dataFrame(uint32_t id, const SampleDataControlParam &record, int channel)
{
    return SimFrameCodec::encode(id, SimChannelData::payload(record, channel));
}

void AMTSimulator::answerEndNotice(const SimFrame &f)
{
    if (f.payload.size() < 4)
        return;
    const auto code = int32_t(SimFrameCodec::readBigEndian(f.payload.constData()));
    emit endNoticeReceived(code);
    if (code == AMT_END_TRANSFORM_DATA && pending == Pending::Transfer) {
        pending = Pending::None;
        reply(AMT_CMD_TRANSFORM_DATA);
        if (run.active && run.group + 1 >= run.task.groups.size())
            endRun();
        return;
    }
    if (code == AMT_END_EXPORT_LOG) {
        replyLog();
        return;
    }
    if (code != AMT_END_EXPORT_DATA || pending != Pending::Export)
        return;
    // A group the host never received ends the read-back, as does the last one.
    if (dataSent && ++exportIndex < exportGroups.size()) {
        dataSent = false;
        tryStartData();
        return;
    }
    pending = Pending::None;
    reply(AMT_CMD_EXPORT_DATA);
}

void AMTSimulator::answerDiskSpaceFile(const SimFrame &)
{
    notify(AMT_CMD_DISK_SPACE_FILE, store.projectListText());
    reply(AMT_CMD_DISK_SPACE_FILE, store.storageListingText());
}

// A station without stored groups is answered with the stop reply, as the instrument does.
void AMTSimulator::answerExportData(const SimFrame &f)
{
    const SimStationKey key = SimStationKey::fromSelection(f.payload);
    exportGroups = store.groups(key);
    if (exportGroups.isEmpty()) {
        reply(AMT_CMD_SAMPLE_STOP);
        return;
    }
    exportIndex = 0;
    dataSent = false;
    pending = Pending::Export;
    notify(AMT_CMD_EXPORT_DATA, le32(1) + le32(0) + store.projectConfig(key.projectId));
    notify(AMT_CMD_EXPORT_DATA, le32(0) + le32(1) + store.stationConfigText(key, config.machineID));
    tryStartData();
}

void AMTSimulator::answerRestart(const SimFrame &)
{
    reply(AMT_CMD_RESTART);
    resetWork();
}

void AMTSimulator::answerUnsaveData(const SimFrame &)
{
    store.removeRun(run.id);
    endRun();
    reply(AMT_CMD_UNSAVE_DATA);
}

void AMTSimulator::answerSampleGroupsNum(const SimFrame &f)
{
    reply(AMT_CMD_SAMPLE_GROUPS_NUM, le32(uint32_t(store.count(SimStationKey::fromSelection(f.payload)))));
}

void AMTSimulator::answerSdCardFormat(const SimFrame &)
{
    notify(AMT_CMD_SDCARD_FORMAT);
    formatTimer.start(config.formatMs);
}

void AMTSimulator::answerExportLog(const SimFrame &)
{
    notify(AMT_CMD_EXPORT_LOG);
    pending = Pending::Log;
    if (net.isConnected(SimLogPort))
        sendLog();
}

// The log message: the frame header, a big-endian byte count, the log bytes.
void AMTSimulator::sendLog()
{
    pending = Pending::None;
    const QByteArray text = logText(config.logBytes);
    logSent = true;
    net.send(SimLogPort, SimFrameCodec::encode(AMT_CMD_EXPORT_LOG, SimFrameCodec::bigEndian(uint32_t(text.size())) + text));
}

QByteArray AMTSimulator::logText(qint64 bytes)
{
    QByteArray text;
    text.reserve(int(bytes) + 64);
    for (int line = 1; text.size() < bytes; ++line)
        text += QByteArray("[") + QByteArray::number(line).rightJustified(7, '0') + "] instrument log line\n";
    text.truncate(int(bytes));
    return text;
}

void AMTSimulator::answerPowerOff(const SimFrame &)
{
    resetWork();
    // The instrument goes away without a word; it listens again as if switched back on.
    QTimer::singleShot(0, this, [this] {
        for (int p = 0; p < SimPortCount; ++p)
            net.disconnectPort(p);
    });
}
