#include "LibCagniard/WindowFunctions.h"

#include "LibCagniard/TruncatedPi.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace
{
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

// Types without a taper share the weights of 1.
int taperKey(int type)
{
    return type >= 1 && type <= 4 ? type : 0;
}

std::vector<double> buildTaper(int type, int windowLength)
{
    std::vector<double> weights(static_cast<size_t>(windowLength));
    for (int j = 0; j < windowLength; ++j)
        weights[size_t(j)] = taper(type, double(j) * truncatedPi / double(windowLength));
    return weights;
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
    const std::vector<double> &weights = taperWeights(type, windowLength);
    QVector<double> result(windowLength);
    for (int j = 0; j < windowLength; ++j)
        result[j] = weights[size_t(j)] * window[j];
    return result;
}

const std::vector<double> &taperWeights(int type, int windowLength)
{
    // Built once per type and length and never changed or dropped afterwards, so the references
    // handed out stay valid and may be read on any thread without the lock.
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::unique_ptr<const std::vector<double>>> cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto &entry = cache[{taperKey(type), std::max(windowLength, 0)}];
    if (!entry)
        entry = std::make_unique<const std::vector<double>>(buildTaper(type, std::max(windowLength, 0)));
    return *entry;
}
