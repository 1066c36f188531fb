#ifndef IMPEDANCECALCULATOR_H
#define IMPEDANCECALCULATOR_H

#include "common/SampleInfo.h"

#include <QStringList>

// The impedance curves of one recording: each recorded electric channel against its magnetic
// partner, with the four calibration tables of the pair. Works on copies only (paths, no file
// objects), so it runs on any thread; calculate() may run on several threads at once.
class ImpedanceCalculator
{
public:
    struct Input
    {
        SampleInfo recording; // without file objects
        QStringList channelPaths;
        QString inputCalibrationDir; // ends with "/"
        QString appDir;
    };
    struct Result
    {
        QList<ChannelImpedance> curves;
        QStringList notices; // in the order they arose
    };

    ImpedanceCalculator() = default;
    virtual ~ImpedanceCalculator() = default;

    virtual Result calculate(const Input &input) const;

    static Input inputOf(const SampleInfo &recording, const QString &inputCalibrationDir, const QString &appDir);
    // The magnetic partner of electric channel 0 to 2 in a mode: 0 Hx, 1 Hy, -1 none recorded.
    static int partnerOf(int mode, int electric, bool hasHx, bool hasHy);
    // appDir + "/GainCalibration/<machine>" + "/High-H/", "/Low-H/" or "/Low-L/" by rate and electrodes.
    static QString gainFolder(const QString &appDir, const SampleInfo &recording);
};

#endif // IMPEDANCECALCULATOR_H
