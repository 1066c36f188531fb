#include "projectdata/ImpedanceCurve.h"


#include <cmath>
#include <cstring>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "curves are stored as the little-endian doubles in memory");

namespace {

constexpr int pointBytes = int(sizeof(OneFreqImpedance));

// Folds p into r, a point of the same frequency: a running mean, the resistivity geometric.
void foldPoint(OneFreqImpedance &r, const OneFreqImpedance &p)
{
    r.apparentResistivity = std::pow(10.0, (std::log10(r.apparentResistivity) + std::log10(p.apparentResistivity)) * 0.5);
    r.phase = (r.phase + p.phase) * 0.5;
    r.coherence = (r.coherence + p.coherence) * 0.5;
    r.inversionDepth = 356.0 * std::sqrt(r.apparentResistivity / r.frequency);
    r.trueResistivity = (90.0 / r.phase - 1.0) * r.apparentResistivity;
}

void mergePoint(QVector<OneFreqImpedance> &result, const OneFreqImpedance &p)
{
    if (!hasFrequency(result, p.frequency)) {
        result.append(p);
        return;
    }
    for (OneFreqImpedance &r : result) {
        if (r.frequency == p.frequency)
            foldPoint(r, p);
    }
}

} // namespace

namespace ImpedanceCurve {

QByteArray encode(const QVector<OneFreqImpedance> &curve)
{
    QByteArray bytes(curve.size() * pointBytes, Qt::Uninitialized);
    if (!curve.isEmpty())
        std::memcpy(bytes.data(), curve.constData(), size_t(bytes.size()));
    return bytes;
}

QVector<OneFreqImpedance> decode(const QByteArray &bytes)
{
    QVector<OneFreqImpedance> curve(bytes.size() / pointBytes);
    if (!curve.isEmpty())
        std::memcpy(static_cast<void *>(curve.data()), bytes.constData(), size_t(curve.size()) * pointBytes);
    return curve;
}

bool isDamaged(const QByteArray &bytes)
{
    if (bytes.size() % pointBytes != 0)
        return true;
    for (const OneFreqImpedance &point : decode(bytes)) {
        if (!std::isfinite(point.frequency) || point.frequency <= 0.0 || !std::isfinite(point.apparentResistivity)
            || point.apparentResistivity <= 0.0)
            return true;
    }
    return false;
}

QVector<OneFreqImpedance> merge(const QList<QVector<OneFreqImpedance>> &curves)
{
    if (curves.isEmpty())
        return {};
    QVector<OneFreqImpedance> result = curves.first();
    for (int i = 1; i < curves.size(); ++i) {
        for (const OneFreqImpedance &p : curves.at(i))
            mergePoint(result, p);
    }
    return result;
}

} // namespace ImpedanceCurve

bool hasFrequency(const QVector<OneFreqImpedance> &curve, double frequency)
{
    for (const OneFreqImpedance &point : curve) {
        if (std::fabs(point.frequency - frequency) < 1e-7)
            return true;
    }
    return false;
}
