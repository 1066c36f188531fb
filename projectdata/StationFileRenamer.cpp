#include "projectdata/StationFileRenamer.h"

#include "projectdata/ConfigIniCodec.h"
#include "projectdata/FlushQueue.h"
#include "projectdata/ProjectFolder.h"
#include "projectdata/ProjectJournal.h"
#include "projectdata/StationNumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

const QString configName = QStringLiteral("config.ini");
// Fields of a configuration row: the station row's line and station number, and where the
// recording rows' channel file names start.
constexpr int lineToken = 2;
constexpr int stationToken = 3;
constexpr int firstFileToken = 22;

bool realMove(const QString &from, const QString &to)
{
    return QDir().rename(from, to);
}

StationFileRenamer::MoveFunction moveFunction = realMove;

QStringList tokens(const QString &row)
{
    return row.simplified().split(' ');
}

} // namespace

void StationFileRenamer::setMoveFunction(MoveFunction move)
{
    moveFunction = move ? move : realMove;
}

QString StationFileRenamer::renamedFileName(const QString &name, int line, double station)
{
    QStringList parts = name.split('_');
    for (QString &part : parts) {
        if (part.contains(QLatin1String("Line")))
            part = QStringLiteral("Line") + QString::number(line);
        else if (part.contains(QLatin1String("Station")))
            part = QStringLiteral("Station") + StationNumberText::text(station);
    }
    return parts.join('_');
}

bool StationFileRenamer::rewriteConfigText(const QByteArray &text, int line, double station, QByteArray *out)
{
    const QString eol = text.contains("\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const ConfigIniCodec::Text decoded = ConfigIniCodec::decode(text);
    QStringList rows = decoded.text.split(eol);
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    if (rows.size() < 3)
        return false;
    QStringList stationRow = tokens(rows.at(1));
    if (stationRow.size() <= stationToken)
        return false;
    stationRow[lineToken] = QString::number(line);
    stationRow[stationToken] = StationNumberText::text(station);
    rows[1] = stationRow.join(QStringLiteral("       "));
    for (int r = 3; r < rows.size(); ++r) {
        QStringList cells = tokens(rows.at(r));
        for (int c = firstFileToken; cells.size() > firstFileToken && c < cells.size(); ++c)
            cells[c] = renamedFileName(cells.at(c), line, station);
        rows[r] = cells.join(QStringLiteral("     "));
    }
    *out = ConfigIniCodec::encode(rows.join(eol) + eol, decoded.gbk);
    return true;
}

bool StationFileRenamer::stationNumberOfFolder(const QString &name, double *station)
{
    if (!name.startsWith(QLatin1String("Station ")))
        return false;
    bool ok = false;
    *station = name.mid(8).trimmed().toDouble(&ok);
    return ok;
}

bool StationFileRenamer::refuse(const QString &reason)
{
    failure = reason;
    return false;
}

bool StationFileRenamer::planMove(const QString &from, const QString &to)
{
    if (from == to)
        return true;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return refuse(QObject::tr("%1 已存在").arg(to));
    for (const Move &move : moves) {
        if (move.to == to)
            return refuse(QObject::tr("%1 重名").arg(to));
    }
    moves.append({from, to});
    return true;
}

bool StationFileRenamer::planConfig(const QString &path, const QString &finalPath, int line, double station)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QObject::tr("无法读取 %1").arg(path));
    Rewrite rewrite{finalPath, file.readAll(), QByteArray()};
    if (!rewriteConfigText(rewrite.before, line, station, &rewrite.after))
        return refuse(QObject::tr("%1 格式不正确").arg(path));
    rewrites.append(rewrite);
    return true;
}

bool StationFileRenamer::planStationFiles(const QString &folder, const QString &finalFolder, int line, double station)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name == configName) {
            if (!planConfig(entry.filePath(), finalFolder + '/' + name, line, station))
                return false;
        } else if (name.endsWith(QLatin1String(".ats"))) {
            if (!planMove(entry.filePath(), folder + '/' + renamedFileName(name, line, station)))
                return false;
        }
    }
    return true;
}

bool StationFileRenamer::planFolder(const QString &from, const QString &to)
{
    if (!QFileInfo(from).isDir())
        return refuse(QObject::tr("找不到文件夹 %1").arg(from));
    folders << from << to;
    return planMove(from, to);
}

bool StationFileRenamer::runMoves()
{
    FlushQueue renamed;
    for (; moved < moves.size(); ++moved) {
        const Move &move = moves.at(moved);
        if (!moveFunction(move.from, move.to))
            return refuse(QObject::tr("无法把 %1 改名为 %2：%3").arg(move.from, move.to, qt_error_string(errno)));
        renamed.addEntryOf(move.to);
        ProjectJournal::step("moved");
    }
    // A moved folder's new name is on the disk before anything inside it is rewritten: a power
    // cut must not leave a rewritten config.ini under the folder's old name.
    if (!renamed.flush())
        return refuse(QObject::tr("文件无法写入磁盘"));
    return true;
}

bool StationFileRenamer::runRewrites()
{
    for (; rewritten < rewrites.size(); ++rewritten) {
        const Rewrite &rewrite = rewrites.at(rewritten);
        QString reason;
        if (!ProjectFolder::writeWhole(rewrite.path, rewrite.after, &reason))
            return refuse(QObject::tr("无法写入 %1：%2").arg(rewrite.path, reason));
        ProjectJournal::step("rewritten");
    }
    return true;
}

qint64 StationFileRenamer::bytesToWrite() const
{
    // The journal keeps each old text, the rewrite makes a new copy beside it; a line per move.
    qint64 bytes = 512 * moves.size();
    for (const Rewrite &rewrite : rewrites)
        bytes += rewrite.before.size() + rewrite.after.size();
    return bytes;
}

bool StationFileRenamer::record(ProjectJournal &journal) const
{
    QList<QPair<QString, QString>> planned;
    for (const Move &move : moves)
        planned.append({move.from, move.to});
    if (!journal.noteMoves(planned))
        return false;
    for (const Rewrite &rewrite : rewrites) {
        if (!journal.noteRewrite(rewrite.path, rewrite.before))
            return false;
    }
    return true;
}

void StationFileRenamer::undo()
{
    for (; rewritten > 0; --rewritten)
        ProjectFolder::writeWhole(rewrites.at(rewritten - 1).path, rewrites.at(rewritten - 1).before);
    for (; moved > 0; --moved)
        moveFunction(moves.at(moved - 1).to, moves.at(moved - 1).from);
}

bool StationFileRenamer::apply()
{
    if (!failure.isEmpty() || moved > 0 || rewritten > 0)
        return false;
    if (runMoves() && runRewrites())
        return true;
    undo();
    return false;
}
