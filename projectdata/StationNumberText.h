#ifndef STATIONNUMBERTEXT_H
#define STATIONNUMBERTEXT_H

#include <QString>

// Station numbers as folder names, file names, "config.ini" rows, tree items and notices write
// them: general format with six significant digits (100, 12.5, 1.00002e+06).
namespace StationNumberText {

QString text(double station);
// True when the text reads back as the number itself; otherwise another station may share its
// folder and file names (1000021 and 1000020 both write 1.00002e+06).
bool printsExactly(double station);
// The number with every digit it has, for messages about numbers that do not print exactly.
QString fullText(double station);

} // namespace StationNumberText

#endif // STATIONNUMBERTEXT_H
