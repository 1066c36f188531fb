#include "projectdata/StationConfigFile.h"

#include <QFile>

namespace {

const QByteArray lineEnd("\r\n");
constexpr int stationLine = 1;
constexpr int firstRecordingLine = 3;

QStringList fileLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// The file's lines without their ends; false when it cannot be read.
bool readLines(const QString &path, QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines = fileLines(file.readAll());
    return true;
}

bool carriesNumber(const QStringList &cells, int number)
{
    return !cells.isEmpty() && cells.first() == QString::number(number);
}

QStringList recordingCells(const QStringList &lines, int number)
{
    const int at = number + 2;
    if (at >= firstRecordingLine && at < lines.size()) {
        const QStringList cells = StationConfigRow::tokens(lines.at(at));
        if (carriesNumber(cells, number))
            return cells;
    }
    for (int i = firstRecordingLine; i < lines.size(); ++i) {
        const QStringList cells = StationConfigRow::tokens(lines.at(i));
        if (carriesNumber(cells, number))
            return cells;
    }
    return {};
}

bool writeAll(QFile &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

QByteArray leadingLines(const StationConfigRow::StationFields &station, const SampleInfo &recording)
{
    return StationConfigRow::stationHeader().toUtf8() + lineEnd + StationConfigRow::stationRow(station, recording).toUtf8()
           + lineEnd + StationConfigRow::recordingHeader().toUtf8() + lineEnd;
}

// Rows are numbered from 1 after the three leading lines; a last line without its end counts.
int nextRowNumber(const QByteArray &existing)
{
    const int lines = existing.count('\n') + (existing.endsWith('\n') ? 0 : 1);
    return lines - 2;
}

} // namespace

namespace StationConfigFile {

bool append(const QString &path, const StationConfigRow::StationFields &station, const SampleInfo &recording,
            int number)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray existing = file.readAll();
    QByteArray bytes;
    if (existing.isEmpty())
        bytes = leadingLines(station, recording);
    else if (!existing.endsWith('\n'))
        bytes = lineEnd;
    const int next = existing.isEmpty() ? 1 : nextRowNumber(existing);
    if (next != number)
        return false;
    bytes += StationConfigRow::recordingRow(number, recording).toUtf8() + lineEnd;
    return file.seek(file.size()) && writeAll(file, bytes);
}

bool read(const QString &path, int number, QStringList &stationCells, QStringList &recordingRowCells)
{
    QStringList lines;
    if (!readLines(path, lines))
        return false;
    stationCells = lines.size() > stationLine ? StationConfigRow::tokens(lines.at(stationLine)) : QStringList();
    recordingRowCells = recordingCells(lines, number);
    return true;
}

bool recordingRows(const QString &path, QList<QStringList> &rows)
{
    QStringList lines;
    if (!readLines(path, lines))
        return false;
    for (int i = firstRecordingLine; i < lines.size(); ++i) {
        const QStringList cells = StationConfigRow::tokens(lines.at(i));
        if (!cells.isEmpty())
            rows.append(cells);
    }
    return true;
}

} // namespace StationConfigFile
