#ifndef STATUSBARRULES_H
#define STATUSBARRULES_H

#include <QString>
#include <QTime>

#include <optional>

// What the status bar shows for a status report and a sampling group; no widgets here.

struct StatusLamp
{
    QString icon; // resource path of the lamp image
    QString toolTip;
};

// Lamp of the instrument's work state 0 idle, 1 busy, 2 error; none for any other value.
std::optional<StatusLamp> workStatusLamp(int workStatus);
// Lamp of the GPS state: 1 locked, 0 not locked, any other value an error code.
StatusLamp gpsLamp(int gpsStatus);

struct StatusValue
{
    QString text;
    bool alarm = false; // shown red, else green
};

StatusValue batteryVoltageValue(double volts);    // alarm below 11.0 V
StatusValue diskSpaceValue(double freePercent);   // alarm below 15.0 %
StatusValue temperatureValue(double celsius);     // alarm above 80.0 degrees

// The instrument's time of day: the PC's plus the clock offset, wrapping around midnight.
QString instrumentTimeText(const QTime &pcTime, qint32 offsetSeconds);
QString clockOffsetToolTip(qint32 offsetSeconds);

// Ticks of one second the progress display runs for a group of the given length and rate.
int sampleProgressTotal(qint64 seconds, int sampleRate);
// Percent shown after count ticks of total: 99 once the total is reached, until the transfer ends.
int sampleProgressPercent(int count, int total);

#endif // STATUSBARRULES_H
