#ifndef SIMFAULTPLAN_H
#define SIMFAULTPLAN_H

#include "tools/simulator/SimFault.h"

#include <QList>
#include <QString>

// The scripted faults and how often each rule has matched. Every rule counts each frame it
// matches; a frame takes the first rule whose count reaches its nth (or that hits every frame).
class SimFaultPlan
{
public:
    void add(const SimFault &fault);
    // Reads a script (one rule a line, '#' starts a comment); false with "line N: ..." on error.
    bool load(const QString &script, QString *error);
    void clear();
    bool isEmpty() const { return rules.isEmpty(); }
    // The fault for a frame about to be sent; false when it goes out clean. Refusals take no frame.
    bool take(int port, uint32_t id, uint32_t sub, SimFault *fault);
    // A refuse rule names the port: it is not to listen.
    bool refuses(int port) const;

private:
    struct Rule
    {
        SimFault fault;
        int seen = 0;
    };
    QList<Rule> rules;
};

#endif // SIMFAULTPLAN_H
