#ifndef SIMTEXT_H
#define SIMTEXT_H

#include <QByteArray>
#include <QList>
#include <QPair>

// The host's texts are key=value lines.
namespace SimText {

// The key=value lines of a text in order, line ends LF or CR LF; a line without '=' (or with
// nothing before it) is left out. The value is everything after the first '='.
QList<QPair<QByteArray, QByteArray>> keyValues(const QByteArray &text);

} // namespace SimText

#endif // SIMTEXT_H
