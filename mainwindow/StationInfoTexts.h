#ifndef STATIONINFOTEXTS_H
#define STATIONINFOTEXTS_H

#include "common/CtrlParam.h"

#include <QString>

// Texts of the station information panel; no widgets here.

// Placeholders of the value labels ("—" is the em dash).
extern const QString noValueText;
extern const QString noSampleRateText;
extern const QString noSampleTimeText;
extern const QString noGainText;
extern const QString noPoleDistanceText; // rich text

// The panel's word for an observation mode; "未知" outside 0 to 5.
QString stationInfoModeWord(int mode);

// The four sampling rows of a recording's task.
struct SamplingTexts
{
    QString sampleRate;
    QString sampleTime;
    QString gain;
    QString poleDistance; // rich text
};

SamplingTexts samplingTexts(const CtrlParam &task);

#endif // STATIONINFOTEXTS_H
