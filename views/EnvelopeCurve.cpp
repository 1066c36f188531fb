#include "views/EnvelopeCurve.h"

#include <cmath>
#include <qwt_painter.h>
#include <qwt_scale_map.h>

namespace {

// One pixel column's first, lowest, highest and last canvas y.
struct Column
{
    double x = 0;
    double first = 0;
    double low = 0;
    double high = 0;
    double last = 0;
    double lastX = 0;

    void start(double px, double py)
    {
        x = px;
        lastX = px;
        first = low = high = last = py;
    }
    void add(double px, double py)
    {
        low = qMin(low, py);
        high = qMax(high, py);
        last = py;
        lastX = px;
    }
    void appendTo(QPolygonF &polygon) const
    {
        polygon << QPointF(x, first) << QPointF(x, low) << QPointF(x, high) << QPointF(lastX, last);
    }
};

} // namespace

EnvelopeCurve::EnvelopeCurve()
{
    setStyle(QwtPlotCurve::Lines);
}

QPolygonF EnvelopeCurve::columnEnvelope(const QwtSeriesData<QPointF> &samples, const QwtScaleMap &xMap,
                                        const QwtScaleMap &yMap, int from, int to)
{
    QPolygonF polygon;
    if (to < from)
        return polygon;
    Column column;
    const QPointF head = samples.sample(from);
    column.start(xMap.transform(head.x()), yMap.transform(head.y()));
    double columnIndex = std::floor(column.x);
    for (int i = from + 1; i <= to; ++i) {
        const QPointF point = samples.sample(i);
        const double px = xMap.transform(point.x());
        const double py = yMap.transform(point.y());
        if (std::floor(px) == columnIndex) {
            column.add(px, py);
            continue;
        }
        column.appendTo(polygon);
        column.start(px, py);
        columnIndex = std::floor(px);
    }
    column.appendTo(polygon);
    return polygon;
}

void EnvelopeCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                              const QRectF &canvasRect, int from, int to) const
{
    // Below four points per column the reduction would draw as many points as it saves.
    if (to - from + 1 <= 4 * canvasRect.width()) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    QwtPainter::drawPolyline(painter, columnEnvelope(*data(), xMap, yMap, from, to));
}
