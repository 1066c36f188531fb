#include "mainwindow/DeveloperPassword.h"

#include <QCryptographicHash>

namespace {
const char builtInSalt[] = "c1f04e9a2b7d";
const char builtInHexDigest[] = "676bb5877d6d1ec49021b7975b54ee2c951251d7085a8fe78a9acc5c5105fbb6";
} // namespace

DeveloperPassword::DeveloperPassword()
    : DeveloperPassword(QByteArray(builtInSalt), QByteArray(builtInHexDigest))
{
}

DeveloperPassword::DeveloperPassword(const QByteArray &salt, const QByteArray &hexDigest)
    : salt(salt), digest(QByteArray::fromHex(hexDigest))
{
}

DeveloperPassword &DeveloperPassword::installed()
{
    static DeveloperPassword password;
    return password;
}

QByteArray DeveloperPassword::digestOf(const QByteArray &salt, const QString &password)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

bool DeveloperPassword::matches(const QString &typed) const
{
    const QByteArray candidate = digestOf(salt, typed);
    if (candidate.size() != digest.size())
        return false;
    unsigned char difference = 0;
    for (int i = 0; i < candidate.size(); ++i)
        difference |= static_cast<unsigned char>(candidate.at(i) ^ digest.at(i));
    return difference == 0;
}
