#ifndef CALIBRATIONTABLE_H
#define CALIBRATIONTABLE_H

#include "LibCagniard/SpectrumPoint.h"

#include <QList>
#include <QString>

#include <vector>

// A calibration table's values at bins 1 .. windowLength / 2 of a window, in bin order.
struct BinTable
{
    std::vector<double> amplitude;
    std::vector<double> phase; // radians
};

// Sensor table reader: fills table from the text file at path. When the file's own name
// (not its folders) contains "ICMS", each amplitude becomes 1000 * amplitude * frequency.
// False (and an empty table) when the file is missing or unreadable; true otherwise,
// also when no row was kept.
bool readCalibrationTableIcms(QList<SpectrumPoint> &table, const QString &path);

// Gain table reader: the same without the "ICMS" rule.
bool readCalibrationTable(QList<SpectrumPoint> &table, const QString &path);

// The table's linear interpolation at the bin frequencies k * sampleRate / windowLength,
// k = 1 .. windowLength / 2, in flat arrays; bins beyond either end of the table take that end
// row's values. False, with bins empty, when windowLength is not a power of two of at least 8,
// sampleRate is not finite and positive, or the table has fewer than two rows.
bool interpolateAtBins(const QList<SpectrumPoint> &table, int windowLength, double sampleRate, BinTable &bins);

#endif // CALIBRATIONTABLE_H
