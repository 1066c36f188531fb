#ifndef SYSTEMCONFIGFILE_H
#define SYSTEMCONFIGFILE_H

#include <QString>

class QSettings;

// Opening and checking "systemConfig.ini", the settings file an operator may edit by hand.
namespace SystemConfigFile {

// The settings file at path, read and written as UTF-8. A file that is there but cannot be read
// (no access, or not in the settings format) is moved to path + ".bad" (replacing an older one)
// and the settings start empty, so that the defaults written later never replace it; notice then
// says so. The caller owns the result.
QSettings *open(const QString &path, QString *notice);

// Why the address texts cannot be the instrument's, or an empty text when they can: the address
// must be an IPv4 address in dotted decimal (no name to look up) and the base port a whole number
// from 1 to 65530, so that the five data ports after it exist too.
QString addressRefusal(const QString &ip, const QString &port);

} // namespace SystemConfigFile

#endif // SYSTEMCONFIGFILE_H
