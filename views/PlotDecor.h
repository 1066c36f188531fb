#ifndef PLOTDECOR_H
#define PLOTDECOR_H

class QwtPlot;

// The look both views give their plots: a white canvas and a dotted grid of major lines.
void decoratePlot(QwtPlot *plot);

#endif // PLOTDECOR_H
