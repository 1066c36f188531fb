// Checks made before an operation changes anything: station numbers that name their folders,
// and temporary files that can still be read.
#include "projectdata/DataModel_Index.h"

#include "projectdata/ChannelFileName.h"
#include "projectdata/RunSplitter.h"
#include "projectdata/StationNumberText.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The piece's flag of the channel tag (0 Hx, 1 Hy, 2 E0, 3 E1, 4 E2).
void clearChannelFlag(CtrlParam &param, int tag)
{
    bool *flags[] = {&param.HxChannelIsUse, &param.HyChannelIsUse, &param.E0ChannelIsUse, &param.E1ChannelIsUse,
                     &param.E2ChannelIsUse};
    if (tag >= 0 && tag < 5)
        *flags[tag] = false;
}

bool isReadable(const QFile *file)
{
    QFile source(file->fileName());
    return source.open(QIODevice::ReadOnly);
}

// Keeps the piece's files that can still be read; the names of the others go to skipped and
// their channels no longer count as recorded.
void keepReadableFiles(SampleInfo &piece, QStringList &skipped)
{
    QList<QFile *> files;
    for (QFile *file : qAsConst(piece.channelFiles)) {
        if (isReadable(file)) {
            files.append(file);
            continue;
        }
        const QString name = QFileInfo(file->fileName()).fileName();
        if (!skipped.contains(name))
            skipped.append(name);
        clearChannelFlag(piece.ctrlParam, ChannelFileName::channelTag(name));
    }
    piece.channelFiles = files;
}

} // namespace

// Every station a save writes to must name a folder of its own and have nothing running on it.
bool DataModel_Index::checkPieceStations(const StationSampleInfo &record, const QList<RunPiece> &pieces,
                                         QString *reason)
{
    QList<double> stations{record.StationNum};
    for (const RunPiece &piece : pieces) {
        if (!stations.contains(piece.info.StationNum))
            stations.append(piece.info.StationNum);
    }
    for (double station : qAsConst(stations)) {
        QString refusal = stationNumberRefusal(record.LineNum, station, station);
        if (refusal.isEmpty())
            refusal = operations.conflict(StationOperations::Save, record.LineNum, station);
        if (!refusal.isEmpty()) {
            if (reason)
                *reason = refusal;
            return false;
        }
    }
    return true;
}

// Why the station number cannot name a folder of the line: its text reads back as another
// number, or its folder belongs to another station. Empty when it can.
QString DataModel_Index::stationNumberRefusal(int line, double station, double leaving)
{
    if (!StationNumberText::printsExactly(station))
        return tr("点号%1超过6位有效数字，文件夹和文件名只能写成%2，会与其他点号混淆，不能使用！")
            .arg(StationNumberText::fullText(station), StationNumberText::text(station));
    return sharedFolderRefusal(line, station, leaving);
}

// A stored station of the line, other than the station itself and leaving, that writes the same text.
QString DataModel_Index::sharedFolderRefusal(int line, double station, double leaving)
{
    const QString text = StationNumberText::text(station);
    HORM_Collection<Data_Station> *stations = stationsOfLineNumber(line);
    for (int i = 0; stations && i < stations->count(); ++i) {
        HORM_CollectionItem<Data_Station> other = stations->at(i);
        const double number = other.isNull() ? station : other.object->getStationNum();
        if (number != station && number != leaving && StationNumberText::text(number) == text)
            return tr("点号%1的文件夹“Station %2”已属于点号%3，不能使用！")
                .arg(StationNumberText::fullText(station), text, StationNumberText::fullText(number));
    }
    return QString();
}

// A station keeps its folder through a rename only when no other station shares it, and the new
// number must name a folder of its own.
QString DataModel_Index::stationRenameRefusal(int line, double oldNumber, double newNumber)
{
    const QString shared = sharedFolderRefusal(line, oldNumber, oldNumber);
    if (!shared.isEmpty())
        return tr("点号%1的文件夹与其他点号共用，不能改名：\n%2").arg(StationNumberText::fullText(oldNumber), shared);
    return stationNumberRefusal(line, newNumber, oldNumber);
}

// Drops the channel files that can no longer be read (a block that was not written, a file
// deleted since) and the pieces left without files, telling the operator; false when nothing is left.
bool DataModel_Index::keepReadablePieces(QList<RunPiece> &pieces, QString *reason)
{
    QList<RunPiece> readable;
    QStringList skipped;
    for (RunPiece piece : pieces) {
        keepReadableFiles(piece.info, skipped);
        if (!piece.info.channelFiles.isEmpty())
            readable.append(piece);
    }
    if (!skipped.isEmpty())
        emit snackMessage(tr("以下临时文件无法读取，没有保存：\n%1").arg(skipped.join(QLatin1Char('\n'))));
    if (readable.isEmpty() && !pieces.isEmpty()) {
        if (reason)
            *reason = tr("临时文件都无法读取，没有可保存的数据");
        return false;
    }
    pieces = readable;
    return true;
}

// A path that no listed recording holds: a group index met again at the same rate takes a copy number.
QString DataModel_Index::tempFilePath(const SampleInfo &block, const QString &channelName, int groupIndex) const
{
    for (int copy = 0;; ++copy) {
        const QString path =
            tempFileDir() + QLatin1Char('/') + ChannelFileName::tempName(block, channelName, groupIndex, copy);
        if (!isListedTempFile(path))
            return path;
    }
}

bool DataModel_Index::isListedTempFile(const QString &path) const
{
    for (int i = 0; i < tempSampleList.size(); ++i) {
        for (const QFile *file : tempSampleList.at(i).channelFiles) {
            if (file->fileName() == path)
                return true;
        }
    }
    return false;
}
