#ifndef TARGETFREQUENCIES_H
#define TARGETFREQUENCIES_H

// The frequencies an impedance curve may hold at a sample rate, in Hz (both ends included).
struct FrequencyBand
{
    double fmin = 0.0;
    double fmax = 0.0;
};

// The band that a recording at sampleRate, cut into windows of windowLength samples, supports.
FrequencyBand analysisBand(double sampleRate, int windowLength);

#endif // TARGETFREQUENCIES_H
