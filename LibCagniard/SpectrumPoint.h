#ifndef SPECTRUMPOINT_H
#define SPECTRUMPOINT_H

// One row of a calibration table, or one bin of a spectrum.
struct SpectrumPoint
{
    double frequency = 0.0; // Hz
    double amplitude = 0.0; // amplitude factor (table) or amplitude (spectrum bin)
    double phase = 0.0;     // radians
};

#endif // SPECTRUMPOINT_H
