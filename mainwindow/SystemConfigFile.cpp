#include "mainwindow/SystemConfigFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace {

// The five data ports follow the base port. The log port after them is not counted: a log
// connection that cannot start is reported when the log is exported.
constexpr int portsAfterBase = 5;
constexpr int highestPort = 65535;

QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QSettings *utf8Settings(const QString &path)
{
    auto *settings = new QSettings(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

bool isDottedDecimalIPv4(const QString &text)
{
    static const QRegularExpression quad(QStringLiteral("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    const QRegularExpressionMatch match = quad.match(text);
    if (!match.hasMatch())
        return false;
    for (int part = 1; part <= 4; ++part) {
        if (match.captured(part).toInt() > 255)
            return false;
    }
    return true;
}

} // namespace

namespace SystemConfigFile {

QSettings *open(const QString &path, QString *notice)
{
    QSettings *settings = utf8Settings(path);
    settings->childGroups(); // reads the file, which sets the status
    if (settings->status() == QSettings::NoError || !QFileInfo::exists(path))
        return settings;
    delete settings;
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    const QString text = QFile::rename(path, bad) ? tr("设置文件%1无法读取，已改用默认设置；原文件已另存为%2。")
                                                  : tr("设置文件%1无法读取，已改用默认设置；原文件无法另存为%2。");
    *notice = text.arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(bad));
    return utf8Settings(path);
}

QString addressRefusal(const QString &ip, const QString &port)
{
    QString refusal;
    if (!isDottedDecimalIPv4(ip))
        refusal += tr("仪器地址“%1”不是IPv4地址。").arg(ip);
    bool isNumber = false;
    const int base = port.trimmed().toInt(&isNumber);
    if (!isNumber || base < 1 || base > highestPort - portsAfterBase)
        refusal += tr("端口号“%1”不在1到%2之间。").arg(port).arg(highestPort - portsAfterBase);
    return refusal;
}

} // namespace SystemConfigFile
