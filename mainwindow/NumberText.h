#ifndef NUMBERTEXT_H
#define NUMBERTEXT_H

#include <QString>

// Station numbers, steps and lengths as the panels show them: general format with
// 6 significant digits (25, 12.5, 0.5, 120).
inline QString sixDigitText(double value)
{
    return QString::number(value, 'g', 6);
}

#endif // NUMBERTEXT_H
