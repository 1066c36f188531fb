#include "views/PlotDecor.h"

#include <qwt_plot.h>
#include <qwt_plot_grid.h>

void decoratePlot(QwtPlot *plot)
{
    plot->setCanvasBackground(QBrush(Qt::white));
    auto *grid = new QwtPlotGrid;
    grid->enableX(true);
    grid->enableY(true);
    grid->setMajorPen(Qt::darkGray, 0, Qt::DotLine);
    grid->setMinorPen(Qt::lightGray, 0, Qt::DotLine);
    grid->attach(plot);
}
