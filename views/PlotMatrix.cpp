#include "views/PlotMatrix.h"

#include "views/Plot.h"
#include "views/QwtCompat.h"
#include "views/ThinnedScaleDraw.h"

#include <QGridLayout>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>

namespace {

bool isXAxis(int axis)
{
    return axis == QwtPlot::xBottom || axis == QwtPlot::xTop;
}

bool isValidAxis(int axis)
{
    return axis >= 0 && axis < QwtPlot::axisCnt;
}

// Free pixels between two rectangles along one direction; negative where they overlap.
int gapAlong(Qt::Orientation orientation, const QRect &a, const QRect &b)
{
    if (orientation == Qt::Horizontal)
        return qMax(b.left() - a.right(), a.left() - b.right()) - 1;
    return qMax(b.top() - a.bottom(), a.top() - b.bottom()) - 1;
}

// Labels of another cell stand clear unless they come closer than a blank both across and along.
bool crowdedPair(const ThinnedScaleDraw::DrawnLabel &a, const ThinnedScaleDraw::DrawnLabel &b)
{
    const int wanted = qMax(a.blank, b.blank);
    return gapAlong(Qt::Horizontal, a.rect, b.rect) < wanted && gapAlong(Qt::Vertical, a.rect, b.rect) < wanted;
}

} // namespace

PlotMatrix::PlotMatrix(int rows, int columns, QWidget *parent) : QFrame(parent), plots(rows * columns, nullptr)
{
    gridLayout = new QGridLayout(this);
    gridLayout->setSpacing(0);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            auto *plot = new Plot(this);
            gridLayout->addWidget(plot, row, column);
            for (int axis = 0; axis < QwtPlot::axisCnt; ++axis)
                connect(plot->axisWidget(axis), &QwtScaleWidget::scaleDivChanged, this,
                        &PlotMatrix::scaleDivChanged, Qt::QueuedConnection);
            plots[row * columns + column] = plot;
        }
    }
    relayoutAxes();
}

QwtPlot *PlotMatrix::cellPlot(int row, int column)
{
    const int index = row * columnCount() + column;
    return index >= 0 && index < plots.size() ? plots.at(index) : nullptr;
}

const QwtPlot *PlotMatrix::cellPlot(int row, int column) const
{
    return const_cast<PlotMatrix *>(this)->cellPlot(row, column);
}

QStringList PlotMatrix::crowdedTickLabels() const
{
    QStringList crowded;
    for (const QwtPlot *plot : plots) {
        if (plot && plot->isVisible())
            crowded << ThinnedScaleDraw::crowdedLabels(plot);
    }
    return crowded + crowdedAcrossCells();
}

// Labels of one cell against those of every other: an end label reaches beyond its canvas,
// towards the neighbouring cell's labels.
QStringList PlotMatrix::crowdedAcrossCells() const
{
    QVector<QList<ThinnedScaleDraw::DrawnLabel>> labels(plots.size());
    for (int cell = 0; cell < plots.size(); ++cell)
        labels[cell] = labelsInGrid(cell);
    QStringList crowded;
    for (int first = 0; first < plots.size(); ++first) {
        for (int second = first + 1; second < plots.size(); ++second) {
            for (const auto &a : qAsConst(labels.at(first))) {
                for (const auto &b : qAsConst(labels.at(second))) {
                    if (!crowdedPair(a, b))
                        continue;
                    const int gap = qMax(gapAlong(Qt::Horizontal, a.rect, b.rect),
                                         gapAlong(Qt::Vertical, a.rect, b.rect));
                    crowded << QString("cells %1 and %2: %3 | %4 (%5 px)")
                                   .arg(first)
                                   .arg(second)
                                   .arg(a.text, b.text)
                                   .arg(gap);
                }
            }
        }
    }
    return crowded;
}

// The drawn tick labels of a visible cell in the grid's coordinates; none for a hidden cell.
QList<ThinnedScaleDraw::DrawnLabel> PlotMatrix::labelsInGrid(int cell) const
{
    const QwtPlot *plot = plots.at(cell);
    if (!plot || !plot->isVisible())
        return {};
    QList<ThinnedScaleDraw::DrawnLabel> labels = ThinnedScaleDraw::drawnLabelsOf(plot);
    for (auto &label : labels)
        label.rect.translate(plot->pos());
    return labels;
}

int PlotMatrix::rowCount() const
{
    return gridLayout->rowCount();
}

int PlotMatrix::columnCount() const
{
    return gridLayout->columnCount();
}

void PlotMatrix::setRowStretch(int row, int stretch)
{
    gridLayout->setRowStretch(row, stretch);
}

void PlotMatrix::setColumnStretch(int column, int stretch)
{
    gridLayout->setColumnStretch(column, stretch);
}

void PlotMatrix::setAxisShown(int axis, bool on)
{
    if (!isValidAxis(axis) || axisShown[axis] == on)
        return;
    axisShown[axis] = on;
    relayoutAxes();
}

bool PlotMatrix::isAxisShown(int axis) const
{
    return isValidAxis(axis) && axisShown[axis];
}

void PlotMatrix::setCellAxisScale(int axis, int rowOrColumn, double min, double max, double step)
{
    QwtPlot *plot = isXAxis(axis) ? cellPlot(0, rowOrColumn) : cellPlot(rowOrColumn, 0);
    if (!plot || !isValidAxis(axis))
        return;
    plot->setAxisScale(axis, min, max, step);
    plot->updateAxes();
}

void PlotMatrix::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    relayoutAxes();
}

int PlotMatrix::lastVisibleRow() const
{
    int last = rowCount() - 1;
    for (int row = 0; row < rowCount(); ++row) {
        const QwtPlot *plot = cellPlot(row, 0);
        if (plot && plot->isVisible())
            last = row;
    }
    return last;
}

bool PlotMatrix::axisDrawn(int axis, int row, int column, int lastVisible) const
{
    if (!axisShown[axis])
        return false;
    switch (axis) {
    case QwtPlot::yLeft:
        return column == 0 || column == 3;
    case QwtPlot::yRight:
        return column == columnCount() - 1;
    case QwtPlot::xBottom:
        return row == lastVisible;
    default:
        return row == 0;
    }
}

void PlotMatrix::applyAxisRules(QwtPlot *plot, int row, int column, int lastVisible)
{
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        // Every cell keeps all four axis widgets so that the canvases line up.
        QwtCompat::setAxisVisible(plot, axis, true);
        const bool drawn = axisDrawn(axis, row, column, lastVisible);
        QwtScaleDraw *draw = plot->axisScaleDraw(axis);
        draw->enableComponent(QwtAbstractScaleDraw::Backbone, drawn);
        draw->enableComponent(QwtAbstractScaleDraw::Ticks, drawn);
        draw->enableComponent(QwtAbstractScaleDraw::Labels, drawn);
        QwtScaleWidget *widget = plot->axisWidget(axis);
        widget->setMargin(0);
        widget->setSpacing(0);
    }
}

void PlotMatrix::relayoutAxes()
{
    const int lastVisible = lastVisibleRow();
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (QwtPlot *plot = cellPlot(row, column))
                applyAxisRules(plot, row, column, lastVisible);
        }
    }
    for (int row = 0; row < rowCount(); ++row) {
        alignAxisExtents(row, QwtPlot::xTop);
        alignAxisExtents(row, QwtPlot::xBottom);
        alignScaleBorders(row, QwtPlot::yLeft);
        alignScaleBorders(row, QwtPlot::yRight);
    }
    for (int column = 0; column < columnCount(); ++column) {
        alignAxisExtents(column, QwtPlot::yLeft);
        alignAxisExtents(column, QwtPlot::yRight);
        alignScaleBorders(column, QwtPlot::xBottom);
        alignScaleBorders(column, QwtPlot::xTop);
    }
    // Each cell keeps its end labels within its own area; a blank between the cells keeps them
    // off the labels of the next cell. Set only when it changes: setting it lays the grid out.
    const int across = widestLabelBlank(QwtPlot::xBottom, QwtPlot::xTop);
    const int down = widestLabelBlank(QwtPlot::yLeft, QwtPlot::yRight);
    if (gridLayout->horizontalSpacing() != across)
        gridLayout->setHorizontalSpacing(across);
    if (gridLayout->verticalSpacing() != down)
        gridLayout->setVerticalSpacing(down);
    // New extents and border distances reach the canvases only through a new layout.
    for (QwtPlot *plot : qAsConst(plots)) {
        if (!plot)
            continue;
        plot->updateLayout();
        plot->replot();
    }
}

// The widest blank of the labels on the two axes of any cell, or 0 when none is drawn.
int PlotMatrix::widestLabelBlank(int axis, int otherAxis) const
{
    int widest = 0;
    for (const QwtPlot *plot : plots) {
        if (!plot)
            continue;
        widest = qMax(widest, ThinnedScaleDraw::labelBlank(plot, axis));
        widest = qMax(widest, ThinnedScaleDraw::labelBlank(plot, otherAxis));
    }
    return widest;
}

// The present cells of a row (x axis) or of a column (y axis).
QVector<QwtPlot *> PlotMatrix::lineOfCells(int rowOrColumn, int axis) const
{
    QVector<QwtPlot *> cells;
    const int count = isXAxis(axis) ? columnCount() : rowCount();
    for (int i = 0; i < count; ++i) {
        const QwtPlot *plot = isXAxis(axis) ? cellPlot(rowOrColumn, i) : cellPlot(i, rowOrColumn);
        if (plot)
            cells << const_cast<QwtPlot *>(plot);
    }
    return cells;
}

void PlotMatrix::alignAxisExtents(int rowOrColumn, int axis)
{
    const QVector<QwtPlot *> cells = lineOfCells(rowOrColumn, axis);
    double largest = 0;
    for (QwtPlot *plot : cells) {
        QwtScaleDraw *draw = plot->axisScaleDraw(axis);
        draw->setMinimumExtent(0);
        largest = qMax(largest, draw->extent(plot->axisWidget(axis)->font()));
    }
    for (QwtPlot *plot : cells)
        plot->axisScaleDraw(axis)->setMinimumExtent(largest);
}

void PlotMatrix::alignScaleBorders(int rowOrColumn, int axis)
{
    const int lastRow = rowCount() - 1;
    const int lastColumn = columnCount() - 1;
    QwtPlot *reference = nullptr;
    QVector<QwtPlot *> receivers;
    switch (axis) {
    case QwtPlot::yLeft:
        reference = cellPlot(rowOrColumn, 0);
        for (int c = 1; c <= lastColumn; ++c)
            receivers << cellPlot(rowOrColumn, c);
        break;
    case QwtPlot::yRight:
        reference = cellPlot(rowOrColumn, lastColumn);
        for (int c = 0; c < lastColumn; ++c)
            receivers << cellPlot(rowOrColumn, c);
        break;
    case QwtPlot::xBottom:
        reference = cellPlot(lastRow, rowOrColumn);
        for (int r = 0; r < lastRow; ++r)
            receivers << cellPlot(r, rowOrColumn);
        break;
    default:
        reference = cellPlot(0, rowOrColumn);
        for (int r = 1; r <= lastRow; ++r)
            receivers << cellPlot(r, rowOrColumn);
        break;
    }
    int start = 0;
    int end = 0;
    if (reference)
        reference->axisWidget(axis)->getBorderDistHint(start, end);
    for (QwtPlot *plot : qAsConst(receivers)) {
        if (plot)
            plot->axisWidget(axis)->setMinBorderDist(start, end);
    }
}

void PlotMatrix::scaleDivChanged()
{
    if (inSync)
        return;
    inSync = true;
    int axis = 0;
    int column = 0;
    QwtPlot *plot = senderCell(&axis, &column);
    if (plot && plot->isVisible()) {
        if (isXAxis(axis))
            forwardScaleDiv(plot, axis, column);
        relayoutAxes();
    }
    inSync = false;
}

// The cell whose axis widget sent the signal, with that axis and the cell's column.
QwtPlot *PlotMatrix::senderCell(int *axis, int *column) const
{
    for (int row = 0; row < rowCount(); ++row) {
        for (int c = 0; c < columnCount(); ++c) {
            const QwtPlot *plot = cellPlot(row, c);
            for (int a = 0; plot && a < QwtPlot::axisCnt; ++a) {
                if (plot->axisWidget(a) != sender())
                    continue;
                *axis = a;
                *column = c;
                return const_cast<QwtPlot *>(plot);
            }
        }
    }
    return nullptr;
}

// The plots of one column share the x-axis division of the plot that changed.
void PlotMatrix::forwardScaleDiv(QwtPlot *sender, int axis, int column)
{
    const QwtScaleDiv div = sender->axisScaleDiv(axis);
    for (int row = 0; row < rowCount(); ++row) {
        QwtPlot *plot = cellPlot(row, column);
        if (plot && plot != sender)
            plot->setAxisScaleDiv(axis, div);
    }
}
