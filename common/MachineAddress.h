#ifndef MACHINEADDRESS_H
#define MACHINEADDRESS_H

#include <QMetaType>
#include <QString>

// The instrument's address: control on the base port, data on base + 1 to base + 5,
// the log export on base + 6.
struct MachineAddress
{
    QString IP;
    quint16 port = 8010;
};

Q_DECLARE_METATYPE(MachineAddress)

#endif // MACHINEADDRESS_H
