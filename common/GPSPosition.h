#ifndef GPSPOSITION_H
#define GPSPOSITION_H

#include <QMetaType>

// A station's position as written into and read from its "config.ini".
struct GPSPosition
{
    double latitude = 0.0;
    double longitude = 0.0;
    double elevation = 0.0;
};

Q_DECLARE_METATYPE(GPSPosition)

#endif // GPSPOSITION_H
