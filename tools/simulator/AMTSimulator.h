#ifndef AMTSIMULATOR_H
#define AMTSIMULATOR_H

#include "common/SampleDataControlParam.h"
#include "tools/simulator/SimServer.h"
#include "tools/simulator/SimSettings.h"
#include "tools/simulator/SimStationTask.h"
#include "tools/simulator/SimStorage.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

// The instrument's side of the protocol, played on 127.0.0.1 for tests, manual runs and
// benchmarks. Each command from the host has an answer (a member registered in
// registerAnswers(), replaceable with setAnswer()); the network, journal and faults are the
// SimServer's.
class AMTSimulator : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(const SimFrame &request)>;

    explicit AMTSimulator(QObject *parent = nullptr);

    bool start(quint16 base = 0);
    void stop();
    quint16 basePort() const { return net.basePort(); }

    SimServer &server() { return net; }
    SimJournal &journal() { return net.journal(); }
    SimFaultPlan &faults() { return net.faults(); }
    SimStorage &storage() { return store; }
    SimSettings &settings() { return config; }

    int32_t workStatus() const { return status; }
    uint32_t errorWord() const { return errors; }
    void setErrorWord(uint32_t word) { errors = word; }
    void setAnswer(uint32_t id, Answer answer);

    // Frames sent on the simulator's own initiative.
    void reply(uint32_t id, const QByteArray &payload = QByteArray());
    void notify(uint32_t subCode, const QByteArray &data = QByteArray());
    QByteArray statusRecord() const;
    // Data frame of one channel block: header, control record, the byte-exact samples.
    static QByteArray dataFrame(uint32_t id, const SampleDataControlParam &record, int channel);
    // The deterministic log text of the given length.
    static QByteArray logText(qint64 bytes);

signals:
    // A frame from the host has been handled (after its answer was queued).
    void commandHandled(uint32_t id);
    void endNoticeReceived(int code);

private:
    enum class Pending { None, Transfer, Export, Log };

    struct Run
    {
        bool active = false;
        int id = 0;
        SimStationTask task;
        int group = -1;
        int startTime = 0;
    };

    void registerAnswers();
    void onFrame(int port, const SimFrame &frame);
    void onConnected(int port);
    void onDrained(int port);
    void badCommand();

    void answerProjectConfig(const SimFrame &f);
    void answerSampleStart(const SimFrame &f);
    void answerSampleStop(const SimFrame &f);
    void answerAdjustTime(const SimFrame &f);
    void answerTransformData(const SimFrame &f);
    void answerDiskSpaceFile(const SimFrame &f);
    void answerExportData(const SimFrame &f);
    void answerRestart(const SimFrame &f);
    void answerUnsaveData(const SimFrame &f);
    void answerSampleGroupsNum(const SimFrame &f);
    void answerSdCardFormat(const SimFrame &f);
    void answerExportLog(const SimFrame &f);
    void answerPowerOff(const SimFrame &f);
    void answerEndNotice(const SimFrame &f);

    void startGroup(bool announce);
    void onGroupSampled();
    void endRun();
    void resetWork();
    qint64 blockBytesOf(const SimGroupTask &task) const;
    void tryStartData();
    void sendGroupBlocks(uint32_t id, const SampleDataControlParam &record, const SimGroupTask &task,
                         bool everyChannel);
    QByteArray cachedDataFrame(uint32_t id, const SampleDataControlParam &record, const SimGroupTask &task,
                               int channel);
    QByteArray earthKey(const SimGroupTask &task) const;
    QByteArray earthSamples(const SampleDataControlParam &record, const SimGroupTask &task, int channel);
    void sendLog();
    void replyLog();

    SimServer net;
    SimSettings config;
    SimStorage store;
    QHash<uint32_t, Answer> answers;

    int32_t status = 0;
    uint32_t errors = 0;
    qint64 clockOffset = 0;
    QByteArray lastProjectConfig;
    Run run;
    QTimer sampleTimer;
    QTimer formatTimer;
    QTimer logReplyTimer;

    Pending pending = Pending::None;
    bool dataSent = false;
    bool logSent = false;
    SimGroupTask transferTask;
    SampleDataControlParam transferRecord;
    QList<SimStoredGroup> exportGroups;
    int exportIndex = 0;

    struct BlockCache
    {
        QByteArray key;
        QByteArray frame;
    };
    std::array<BlockCache, 5> blockCache;
    struct EarthCache
    {
        QByteArray key;
        std::array<QByteArray, 5> samples;
    };
    EarthCache earthCache;
};

#endif // AMTSIMULATOR_H
