#include "projectdata/StationConfigFile.h"

#include "projectdata/ConfigIniCodec.h"

#include <QFile>

namespace {

const QByteArray lineEnd("\r\n");
constexpr int stationLine = 1;
constexpr int firstRecordingLine = 3;

QStringList fileLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
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
    lines = fileLines(ConfigIniCodec::decode(file.readAll()).text);
    return true;
}

bool carriesNumber(const QStringList &cells, int number)
{
    return !cells.isEmpty() && cells.first() == QString::number(number);
}

// The line of the first row carrying the number, or -1.
int lineOfRow(const QStringList &lines, int number)
{
    for (int i = firstRecordingLine; i < lines.size(); ++i) {
        if (carriesNumber(StationConfigRow::tokens(lines.at(i)), number))
            return i;
    }
    return -1;
}

QStringList recordingCells(const QStringList &lines, int number)
{
    const int at = number + 2;
    if (at >= firstRecordingLine && at < lines.size()) {
        const QStringList cells = StationConfigRow::tokens(lines.at(at));
        if (carriesNumber(cells, number))
            return cells;
    }
    const int line = lineOfRow(lines, number);
    return line < 0 ? QStringList() : StationConfigRow::tokens(lines.at(line));
}

bool writeAll(QFile &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

QString leadingLines(const StationConfigRow::StationFields &station, const SampleInfo &recording)
{
    const QString end = QString::fromLatin1(lineEnd);
    return StationConfigRow::stationHeader() + end + StationConfigRow::stationRow(station, recording) + end
           + StationConfigRow::recordingHeader() + end;
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
    const ConfigIniCodec::Text decoded = ConfigIniCodec::decode(existing);
    const QStringList lines = fileLines(decoded.text);
    // Without its leading lines the new row would stand in the station row's place.
    if ((!existing.isEmpty() && lines.size() < firstRecordingLine) || lineOfRow(lines, number) >= 0)
        return false;
    QString text;
    if (existing.isEmpty())
        text = leadingLines(station, recording);
    else if (!existing.endsWith('\n'))
        text = QString::fromLatin1(lineEnd);
    text += StationConfigRow::recordingRow(number, recording) + QString::fromLatin1(lineEnd);
    return file.seek(file.size()) && writeAll(file, ConfigIniCodec::encode(text, decoded.gbk));
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
