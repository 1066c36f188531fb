#ifndef CROSSPOWERSUMS_H
#define CROSSPOWERSUMS_H

#include "LibCagniard/CrossSpectrumPoint.h"

#include <QVector>

#include <vector>

// Running sums of each bin's cross powers over the windows of a recording, for their mean. Flat
// storage: a recording adds tens of windows of thousands of bins.
class CrossPowerSums
{
public:
    explicit CrossPowerSums(const QVector<double> &frequencies);

    int binCount() const { return int(sums.size()); }
    void add(int bin, const CrossPowers &powers);
    // A bin that lacks its powers in some window has no mean.
    void drop(int bin);
    // The sums divided by windowCount; dropped bins have no powers.
    QVector<CrossSpectrumPoint> mean(int windowCount) const;

private:
    struct BinSum
    {
        double frequency = 0.0;
        bool dropped = false;
        CrossPowers powers = {};
    };
    std::vector<BinSum> sums;
};

#endif // CROSSPOWERSUMS_H
