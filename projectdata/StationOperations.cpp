#include "projectdata/StationOperations.h"

#include "projectdata/StationNumberText.h"

#include <QCoreApplication>

namespace {

bool compatible(StationOperations::Kind a, StationOperations::Kind b)
{
    using K = StationOperations;
    // An export only reads the channel files it listed when it started.
    if (a == K::Export || b == K::Export) {
        const StationOperations::Kind other = a == K::Export ? b : a;
        return other != K::Rename;
    }
    return false;
}

QString kindText(StationOperations::Kind kind)
{
    static const char *const texts[] = {QT_TRANSLATE_NOOP("StationOperations", "计算阻抗图"),
                                        QT_TRANSLATE_NOOP("StationOperations", "导出浮点数"),
                                        QT_TRANSLATE_NOOP("StationOperations", "修改点线号"),
                                        QT_TRANSLATE_NOOP("StationOperations", "转换阻抗图方向"),
                                        QT_TRANSLATE_NOOP("StationOperations", "保存数据")};
    return QCoreApplication::translate("StationOperations", texts[kind]);
}

} // namespace

quint64 StationOperations::begin(Kind kind, int line, double station, QString *refusal)
{
    return add({0, kind, line, false, station}, refusal);
}

quint64 StationOperations::beginLine(Kind kind, int line, QString *refusal)
{
    return add({0, kind, line, true, 0}, refusal);
}

QString StationOperations::conflict(Kind kind, int line, double station) const
{
    const Entry wanted{0, kind, line, false, station};
    const Entry *runs = conflicting(wanted);
    return runs ? refusalText(wanted, *runs) : QString();
}

quint64 StationOperations::add(const Entry &wanted, QString *refusal)
{
    if (const Entry *runs = conflicting(wanted)) {
        if (refusal)
            *refusal = refusalText(wanted, *runs);
        return 0;
    }
    Entry entry = wanted;
    entry.id = nextId++;
    running.append(entry);
    return entry.id;
}

const StationOperations::Entry *StationOperations::conflicting(const Entry &wanted) const
{
    for (const Entry &entry : running) {
        const bool sameStations =
            entry.line == wanted.line && (entry.wholeLine || wanted.wholeLine || entry.station == wanted.station);
        if (sameStations && !compatible(entry.kind, wanted.kind))
            return &entry;
    }
    return nullptr;
}

QString StationOperations::refusalText(const Entry &wanted, const Entry &runs) const
{
    const QString where = runs.wholeLine
                              ? QCoreApplication::translate("StationOperations", "线%1").arg(runs.line)
                              : QCoreApplication::translate("StationOperations", "线%1点%2")
                                    .arg(runs.line)
                                    .arg(StationNumberText::text(runs.station));
    return QCoreApplication::translate("StationOperations", "%1正在%2，现在不能%3，请稍后再试！")
        .arg(where, kindText(runs.kind), kindText(wanted.kind));
}

void StationOperations::end(quint64 id)
{
    for (int i = 0; i < running.size(); ++i) {
        if (running.at(i).id == id) {
            running.removeAt(i);
            return;
        }
    }
}

void StationOperations::clear()
{
    running.clear();
}
