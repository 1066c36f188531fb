#ifndef IMPEDANCECURVE_H
#define IMPEDANCECURVE_H

#include "common/OneFreqImpedance.h"

#include <QByteArray>
#include <QList>
#include <QVector>

// The stored form of a curve and the merge of several curves into one.
namespace ImpedanceCurve {

// The points one after the other, 56 bytes each (seven little-endian doubles), no header.
QByteArray encode(const QVector<OneFreqImpedance> &curve);
// The whole 56-byte points of the bytes; a shorter tail is ignored.
QVector<OneFreqImpedance> decode(const QByteArray &bytes);
// True when the bytes are no stored curve: a length that is not a whole number of points, or a
// point whose frequency or apparent resistivity is not a finite positive number.
bool isDamaged(const QByteArray &bytes);

// One curve of all: the first curve's points, then each later point whose frequency is new;
// a point on a frequency already present is averaged into it.
QVector<OneFreqImpedance> merge(const QList<QVector<OneFreqImpedance>> &curves);

} // namespace ImpedanceCurve

// True when a point of the curve lies within 1e-7 Hz of the frequency.
bool hasFrequency(const QVector<OneFreqImpedance> &curve, double frequency);

#endif // IMPEDANCECURVE_H
