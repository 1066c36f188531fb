#ifndef LIBCAGNIARD_H
#define LIBCAGNIARD_H

#include "LibCagniard/CrossSpectrumPoint.h"
#include "LibCagniard/SpectrumPoint.h"
#include "common/OneFreqImpedance.h"

#include <QList>
#include <QString>
#include <QVector>

// The impedance curve of one electric channel of a recording: one object per curve, used on one
// thread (construct, calcImpedance, smoothImpedance when that succeeded).
class LibCagniard
{
public:
    LibCagniard();

    // Computes resultCurve from the electric and magnetic channel files (int32 counts), the sample
    // rate in Hz, the planned sample count, the dipole length in metres and the four calibration
    // tables. False, with resultCurve as it was, on a bad argument (rate, sample count or dipole
    // length not finite and positive, windowLength not a power of two of at least 8, maxWindows
    // not positive), a missing file or table, no complete window in both channels (a partial last
    // window is never used), no coherent bin, or no point of the curve measured. unusedOption has
    // no effect. Table types 0 to 3 choose the target table; any other gives an empty curve.
    bool calcImpedance(const QString &eFile, const QString &hFile, double sampleRate, double sampleCount,
                       double dipoleLength, const QString &eSensorCalFile, const QString &hSensorCalFile,
                       const QString &eGainCalFile, const QString &hGainCalFile, int windowLength, int maxWindows,
                       bool detrend, int unusedOption, int tableType);

    // Five-point smoothing of resultCurve in place; returns a copy of it.
    QVector<OneFreqImpedance> smoothImpedance();

    // Replaces table by its values at bins 1 .. windowLength / 2 (see interpolateAtBins), one row
    // per bin. False, with an empty table, when the table or an argument is unusable.
    static bool resampleCalibration(QList<SpectrumPoint> &table, int windowLength, double sampleRate);

    // Millivolts to mV/km over a dipole of dipoleLength metres.
    static QVector<double> toElectricField(const QVector<double> &window, float dipoleLength);

    // Each bin divided by the gain table (then by the sensor table with useSensor), matched by
    // position: amplitudes divided, phases subtracted. Empty when a table is shorter than the spectrum.
    static QList<SpectrumPoint> applyCalibration(const QList<SpectrumPoint> &spectrum,
                                                 const QList<SpectrumPoint> &sensor,
                                                 const QList<SpectrumPoint> &gain, bool useSensor);

    // The mean over the windows, bin by bin. Empty when the list is empty or the windows differ
    // in length.
    static QVector<CrossSpectrumPoint> stackCrossSpectra(const QList<QVector<CrossSpectrumPoint>> &windows);

    // Millivolts per ADC count at the sample rate.
    static float countScale(double sampleRate);

    // The values of the table type's target table within [fmin, fmax]; types 0 to 3 also set
    // repairFrequencies to the type's power-line list. Any other type: nothing, no change.
    QList<double> targetFrequencies(double fmin, double fmax, int tableType);
    // The type-0 table within [fmin, fmax]; repairFrequencies stays.
    static QList<double> fixedTargetFrequencies(double fmin, double fmax);

    // The curve with its points at repairFrequencies replaced by Akima interpolation of the others
    // (absolute values of resistivity, phase and coherence). Unchanged when fewer than five other
    // points remain; a repair point outside the others keeps its values.
    QVector<OneFreqImpedance> repairPowerLineFrequencies(const QVector<OneFreqImpedance> &curve) const;
    // The same for 39.8, 50.1 and 63.1 Hz, or for 126, 158 and 200 Hz.
    static QVector<OneFreqImpedance> repairNear50Hz(const QVector<OneFreqImpedance> &curve);
    static QVector<OneFreqImpedance> repairNear150Hz(const QVector<OneFreqImpedance> &curve);

    // Smooths resistivity and phase of curve (five points and more) from the unsmoothed values
    // and recomputes depth and true resistivity.
    static void fivePointSmooth(QVector<OneFreqImpedance> &curve, const QVector<OneFreqImpedance> &unsmoothed);
    // Three-point smoothing of each sequence of three values or more, in place.
    static void threePointSmooth(QVector<double> &a, QVector<double> &b);

    // Ascending by frequency.
    QVector<OneFreqImpedance> resultCurve;
    QList<double> repairFrequencies;
};

#endif // LIBCAGNIARD_H
