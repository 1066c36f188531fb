#ifndef SIMFAULT_H
#define SIMFAULT_H

#include <QList>
#include <QString>
#include <cstdint>

// One scripted misbehaviour: which frames it hits and what happens to them. Script form, one
// rule a line:  msg=<NAME|0xID> [sub=<code>] [on=<port>] [nth=<n>|all] fault=<kind> [arg=<a,b,...>]
class SimFault
{
public:
    enum Kind {
        Drop,        // the frame is not sent
        Delay,       // arg ms; later frames on the connection wait behind it
        Duplicate,   // sent twice
        Garbage,     // arg bytes of noise (ending in a lone AA) before the frame
        BadChecksum, // a wrong non-zero checksum
        BadHeader,   // a wrong header check
        Split,       // cut at the arg offsets, each piece written on its own after a pause
        Glue,        // held back and written together with the next frame of the connection
        Short,       // payload cut to arg bytes, header and checksum consistent
        AbsurdLength,// the header announces arg bytes (default 0x7FFFFFF0), consistently checked
        Disconnect,  // the first arg bytes (default half the frame) are written, then the socket closes
        Refuse       // no frame: the port (on=) stops listening while the rule is in the plan
    };

    static constexpr int AnyPort = -1;
    static constexpr int AnyDataPort = -2;

    uint32_t id = 0;     // 0 = any message
    qint64 sub = -1;     // notification sub-code (low part), -1 = any
    int port = AnyPort;  // SimPort offset, AnyPort or AnyDataPort
    int nth = 1;         // the n-th matching frame, 0 = every one
    Kind kind = Drop;
    QList<qint64> args;

    // The rule of one script line; false with a message for a line that cannot be read.
    static bool parse(const QString &line, SimFault *fault, QString *error);
    bool matches(int framePort, uint32_t frameId, uint32_t frameSub) const;
    // The rule names this port (directly, as any data port or as any port).
    bool onPort(int simPort) const;
    qint64 arg(int index, qint64 fallback) const { return index < args.size() ? args[index] : fallback; }
    QString describe() const;
    static QString kindName(Kind kind);
    // Message names as the script writes them: NOTIFY, MACHINE_STATUS, TRANSFORM_DATA, ...
    static uint32_t idForName(const QString &name);
    static QString nameForId(uint32_t id);
};

#endif // SIMFAULT_H
