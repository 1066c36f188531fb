#ifndef ENVELOPECURVE_H
#define ENVELOPECURVE_H

#include <QPolygonF>
#include <qwt_plot_curve.h>

class PageSeriesData;
class QwtScaleMap;

// A line curve over a page of evenly spaced samples that, when the page has more samples than
// the canvas has pixel columns, draws per column the first, lowest, highest and last sample, so
// a spike of one sample always shows and a long page costs a few thousand line segments.
class EnvelopeCurve : public QwtPlotCurve
{
public:
    EnvelopeCurve();

    // Canvas points of samples from to to, reduced per pixel column.
    static QPolygonF columnEnvelope(const PageSeriesData &page, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                    int from, int to);

protected:
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap, const QRectF &canvasRect,
                   int from, int to) const override;
};

#endif // ENVELOPECURVE_H
