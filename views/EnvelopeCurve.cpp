#include "views/EnvelopeCurve.h"

#include "views/PageSeriesData.h"

#include <algorithm>
#include <cmath>
#include <qwt_painter.h>
#include <qwt_scale_map.h>

EnvelopeCurve::EnvelopeCurve()
{
    setStyle(QwtPlotCurve::Lines);
}

QPolygonF EnvelopeCurve::columnEnvelope(const PageSeriesData &page, const QwtScaleMap &xMap,
                                        const QwtScaleMap &yMap, int from, int to)
{
    QPolygonF polygon;
    if (to <= from)
        return polygon;
    // Evenly spaced samples lie evenly spaced on the canvas: sample i at x0 + i * dx.
    const double x0 = xMap.transform(page.sample(from).x());
    const double dx = (xMap.transform(page.sample(to).x()) - x0) / (to - from);
    const double *y = page.yValues().constData();
    int i = from;
    while (i <= to) {
        const double column = std::floor(x0 + (i - from) * dx);
        // The last sample left of the next column; never behind i, so every pass moves on.
        const double end = std::ceil((column + 1 - x0) / dx) - 1 + from;
        const int j = int(qBound(double(i), end, double(to)));
        const auto range = std::minmax_element(y + i, y + j + 1);
        polygon << QPointF(x0 + (i - from) * dx, yMap.transform(y[i]))
                << QPointF(column, yMap.transform(*range.first)) << QPointF(column, yMap.transform(*range.second))
                << QPointF(x0 + (j - from) * dx, yMap.transform(y[j]));
        i = j + 1;
    }
    return polygon;
}

void EnvelopeCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                              const QRectF &canvasRect, int from, int to) const
{
    const auto *page = dynamic_cast<const PageSeriesData *>(data());
    const bool ascending = xMap.p2() > xMap.p1() && xMap.s2() > xMap.s1();
    // Below four samples per column the reduction would draw as many points as it saves.
    if (!page || !ascending || to - from + 1 <= 4 * canvasRect.width()) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    QwtPainter::drawPolyline(painter, columnEnvelope(*page, xMap, yMap, from, to));
}
