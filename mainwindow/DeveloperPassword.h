#ifndef DEVELOPERPASSWORD_H
#define DEVELOPERPASSWORD_H

#include <QByteArray>
#include <QString>

// The developer password as a salted SHA-256 digest; the password itself is kept nowhere in
// the program. Tests construct it with a digest of their own.
class DeveloperPassword
{
public:
    DeveloperPassword(); // the built-in digest
    DeveloperPassword(const QByteArray &salt, const QByteArray &hexDigest);

    // Compares digests in constant time, so the time taken tells nothing about the password.
    bool matches(const QString &typed) const;

    // The password the window checks; tests replace it.
    static DeveloperPassword &installed();

    static QByteArray digestOf(const QByteArray &salt, const QString &password);

private:
    QByteArray salt;
    QByteArray digest;
};

#endif // DEVELOPERPASSWORD_H
