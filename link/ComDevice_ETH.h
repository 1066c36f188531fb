#ifndef COMDEVICE_ETH_H
#define COMDEVICE_ETH_H

#include "link/ComDevice.h"

struct ComAddress;
class QTcpServer;
class QTcpSocket;
class QUdpSocket;

// A device over sockets: TCP client, listening TCP server (the newest incoming connection
// replaces the previous one) or UDP, as the address says.
class ComDevice_ETH : public ComDevice
{
    Q_OBJECT
public:
    explicit ComDevice_ETH(QObject* parent = nullptr);
    ~ComDevice_ETH() override;

protected:
    bool openPort() override;
    void closePort() override;
    bool connectPort() override;
    bool writeFrame(QByteArray* frame) override;
    bool writeBytes(const char* data, int length) override;
    void disconnectPort() override;
    bool confirmsOnWrite() const override;
    bool connectedOnOpen() const override;
    void abortPort() override;

private slots:
    void onTcpComin();
    void onTcpConed();
    void onTcpDisconed();
    void onTcpRecved();
    void onUdpRecved();

private:
    bool isTcp() const;
    void connectClientSocket();
    void releaseTcpSocket();

    QTcpServer* m_server = nullptr;
    QTcpSocket* m_tcp = nullptr;
    QUdpSocket* m_udp = nullptr;
    ComAddress* m_address = nullptr;
};

#endif // COMDEVICE_ETH_H
