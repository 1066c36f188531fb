#ifndef LIBCOM_H
#define LIBCOM_H

#include "common/MachineAddress.h"
#include "common/SampleDataControlParam.h"
#include "common/SelfCheckResult.h"
#include "common/SystemInfo.h"
#include "link/ComAddress.h"
#include "link/ComConfig.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class Com;

// Connection selectors of connectCom, disconnectCom and forceDisconnectCom.
constexpr int COM_SELECT_CONTROL = 0;
constexpr int COM_SELECT_DATA = 1;
constexpr int COM_SELECT_ALL = 2; // control and data
constexpr int COM_SELECT_EXPORT_LOG = 3;

// Which data connections are needed: those of the used channels, or all five (read-back).
constexpr int DATA_MODE_USED_CHANNELS = 1;
constexpr int DATA_MODE_ALL_CHANNELS = 2;

// The instrument link as the program sees it: the control connection (requests, replies,
// notifications), five data connections (one channel each: Hx, Hy, E2, E1, E0) and the
// log-export connection; one send operation per command, and the AMTMachine signals for what
// comes back. Every pointer a signal carries is valid only while the signal is delivered.
class LibCom : public QObject
{
    Q_OBJECT
public:
    static constexpr int DataComCount = 5;
    static constexpr int RequestTimeout = 100000; // ms before an unanswered request is given up
    static constexpr int RequestRetryCount = 3;

    explicit LibCom(QObject* parent = nullptr);
    ~LibCom() override;

    // Connections.
    bool openControlCom(const MachineAddress& address);
    // use: channel flags in the order Hx, Hy, E0, E1, E2; mode: DATA_MODE_*.
    void openDataComs(const MachineAddress& address, const char use[5], int mode);
    bool openExportLogCom(const MachineAddress& address);
    bool connectCom(int select);
    void disconnectCom(int select);
    void forceDisconnectCom(int select);
    // Closes every data connection, those still connecting too, and ends the pending transfer
    // towards the instrument: a run that stops leaves none open for the next one.
    void closeDataComs();
    bool isNetWorkConnected() const;
    // Bytes received on the data connections so far; moves while a transfer makes progress.
    qint64 dataBytesArrived() const;

    // Commands, sent on the control connection while it is up.
    void sendProjectConfigFile(QString filePath);
    void sendSampleStart(QByteArray* text);
    void sendSampleStop();
    void sendAdjustTime();
    void sendRequestTransformData(const char* data);
    void sendSelfCheck();
    void sendGetMachineStatus();
    void sendGetDiskSpaceFile();
    void sendDataDelete(QByteArray* request);
    void sendExportData(QByteArray* text);
    void sendExportDataEmpty();
    void sendRestart();
    void sendGetErrorCode();
    void sendUnsaveData();
    void sendGetSampleGroupsNum(QByteArray* text);
    void sendErrorFlagClear();
    void sendGetSystemInfo();
    void sendString(QByteArray* text);
    void sendSDCardFormat();
    void sendExportLog();
    void sendPowerOff();

    // End notices, untracked.
    void notifyTransformDataEnd();
    void notifyExportDataEnd();
    void notifyExportLogEnd();
    void notifyPendingEnd();
    uint pendingDeviceRequest() const { return m_pendingRequest; }

    // The request engine's timing, for the next control connection and the current one.
    void setRequestTimeout(int ms);
    void setRequestInterval(int ms);

    // Handlers of the control connection's messages; each acts only for its own message ID on
    // this LibCom's control connection with ok set.
    void onMachineNotify(Com* com, uint msgID, bool ok, QByteArray* data);
    void onTransformData(Com* com, uint msgID, bool ok, QByteArray* data);
    void onExportData(Com* com, uint msgID, bool ok, QByteArray* data);
    void onExportLog(Com* com, uint msgID, bool ok, QByteArray* data);
    void onSelfCheck(Com* com, uint msgID, bool ok, QByteArray* data);
    void onMachineStatus(Com* com, uint msgID, bool ok, QByteArray* data);
    void onDiskSpaceFile(Com* com, uint msgID, bool ok, QByteArray* data);
    void onRestart(Com* com, uint msgID, bool ok, QByteArray* data);
    void onErrorCode(Com* com, uint msgID, bool ok, QByteArray* data);
    void onSampleGroupsNum(Com* com, uint msgID, bool ok, QByteArray* data);
    void onSystemInfo(Com* com, uint msgID, bool ok, QByteArray* data);
    // Replies that only say a command is done: each raises its signal, if it has one.
    void onDoneReply(Com* com, uint msgID, bool ok, QByteArray* data);

public slots:
    void onConnected(Com* com);
    void onClosed(Com* com);
    void onDataComDataRecv(Com* com, bool ok, uint msgID, QByteArray* recvData);
    // A command that must not run twice went unanswered: the status is asked instead of sending
    // it again, and what the instrument reports decides.
    void onRequestUnanswered(Com* com, uint msgID);

signals:
    void AMTMachineNetWorkConnected();
    void AMTMachineNetWorkClosed();
    void AMTMachineDataComNetworkConnected();
    void AMTMachineDataComClosed();
    void AMTMachineExportLogComNetworkConnected();
    void AMTMachineExportLogComClosed();
    void AMTMachineProjectConfigSuccess();
    void AMTMachineAdjustTimeOver();
    void AMTMachineSampleStarted();
    void AMTMachineSampleStoped();
    void AMTMachineFreqGroupSampleOver();
    void AMTMachineRequestDataComConnecting();
    void AMTMachineTransformChannelDataEnd(int channel, SampleDataControlParam* controlParam, char* data);
    void AMTMachineTransformDataEnd(SampleDataControlParam* controlParam);
    void AMTMachineFreqGroupTransformDataOver();
    void AMTMachineSelfCheck(SelfCheckResult* result);
    void AMTMachineStatus(void* status);
    void AMTMachineProjectListFile(QByteArray* text);
    void AMTMachineDiskSpaceFile(QByteArray* text);
    void AMTMachineExportDataProjectConfig(QByteArray* text);
    void AMTMachineExportDataStationConfig(QByteArray* text);
    void AMTMachineExportChannelDataEnd(int channel, SampleDataControlParam* controlParam, char* data);
    void AMTMachineExportDataEnd(SampleDataControlParam* controlParam);
    void AMTMachineDataDeleteOver();
    void AMTMachineStationExportSampleDataOver();
    void AMTMachineErrorCode(uint32_t errorCode);
    void AMTMachineSystemInfo(SystemInfo info);
    void AMTMachineSampleGroupsNum(int count);
    void AMTMachineErrorFlagClear();
    void AMTMachineSDCardDiskPrepareForFormat();
    void AMTMachineSDCardDiskFormatSucceed();
    void AMTMachinePrepareForExportLog();
    void AMTMachineExportLogData(char* data, int length);
    void AMTMachineExportLogDataOver();

private:
    struct DataComEntry
    {
        bool used = false;
        bool connected = false;
        ComConfig config;
        ComAddress address;
        Com* com = nullptr;
    };
    using ChannelSignal = void (LibCom::*)(int, SampleDataControlParam*, char*);
    using GroupSignal = void (LibCom::*)(SampleDataControlParam*);

    Com* replaceCom(Com* old, int kind);
    static void fillAddress(ComAddress* address, const MachineAddress& machine, int offset);
    void registerHandlers();
    void reopenDataCom(int index, const MachineAddress& address);
    int dataComIndex(const Com* com) const;
    bool isNeeded(int index) const;
    bool allNeededConnected() const;
    bool anyNeededConnected() const;
    bool connectData();
    void disconnectData(bool force);
    void endCutShortTransfer(int index);
    bool isControlReply(Com* com, uint msgID, uint expected, bool ok) const;
    void sendTracked(uint msgID, const QByteArray& payload = QByteArray());
    void sendEndNotice(int32_t code);
    void onDataFrame(Com* com, QByteArray* frame, ChannelSignal channelSignal, GroupSignal groupSignal);
    void clearReceived();

    Com* m_control = nullptr;
    std::unique_ptr<ComAddress> m_controlAddress;
    bool m_controlUp = false;
    int m_dataMode = DATA_MODE_USED_CHANNELS;
    std::array<DataComEntry, DataComCount> m_dataComs;
    std::array<bool, DataComCount> m_received{};
    std::array<SampleDataControlParam, DataComCount> m_records{};
    Com* m_exportLog = nullptr;
    std::unique_ptr<ComAddress> m_exportLogAddress;
    bool m_exportLogUp = false;
    uint m_pendingRequest = 0;
    bool m_endingTransfer = false;
    int m_requestTimeout = RequestTimeout;
    int m_requestInterval = 0; // 0 = the connection's own
};

#endif // LIBCOM_H
