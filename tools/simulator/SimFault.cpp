#include "tools/simulator/SimFault.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimJournal.h"

#include <QStringList>

namespace {

struct NamedId
{
    const char *name;
    uint32_t id;
};

const NamedId messageNames[] = {
    {"NOTIFY", AMT_NOTIFY},
    {"PROJECT_CONFIG", AMT_CMD_PROJECT_CONFIG},
    {"SAMPLE_START", AMT_CMD_SAMPLE_START},
    {"SAMPLE_STOP", AMT_CMD_SAMPLE_STOP},
    {"ADJUST_TIME", AMT_CMD_ADJUST_TIME},
    {"TRANSFORM_DATA", AMT_CMD_TRANSFORM_DATA},
    {"SELF_CHECK", AMT_CMD_SELF_CHECK},
    {"MACHINE_STATUS", AMT_CMD_MACHINE_STATUS},
    {"DISK_SPACE_FILE", AMT_CMD_DISK_SPACE_FILE},
    {"DATA_DELETE", AMT_CMD_DATA_DELETE},
    {"EXPORT_DATA", AMT_CMD_EXPORT_DATA},
    {"RESTART", AMT_CMD_RESTART},
    {"ERROR_CODE", AMT_CMD_ERROR_CODE},
    {"UNSAVE_DATA", AMT_CMD_UNSAVE_DATA},
    {"SAMPLE_GROUPS_NUM", AMT_CMD_SAMPLE_GROUPS_NUM},
    {"ERROR_FLAG_CLEAR", AMT_CMD_ERROR_FLAG_CLEAR},
    {"SYSTEM_INFO", AMT_CMD_SYSTEM_INFO},
    {"STRING", AMT_CMD_STRING},
    {"SDCARD_FORMAT", AMT_CMD_SDCARD_FORMAT},
    {"EXPORT_LOG", AMT_CMD_EXPORT_LOG},
    {"POWER_OFF", AMT_CMD_POWER_OFF},
};

const char *const kindNames[] = {"drop",  "delay", "duplicate", "garbage", "badchecksum", "badheader",
                                 "split", "glue",  "short",     "absurd",  "disconnect", "refuse"};

bool parseNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok);
    return ok;
}

bool parsePort(const QString &text, int *port)
{
    if (text == "any")
        *port = SimFault::AnyPort;
    else if (text == "control")
        *port = SimControlPort;
    else if (text == "log")
        *port = SimLogPort;
    else if (text == "data")
        *port = SimFault::AnyDataPort;
    else if (text.size() == 5 && text.startsWith("data") && text[4] >= '0' && text[4] <= '4')
        *port = SimFirstDataPort + (text[4].unicode() - '0');
    else
        return false;
    return true;
}

bool parseKind(const QString &text, SimFault::Kind *kind)
{
    for (int k = 0; k <= SimFault::Refuse; ++k) {
        if (text == kindNames[k]) {
            *kind = SimFault::Kind(k);
            return true;
        }
    }
    return false;
}

} // namespace

uint32_t SimFault::idForName(const QString &name)
{
    for (const NamedId &n : messageNames)
        if (name == n.name)
            return n.id;
    qint64 value = 0;
    if (parseNumber(name, &value) && (uint32_t(value) & 0xFFFF0000u) == AMT_SUBCODE_PREFIX)
        return uint32_t(value);
    return 0;
}

QString SimFault::nameForId(uint32_t id)
{
    for (const NamedId &n : messageNames)
        if (id == n.id)
            return n.name;
    return QString("0x%1").arg(id, 8, 16, QChar('0'));
}

QString SimFault::kindName(Kind kind)
{
    return kindNames[kind];
}

bool SimFault::parse(const QString &line, SimFault *fault, QString *error)
{
    SimFault rule;
    bool haveKind = false;
    for (const QString &word : line.split(' ', Qt::SkipEmptyParts)) {
        const int eq = word.indexOf('=');
        const QString key = word.left(eq);
        const QString value = eq < 0 ? QString() : word.mid(eq + 1);
        bool ok = true;
        if (key == "msg") {
            rule.id = idForName(value);
            ok = rule.id != 0;
        } else if (key == "sub") {
            ok = parseNumber(value, &rule.sub);
            rule.sub &= 0xFFFF;
        } else if (key == "on") {
            ok = parsePort(value, &rule.port);
        } else if (key == "nth") {
            qint64 n = 0;
            ok = value == "all" || (parseNumber(value, &n) && n > 0);
            rule.nth = value == "all" ? 0 : int(n);
        } else if (key == "fault") {
            ok = haveKind = parseKind(value, &rule.kind);
        } else if (key == "arg") {
            for (const QString &a : value.split(',', Qt::SkipEmptyParts)) {
                qint64 n = 0;
                ok = ok && parseNumber(a, &n) && n >= 0;
                rule.args.append(n);
            }
        } else {
            ok = false;
        }
        if (!ok) {
            *error = QString("cannot read \"%1\"").arg(word);
            return false;
        }
    }
    if (!haveKind) {
        *error = "no fault= given";
        return false;
    }
    *fault = rule;
    return true;
}

bool SimFault::matches(int framePort, uint32_t frameId, uint32_t frameSub) const
{
    if (id != 0 && id != frameId)
        return false;
    if (sub >= 0 && (frameId != AMT_NOTIFY || (frameSub & 0xFFFF) != uint32_t(sub)))
        return false;
    return onPort(framePort);
}

bool SimFault::onPort(int simPort) const
{
    if (port == AnyDataPort)
        return simPort >= SimFirstDataPort && simPort < SimLogPort;
    return port == AnyPort || port == simPort;
}

QString SimFault::describe() const
{
    QStringList a;
    for (qint64 v : args)
        a.append(QString::number(v));
    return a.isEmpty() ? kindName(kind) : kindName(kind) + "(" + a.join(',') + ")";
}
