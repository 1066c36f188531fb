#ifndef PLOTMATRIX_H
#define PLOTMATRIX_H

#include "views/ThinnedScaleDraw.h"

#include <QFrame>
#include <QStringList>
#include <QVector>

class QGridLayout;
class QwtPlot;

// A fixed grid of plots laid edge to edge: scales are drawn only on the outer cells,
// neighbouring axis areas reserve the same depth so the canvases line up, and the plots
// of one column follow one x-axis scale division.
class PlotMatrix : public QFrame
{
    Q_OBJECT

public:
    PlotMatrix(int rows, int columns, QWidget *parent = nullptr);

    QwtPlot *cellPlot(int row, int column);
    const QwtPlot *cellPlot(int row, int column) const;

    int rowCount() const;
    int columnCount() const;

    void setRowStretch(int row, int stretch);
    void setColumnStretch(int column, int stretch);

    // Shows each axis scale only where the grid's rules want it and aligns the cells.
    void relayoutAxes();

    void setAxisShown(int axis, bool on);
    bool isAxisShown(int axis) const;

    void setCellAxisScale(int axis, int rowOrColumn, double min, double max, double step = 0);

    // Neighbouring tick labels on the visible cells, within a cell and from one cell to another,
    // that stand closer than a blank at the cells' current sizes; empty when every label stands
    // clear.
    QStringList crowdedTickLabels() const;

public slots:
    void scaleDivChanged();

protected:
    // The lowest visible row is only known once the grid is on screen.
    void showEvent(QShowEvent *event) override;

private:
    QStringList crowdedAcrossCells() const;
    QList<ThinnedScaleDraw::DrawnLabel> labelsInGrid(int cell) const;
    int widestLabelBlank(int axis, int otherAxis) const;
    int lastVisibleRow() const;
    bool axisDrawn(int axis, int row, int column, int lastVisible) const;
    void applyAxisRules(QwtPlot *plot, int row, int column, int lastVisible);
    void alignAxisExtents(int rowOrColumn, int axis);
    void alignScaleBorders(int rowOrColumn, int axis);
    QVector<QwtPlot *> lineOfCells(int rowOrColumn, int axis) const;
    QwtPlot *senderCell(int *axis, int *column) const;
    void forwardScaleDiv(QwtPlot *sender, int axis, int column);

    bool axisShown[4] = {true, false, true, false};
    QVector<QwtPlot *> plots;
    bool inSync = false;
    QGridLayout *gridLayout = nullptr;
};

#endif // PLOTMATRIX_H
