#include "mainwindow/InstrumentVersionRules.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// A stored version at or below this counts as none stored.
constexpr float noStoredVersion = 0.1f;
constexpr float versionTolerance = 1e-5f;

QString versionNumberText(double version)
{
    return QString::number(version, 'g', 6);
}

} // namespace

bool firmwareAccepted(float firmwareVersion)
{
    return firmwareVersion >= minimumFirmwareVersion;
}

QString firmwareRefusalText(float firmwareVersion)
{
    return QCoreApplication::translate("MainWindow",
                                       "仪器固件版本 %1 过低，请更换匹配的采集软件！\r\n本软件仅支持 %2 及以上固件版本的仪器")
        .arg(versionNumberText(firmwareVersion), versionNumberText(minimumFirmwareVersion));
}

bool usesOldGainLists(float hardwareVersion)
{
    return hardwareVersion < oldGainListsBelowHardware;
}

QString hardwareVersionText(float hardwareVersion)
{
    const QString twoDecimals = QString::number(double(hardwareVersion), 'f', 2);
    if (twoDecimals.toFloat() == hardwareVersion)
        return twoDecimals;
    return versionNumberText(hardwareVersion);
}

float storedHardwareVersion(const QVariant &stored)
{
    bool ok = false;
    const float version = stored.toString().toFloat(&ok);
    return ok && std::isfinite(version) ? version : 0.0f;
}

HardwareVersionOutcome hardwareVersionOutcome(float reported, const QVariant &stored)
{
    HardwareVersionOutcome outcome;
    outcome.oldGainLists = usesOldGainLists(reported);
    outcome.storedText = hardwareVersionText(reported);
    const float storedVersion = storedHardwareVersion(stored);
    outcome.closeProgram = storedVersion > noStoredVersion && std::fabs(storedVersion - reported) > versionTolerance;
    if (outcome.closeProgram)
        outcome.closeText = QCoreApplication::translate("MainWindow", "混合使用不同硬件版本的仪器需要重启软件 Ver:%1\r\n")
                                .arg(outcome.storedText);
    return outcome;
}
