#ifndef THINNEDSCALEDRAW_H
#define THINNEDSCALEDRAW_H

#include <QList>
#include <QRect>
#include <QStringList>
#include <qwt_scale_draw.h>

class QwtPlot;

// A scale draw that leaves labels out rather than let two of them touch: at the scale's current
// length it labels every n-th major tick, from the lowest value up, with n the smallest stride
// that keeps at least a blank's width between neighbouring labels. A short axis thus reads
// "1  100  10K" instead of "1101001000".
class ThinnedScaleDraw : public QwtScaleDraw
{
public:
    // A tick label as drawn: its text, the rectangle of its text in the plot's coordinates and
    // the width of a blank in its font.
    struct DrawnLabel
    {
        QString text;
        QRect rect;
        int blank = 0;
    };

    // The major ticks within the scale whose labels are drawn, lowest value first.
    QList<double> drawnLabels(const QFont &font) const;

    // Neighbouring labels drawn on the plot's axes with less than a blank between them, as
    // "axis 2: 100 | 1000 (0 px)"; empty when every label stands clear. An axis with another
    // scale draw is taken to label every major tick.
    static QStringList crowdedLabels(const QwtPlot *plot);

    // Every tick label drawn on the plot's axes.
    static QList<DrawnLabel> drawnLabelsOf(const QwtPlot *plot);

    // The widest blank in the fonts of the labels the axis draws; 0 when it draws none.
    static int labelBlank(const QwtPlot *plot, int axis);

protected:
    void drawLabel(QPainter *painter, double value) const override;
};

#endif // THINNEDSCALEDRAW_H
