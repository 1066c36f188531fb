#ifndef WINDOWFUNCTIONS_H
#define WINDOWFUNCTIONS_H

#include <QVector>

#include <vector>

// The taper of the impedance calculation: the falling half of a cosine bell.
constexpr int fallingCosineTaper = 1;

// The window less its least-squares straight line. Windows of fewer than two values come back unchanged.
QVector<double> detrendWindow(const QVector<double> &window);

// The window less its mean and a slope taken from the means of its two halves.
// Windows of fewer than two values come back unchanged.
QVector<double> halfMeanDetrend(const QVector<double> &window);

// The window times the taper of the given type (1: falling half cosine bell, 2 and 3: scaled sin²,
// 4: raised cos²; any other type: unchanged). Empty when windowLength is not positive or the
// window does not hold windowLength values.
QVector<double> applyWindow(const QVector<double> &window, int type, int windowLength);

// The weights applyWindow multiplies a window of windowLength values by, computed once per type and
// length and shared read-only between threads; empty for a length that is not positive.
const std::vector<double> &taperWeights(int type, int windowLength);

#endif // WINDOWFUNCTIONS_H
