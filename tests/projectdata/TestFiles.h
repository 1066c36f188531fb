#ifndef TESTFILES_H
#define TESTFILES_H

#include <QByteArray>
#include <QString>

// Whole-file access for checking bytes on disk.
namespace TestFiles {

// The file's bytes, or "missing" when it cannot be read.
QByteArray read(const QString &path);
bool write(const QString &path, const QByteArray &bytes);
// The text as a Chinese Windows editor saves it in its local encoding.
QByteArray gbk(const QString &text);

} // namespace TestFiles

#endif // TESTFILES_H
