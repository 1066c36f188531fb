#ifndef CHECKEDFILECOPY_H
#define CHECKEDFILECOPY_H

#include <QString>

// Copies a file byte for byte into a new file and checks every step: the source read whole, each
// block written whole, flushed and closed without error, and the copy as long as the source. An
// existing destination is never opened: the copy fails and leaves it as it was. False, with the
// reason set, on the first failure.
bool copyFileChecked(const QString &source, const QString &destination, QString *error);

#endif // CHECKEDFILECOPY_H
