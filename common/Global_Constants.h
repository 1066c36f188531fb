#ifndef GLOBAL_CONSTANTS_H
#define GLOBAL_CONSTANTS_H

#include <QList>
#include <QStringList>

// Constant vocabularies of the instrument. Each object has internal linkage:
// every source file that includes this header holds its own copy.

// Channel number on the instrument link: 0 is Hx, 4 is E0.
static const QStringList channelNameList = {"Hx", "Hy", "E2", "E1", "E0"};
// Observation mode number 0 to 5; settings and file names store the key text.
static const QStringList watchMachineModeList = {"Scalar",       "Vector",        "CopointMultipolarity",
                                                 "ParallelTest", "Multipolarity", "OverWaterTest"};
static const QList<int> highRateGainList = {1, 10, 100, 500};
static const QList<int> highRateGainCodeList = {0, 1, 3, 5};
static const QList<int> highRateGainListOld = {2, 10, 50, 200, 1000};
static const QList<int> lowRateGainListOld = {2, 10, 40, 160, 640};
static const QList<int> highRateGainCodeListOld = {0, 1, 3, 5, 7};
static const QList<int> lowRateGainCodeListOld = {0x200, 0x101, 0x401, 0x1001, 0x4001};
static const QList<int> lowRateGainList = {1, 40, 160, 640};
static const QList<int> lowRateGainCodeList = {0x100, 0x101, 0x401, 0x1001};
// Hz; rates up to 4000 Hz are the low rates.
static const QList<int> sampleRateList = {250, 500, 1000, 2000, 4000, 57800, 107530, 188680, 277780};
// Seconds, indexed by the rate's position in sampleRateList; the last two entries belong to no rate.
static const QList<int> maxSampleTimeList = {79980, 39980, 19980, 9980, 4998, 90, 60, 30, 12, 6, 3};
static const QList<int> defaultSampleTimeList = {900, 720, 480, 360, 180, 12, 8, 6, 3, 2, 2};
static const QList<int> minSampleTimeList = {66, 35, 18, 10, 6, 1, 1, 1, 1, 1, 1};
// Time-series display lengths: the powers of two from 2^6 to 2^18.
static const QList<int> viewSizeList = {64,   128,   256,   512,   1024,   2048,  4096,
                                        8192, 16384, 32768, 65536, 131072, 262144};

#endif // GLOBAL_CONSTANTS_H
