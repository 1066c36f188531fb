#ifndef SIMSETTINGS_H
#define SIMSETTINGS_H

#include <QtGlobal>
#include <cstdint>

// What the simulated instrument reports and how fast it works. Only the fields nobody on the
// host side decides are here; the work state, clock and error word follow the commands.
struct SimSettings
{
    int32_t machineID = 1001;
    float firmwareVersion = 1.02f;
    float hardwareVersion = 1.011f;
    double batteryVoltage = 12.5;
    double diskSpace = 87.5;
    double temperature1 = 31.25;
    double temperature2 = 28.5;
    int32_t gpsStatus = 1;
    // The work status the status record reports instead of the simulated one (0 idle, 1 busy,
    // 2 error); -1 reports the real one.
    int32_t reportedWorkStatus = -1;

    int sampleMs = 50;     // stands in for a group's sampling time
    int formatMs = 50;     // storage card formatting
    int logReplyDelayMs = 500; // log-export reply when the host neither closes nor ends the log
    qint64 blockBytes = 0; // sample bytes per channel block; 0 = rate x seconds x 4 of the group
    qint64 defaultBlockBytes = 4096;         // a transfer requested without a station task
    qint64 maxBlockBytes = 80 * 1024 * 1024; // cap for blocks sized from the task: the longest valid tasks fit
    qint64 logBytes = 4096;
    bool fullSubCodes = false; // notifications carry 0xAA5500nn instead of nn

    // Channel blocks: deterministic bytes that a test rebuilds with SimChannelData and compares,
    // or, when false, the response of a half-space earth (SimEarth) that the impedance processing
    // can check. The command-line program turns the earth on unless told --byte-exact.
    bool byteExactSamples = true;
    double earthResistivity = 100; // Ohm m
    uint32_t earthSeed = 1;
};

#endif // SIMSETTINGS_H
