#ifndef BUILDSTAMP_H
#define BUILDSTAMP_H

#include <QDateTime>
#include <QString>

// The build's time stamp from the compiler's date text ("Mmm dd yyyy", a day below 10 padded
// with a space: "Mar  7 2026") and time text ("hh:mm:ss"). Invalid when the texts are not so.
QDateTime parseBuildDateTime(const QString &date, const QString &time);

#endif // BUILDSTAMP_H
