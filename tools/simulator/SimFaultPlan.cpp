#include "tools/simulator/SimFaultPlan.h"

#include <QStringList>

void SimFaultPlan::add(const SimFault &fault)
{
    rules.append({fault, 0});
}

void SimFaultPlan::clear()
{
    rules.clear();
}

bool SimFaultPlan::load(const QString &script, QString *error)
{
    const QStringList lines = script.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section('#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        SimFault fault;
        QString why;
        if (!SimFault::parse(line, &fault, &why)) {
            *error = QString("line %1: %2").arg(i + 1).arg(why);
            return false;
        }
        add(fault);
    }
    return true;
}

bool SimFaultPlan::take(int port, uint32_t id, uint32_t sub, SimFault *fault)
{
    bool found = false;
    for (Rule &rule : rules) {
        if (rule.fault.kind == SimFault::Refuse || !rule.fault.matches(port, id, sub))
            continue;
        ++rule.seen;
        const bool fires = rule.fault.nth == 0 || rule.seen == rule.fault.nth;
        if (fires && !found) {
            *fault = rule.fault;
            found = true;
        }
    }
    return found;
}

bool SimFaultPlan::refuses(int port) const
{
    for (const Rule &rule : rules) {
        if (rule.fault.kind == SimFault::Refuse && rule.fault.onPort(port))
            return true;
    }
    return false;
}
