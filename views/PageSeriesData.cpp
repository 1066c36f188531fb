#include "views/PageSeriesData.h"

#include <algorithm>

PageSeriesData::PageSeriesData(int first, int rate, const QVector<double> &values)
    : first(first), rate(rate > 0 ? rate : 1), values(values)
{
    if (values.isEmpty())
        return;
    const auto range = std::minmax_element(values.cbegin(), values.cend());
    low = *range.first;
    high = *range.second;
}

size_t PageSeriesData::size() const
{
    return size_t(values.size());
}

QPointF PageSeriesData::sample(size_t i) const
{
    return QPointF(xOf(i), values.at(int(i)));
}

QRectF PageSeriesData::boundingRect() const
{
    if (values.isEmpty())
        return QRectF(1.0, 1.0, -2.0, -2.0); // Qwt's invalid rectangle
    return QRectF(xOf(0), low, xOf(size() - 1) - xOf(0), high - low);
}
