#include "LibCagniard/WindowFunctions.h"

#include <cmath>

namespace
{
// The constant the tapers have always been computed with.
constexpr double taperPi = 3.1415926;

double sum(const double *begin, const double *end)
{
    double s = 0.0;
    for (const double *p = begin; p != end; ++p)
        s += *p;
    return s;
}

double taper(int type, double a)
{
    const double c = std::cos(a);
    switch (type) {
    case 1:
        return 0.5 * c + 0.5;
    case 2:
        return 1.8518518518518516 - 1.8518518518518516 * (c * c);
    case 3:
        return 2.380952380952381 - 2.380952380952381 * (c * c);
    case 4:
        return 0.5 * (c * c) + 0.5;
    default:
        return 1.0;
    }
}
} // namespace

QVector<double> detrendWindow(const QVector<double> &window)
{
    const int n = window.size();
    if (n < 2)
        return window;
    QVector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = 2.0 * i / (n - 1) - 1.0;
    const double mean = sum(window.cbegin(), window.cend()) / n;
    double xy = 0.0;
    double xx = 0.0;
    for (int i = 0; i < n; ++i) {
        xy += window[i] * x[i];
        xx += x[i] * x[i];
    }
    const double slope = xy / xx;
    QVector<double> result(n);
    for (int i = 0; i < n; ++i)
        result[i] = window[i] - mean - x[i] * slope;
    return result;
}

QVector<double> halfMeanDetrend(const QVector<double> &window)
{
    const int n = window.size();
    if (n < 2)
        return window;
    const double h = n * 0.5;
    const double mean = sum(window.cbegin(), window.cend()) / n;
    const double m1 = sum(window.cbegin(), window.cbegin() + n / 2) / h;
    const double m2 = sum(window.cbegin() + n / 2, window.cend()) / h;
    const double d = (m2 - m1) / h;
    QVector<double> result(n);
    for (int i = 0; i < n; ++i)
        result[i] = window[i] - mean - i * d;
    return result;
}

QVector<double> applyWindow(const QVector<double> &window, int type, int windowLength)
{
    if (windowLength <= 0 || window.size() != windowLength)
        return {};
    QVector<double> result(windowLength);
    for (int j = 0; j < windowLength; ++j)
        result[j] = taper(type, double(j) * taperPi / double(windowLength)) * window[j];
    return result;
}
