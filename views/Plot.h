#ifndef PLOT_H
#define PLOT_H

#include <qwt_plot.h>

// A cell of the plot grid: it asks for no more than its minimum size, so the grid's
// stretch factors share out the space.
class Plot : public QwtPlot
{
public:
    explicit Plot(QWidget *parent = nullptr);

    QSize sizeHint() const override;
};

#endif // PLOT_H
