#ifndef LINKFIXTURE_H
#define LINKFIXTURE_H

#include "common/MachineAddress.h"
#include "link/LibCom.h"
#include "tools/simulator/AMTSimulator.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>

// What one AMTMachine signal carried, copied while it was delivered.
struct LinkEvent
{
    QString name; // the signal name without the "AMTMachine" prefix
    QVariantList values;
};

// Records every AMTMachine signal of a LibCom with the data behind its pointers.
class SignalRecorder : public QObject
{
    Q_OBJECT
public:
    explicit SignalRecorder(LibCom* lib);

    QList<LinkEvent> events;

    int count(const QString& name) const;
    QList<LinkEvent> named(const QString& name) const;
    QStringList names() const;
    void clear() { events.clear(); }
    // Fields of a control record, in wire order.
    static QVariantList recordValues(const SampleDataControlParam* record);

private:
    void add(const QString& name, const QVariantList& values = QVariantList());
    void addBlock(const QString& name, int channel, SampleDataControlParam* record, char* data);
};

// A simulator on free loopback ports and a LibCom pointed at it.
class LinkFixture
{
public:
    LinkFixture();

    AMTSimulator sim;
    LibCom lib;
    SignalRecorder rec{&lib};
    MachineAddress address;

    bool started = false;
    // Opens and connects the control connection; true once it is up.
    bool connectControl();
    // Connects the data connections of the channel flags (order Hx, Hy, E0, E1, E2).
    bool connectData(const char use[5], int mode);
    // Asks for the error word (set to SyncMarker) and waits for the answer: every reply the
    // simulator sent before it has been handled.
    bool sync();
    static constexpr uint SyncMarker = 0x5C0DE;
    // Frames the simulator received since it started, raw.
    QList<QByteArray> receivedFrames();
};

QByteArray le32(quint32 value);

#endif // LINKFIXTURE_H
