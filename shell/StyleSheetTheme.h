#ifndef STYLESHEETTHEME_H
#define STYLESHEETTHEME_H

#include <QRect>
#include <QString>

// The value of "$Theme" for a primary screen of this geometry: "highdpi" for screens
// more than 1000 pixels high, "default" otherwise.
QString themeForScreen(const QRect &screenGeometry);

#endif // STYLESHEETTHEME_H
