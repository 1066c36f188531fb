#include "views/Plot.h"

#include <qwt_plot_canvas.h>

Plot::Plot(QWidget *parent) : QwtPlot(parent)
{
    auto *canvas = new QwtPlotCanvas;
    canvas->setLineWidth(1);
    canvas->setFrameStyle(QFrame::Box | QFrame::Plain);
    setCanvas(canvas);
}

QSize Plot::sizeHint() const
{
    return minimumSizeHint();
}
