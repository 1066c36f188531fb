#ifndef QWTCOMPAT_H
#define QWTCOMPAT_H

#include <qwt_plot.h>

// Axis visibility under the names of newer Qwt releases, on top of the 6.1 calls.
namespace QwtCompat {

inline void setAxisVisible(QwtPlot *plot, int axis, bool on = true)
{
    plot->enableAxis(axis, on);
}

} // namespace QwtCompat

#endif // QWTCOMPAT_H
