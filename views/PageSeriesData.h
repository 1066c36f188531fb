#ifndef PAGESERIESDATA_H
#define PAGESERIESDATA_H

#include <QVector>
#include <qwt_series_data.h>

// One page of a channel: sample k of the page at (first + k) / rate seconds. The x values are
// computed, not stored, and the bounding rectangle is known from the start, so a page of a long
// recording costs one array.
class PageSeriesData : public QwtSeriesData<QPointF>
{
public:
    PageSeriesData(int first, int rate, const QVector<double> &values);

    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;

    const QVector<double> &yValues() const { return values; }
    double lowest() const { return low; }
    double highest() const { return high; }

private:
    double xOf(size_t i) const { return double(first + int(i)) / rate; }

    int first = 0;
    int rate = 1;
    QVector<double> values;
    double low = 0;
    double high = 0;
};

#endif // PAGESERIESDATA_H
