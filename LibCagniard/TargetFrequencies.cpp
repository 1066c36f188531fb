#include "LibCagniard/LibCagniard.h"
#include "LibCagniard/TargetFrequencies.h"

#include <algorithm>
#include <iterator>

namespace
{

// Logarithmic tables, 10^(k/n) to three significant digits, written out as decimals: the
// power-line repair matches its frequencies against them by exact equality.
// The 24th value is 248, not 251.
const double targetTable0[] = {
    1.26, 1.58, 2, 2.51, 3.16, 3.98, 5.01, 6.31, 7.94, 10,
    12.6, 15.8, 20, 25.1, 31.6, 39.8, 50.1, 63.1, 79.4, 100,
    126, 158, 200, 248, 316, 398, 501, 631, 794, 1000,
    1260, 1580, 2000, 2510, 3160, 3980, 5010, 6310, 7940, 10000,
    12600, 15800, 20000, 25100, 31600, 39800, 50100, 63100, 79400, 100000
};
const double targetTable1[] = {
    1.21, 1.47, 1.78, 2.15, 2.61, 3.16, 3.83, 4.64, 5.62, 6.81, 8.25, 10,
    12.1, 14.7, 17.8, 21.5, 26.1, 31.6, 38.3, 46.4, 56.2, 68.1, 82.5, 100,
    121, 147, 178, 215, 261, 316, 383, 464, 562, 681, 825, 1000,
    1210, 1470, 1780, 2150, 2610, 3160, 3830, 4640, 5620, 6810, 8250, 10000,
    12100, 14700, 17800, 21500, 26100, 31600, 38300, 46400, 56200, 68100, 82500, 100000
};
const double targetTable2[] = {
    1.17, 1.36, 1.58, 1.85, 2.15, 2.51, 2.93, 3.41, 3.98, 4.64, 5.41, 6.31, 7.36, 8.58, 10,
    11.7, 13.6, 15.8, 18.5, 21.5, 25.1, 29.3, 34.1, 39.8, 46.4, 54.1, 63.1, 73.6, 85.8, 100,
    117, 136, 158, 185, 215, 251, 293, 341, 398, 464, 541, 631, 736, 858, 1000,
    1170, 1360, 1580, 1850, 2150, 2510, 2930, 3410, 3980, 4640, 5410, 6310, 7360, 8580, 10000,
    11700, 13600, 15800, 18500, 21500, 25100, 29300, 34100, 39800, 46400, 54100, 63100, 73600, 85800, 100000
};
const double targetTable3[] = {
    1.12, 1.26, 1.41, 1.58, 1.78, 2, 2.24, 2.51, 2.82, 3.16, 3.55, 3.98, 4.47, 5.01, 5.62, 6.31, 7.08, 7.94, 8.91, 10,
    11.2, 12.6, 14.1, 15.8, 17.8, 20, 22.4, 25.1, 28.2, 31.6, 35.5, 39.8, 44.7, 50.1, 56.2, 63.1, 70.8, 79.4, 89.1, 100,
    112, 126, 141, 158, 178, 200, 224, 251, 282, 316, 355, 398, 447, 501, 562, 631, 708, 794, 891, 1000,
    1120, 1260, 1410, 1580, 1780, 2000, 2240, 2510, 2820, 3160, 3550, 3980, 4470, 5010, 5620, 6310, 7080, 7940, 8910, 10000,
    11200, 12600, 14100, 15800, 17800, 20000, 22400, 25100, 28200, 31600, 35500, 39800, 44700, 50100, 56200, 63100, 70800, 79400, 89100, 100000
};

// Per table: the frequencies near 50 and 60 Hz, then near 150 and 180 Hz.
const double repairList0[] = {39.8, 50.1, 63.1, 126, 158, 200};
const double repairList1[] = {38.3, 46.4, 56.2, 68.1, 121, 147, 178, 215};
const double repairList2[] = {39.8, 46.4, 54.1, 63.1, 136, 158, 185, 215};
const double repairList3[] = {39.8, 44.7, 50.1, 56.2, 63.1, 126, 141, 158, 178, 200};

struct TargetTable
{
    const double *begin;
    const double *end;
    const double *repairBegin;
    const double *repairEnd;
};

const TargetTable targetTables[] = {
    {std::begin(targetTable0), std::end(targetTable0), std::begin(repairList0), std::end(repairList0)},
    {std::begin(targetTable1), std::end(targetTable1), std::begin(repairList1), std::end(repairList1)},
    {std::begin(targetTable2), std::end(targetTable2), std::begin(repairList2), std::end(repairList2)},
    {std::begin(targetTable3), std::end(targetTable3), std::begin(repairList3), std::end(repairList3)},
};

QList<double> valuesWithin(const double *begin, const double *end, double fmin, double fmax)
{
    QList<double> values;
    std::copy_if(begin, end, std::back_inserter(values), [=](double f) { return fmin <= f && f <= fmax; });
    return values;
}

} // namespace

FrequencyBand analysisBand(double sampleRate, int windowLength)
{
    const double r = sampleRate;
    if (r > 50000 && r < 200000)
        return {std::max(32 * r / windowLength, 500.0), 10000};
    if (r > 500 && r < 4096)
        return {10, std::min(r / 2, 1000.0)};
    if (r <= 50000)
        return {r / windowLength, r / 2};
    if (r < 400000)
        return {4000, r / 2};
    return {10000, r / 2};
}

QList<double> LibCagniard::targetFrequencies(double fmin, double fmax, int tableType)
{
    if (tableType < 0 || tableType >= int(std::size(targetTables)))
        return {};
    const TargetTable &table = targetTables[tableType];
    repairFrequencies.clear();
    std::copy(table.repairBegin, table.repairEnd, std::back_inserter(repairFrequencies));
    return valuesWithin(table.begin, table.end, fmin, fmax);
}

QList<double> LibCagniard::fixedTargetFrequencies(double fmin, double fmax)
{
    return valuesWithin(std::begin(targetTable0), std::end(targetTable0), fmin, fmax);
}
