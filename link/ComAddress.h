#ifndef COMADDRESS_H
#define COMADDRESS_H

#include <QString>
#include <QtGlobal>

constexpr quint8 COM_TRANSPORT_TCP = 1; // any other value: UDP
constexpr quint8 COM_ROLE_SERVER = 1;
constexpr quint8 COM_ROLE_CLIENT = 2;

// Where a device connects to (or listens on). The owner of the connection keeps it; the
// device only points to it.
struct ComAddress
{
    quint8 transport = COM_TRANSPORT_TCP;
    quint8 role = COM_ROLE_CLIENT;
    QString host;
    quint16 port = 0;
};

#endif // COMADDRESS_H
