#include "views/ThinnedScaleDraw.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <qwt_plot.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <algorithm>

namespace {

// Major ticks within the scale, lowest value first.
QList<double> majorTicks(const QwtScaleDraw *draw)
{
    const QwtScaleDiv &div = draw->scaleDiv();
    QList<double> ticks;
    for (double value : div.ticks(QwtScaleDiv::MajorTick)) {
        if (div.contains(value))
            ticks << value;
    }
    std::sort(ticks.begin(), ticks.end());
    return ticks;
}

int blankWidth(const QwtScaleDraw *draw, const QFont &font, double value)
{
    return QFontMetrics(draw->label(value).usedFont(font)).horizontalAdvance(QLatin1Char(' '));
}

// The label's rectangle without the blanks its text begins and ends with, which are room too.
QRect textRect(const QwtScaleDraw *draw, const QFont &font, double value)
{
    const QRect rect = draw->boundingLabelRect(font, value);
    if (draw->orientation() != Qt::Horizontal)
        return rect;
    const QString text = draw->label(value).text();
    const int leading = text.size() - QString(text).remove(QRegularExpression("^ +")).size();
    const int trailing = text.size() - QString(text).remove(QRegularExpression(" +$")).size();
    const int blank = blankWidth(draw, font, value);
    return rect.adjusted(leading * blank, 0, -trailing * blank, 0);
}

// Free pixels between the texts of two labels along the scale.
int labelGap(const QwtScaleDraw *draw, const QFont &font, double a, double b)
{
    const QRect first = textRect(draw, font, a);
    const QRect second = textRect(draw, font, b);
    if (draw->orientation() == Qt::Horizontal)
        return qMax(second.left() - first.right(), first.left() - second.right()) - 1;
    return qMax(second.top() - first.bottom(), first.top() - second.bottom()) - 1;
}

// The room two labels want between them: a blank in the larger of their fonts.
int wantedGap(const QwtScaleDraw *draw, const QFont &font, double a, double b)
{
    return qMax(blankWidth(draw, font, a), blankWidth(draw, font, b));
}

bool clearOfEachOther(const QwtScaleDraw *draw, const QFont &font, double a, double b)
{
    return labelGap(draw, font, a, b) >= wantedGap(draw, font, a, b);
}

QList<double> everyNth(const QList<double> &values, int stride)
{
    QList<double> picked;
    for (int i = 0; i < values.size(); i += stride)
        picked << values.at(i);
    return picked;
}

bool allClear(const QwtScaleDraw *draw, const QFont &font, const QList<double> &labels)
{
    for (int i = 1; i < labels.size(); ++i) {
        if (!clearOfEachOther(draw, font, labels.at(i - 1), labels.at(i)))
            return false;
    }
    return true;
}

bool labelsDrawn(const QwtPlot *plot, int axis)
{
    return plot->axisEnabled(axis) && plot->axisScaleDraw(axis)->hasComponent(QwtAbstractScaleDraw::Labels);
}

QList<double> labelsOnAxis(const QwtPlot *plot, int axis)
{
    const QwtScaleDraw *draw = plot->axisScaleDraw(axis);
    const auto *thinned = dynamic_cast<const ThinnedScaleDraw *>(draw);
    return thinned ? thinned->drawnLabels(plot->axisWidget(axis)->font()) : majorTicks(draw);
}

QStringList crowdedOnAxis(const QwtPlot *plot, int axis)
{
    const QwtScaleDraw *draw = plot->axisScaleDraw(axis);
    const QFont font = plot->axisWidget(axis)->font();
    const QList<double> labels = labelsOnAxis(plot, axis);
    QStringList crowded;
    for (int i = 1; i < labels.size(); ++i) {
        const double a = labels.at(i - 1);
        const double b = labels.at(i);
        const int gap = labelGap(draw, font, a, b);
        if (gap >= wantedGap(draw, font, a, b))
            continue;
        crowded << QString("axis %1: %2 | %3 (%4 px)")
                       .arg(axis)
                       .arg(draw->label(a).text().trimmed(), draw->label(b).text().trimmed())
                       .arg(gap);
    }
    return crowded;
}

} // namespace

QList<double> ThinnedScaleDraw::drawnLabels(const QFont &font) const
{
    const QList<double> ticks = majorTicks(this);
    for (int stride = 1; stride < ticks.size(); ++stride) {
        const QList<double> labels = everyNth(ticks, stride);
        if (allClear(this, font, labels))
            return labels;
    }
    return ticks.mid(0, 1);
}

QStringList ThinnedScaleDraw::crowdedLabels(const QwtPlot *plot)
{
    QStringList crowded;
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        if (labelsDrawn(plot, axis))
            crowded << crowdedOnAxis(plot, axis);
    }
    return crowded;
}

QList<ThinnedScaleDraw::DrawnLabel> ThinnedScaleDraw::drawnLabelsOf(const QwtPlot *plot)
{
    QList<DrawnLabel> drawn;
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        if (!labelsDrawn(plot, axis))
            continue;
        const QwtScaleDraw *draw = plot->axisScaleDraw(axis);
        const QwtScaleWidget *widget = plot->axisWidget(axis);
        for (double value : labelsOnAxis(plot, axis)) {
            const QRect rect = textRect(draw, widget->font(), value).translated(widget->pos());
            drawn << DrawnLabel{draw->label(value).text().trimmed(), rect, blankWidth(draw, widget->font(), value)};
        }
    }
    return drawn;
}

int ThinnedScaleDraw::labelBlank(const QwtPlot *plot, int axis)
{
    if (!labelsDrawn(plot, axis))
        return 0;
    const QwtScaleDraw *draw = plot->axisScaleDraw(axis);
    int widest = 0;
    for (double value : majorTicks(draw))
        widest = qMax(widest, blankWidth(draw, plot->axisWidget(axis)->font(), value));
    return widest;
}

void ThinnedScaleDraw::drawLabel(QPainter *painter, double value) const
{
    if (drawnLabels(painter->font()).contains(value))
        QwtScaleDraw::drawLabel(painter, value);
}
