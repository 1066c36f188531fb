#include "projectdata/StationNumberText.h"

namespace StationNumberText {

QString text(double station)
{
    return QString::number(station, 'g', 6);
}

bool printsExactly(double station)
{
    bool ok = false;
    const double back = text(station).toDouble(&ok);
    return ok && back == station;
}

QString fullText(double station)
{
    return QString::number(station, 'g', 15);
}

} // namespace StationNumberText
