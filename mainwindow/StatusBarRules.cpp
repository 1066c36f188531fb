#include "mainwindow/StatusBarRules.h"

#include <QCoreApplication>

#include <limits>

namespace {

constexpr int highRateFrom = 10001; // rates above take the shorter lead time
constexpr int highRateLeadSeconds = 10;
constexpr int lowRateLeadSeconds = 22;

QString tr(const char *text)
{
    return QCoreApplication::translate("Form_StatusBar", text);
}

QString fixed2(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

std::optional<StatusLamp> workStatusLamp(int workStatus)
{
    switch (workStatus) {
    case 0:
        return StatusLamp{QStringLiteral(":/Icon/led_green.svg"), tr("空闲")};
    case 1:
        return StatusLamp{QStringLiteral(":/Icon/led_orange.svg"), tr("忙碌")};
    case 2:
        return StatusLamp{QStringLiteral(":/Icon/led_red.svg"), tr("出错")};
    default:
        return std::nullopt;
    }
}

StatusLamp gpsLamp(int gpsStatus)
{
    if (gpsStatus == 1)
        return {QStringLiteral(":/Icon/led_green.svg"), tr("锁定")};
    if (gpsStatus == 0)
        return {QStringLiteral(":/Icon/led_black.svg"), tr("未锁定")};
    return {QStringLiteral(":/Icon/led_red.svg"), tr("GPS错误:") + QString::number(gpsStatus)};
}

StatusValue batteryVoltageValue(double volts)
{
    return {QStringLiteral("%1V").arg(fixed2(volts)), volts < 11.0};
}

StatusValue diskSpaceValue(double freePercent)
{
    return {QStringLiteral("%1%").arg(fixed2(freePercent)), freePercent < 15.0};
}

StatusValue temperatureValue(double celsius)
{
    return {QStringLiteral("%1℃").arg(fixed2(celsius)), celsius > 80.0};
}

QString instrumentTimeText(const QTime &pcTime, qint32 offsetSeconds)
{
    return pcTime.addSecs(offsetSeconds).toString(QStringLiteral("hh:mm:ss"));
}

QString clockOffsetToolTip(qint32 offsetSeconds)
{
    if (offsetSeconds > 0)
        return tr("仪器比当前操作电脑快了%1秒").arg(offsetSeconds);
    if (offsetSeconds == 0)
        return tr("仪器与当前操作电脑时间差较小");
    return tr("仪器比当前操作电脑慢了%1秒").arg(-qint64(offsetSeconds));
}

int sampleProgressTotal(qint64 seconds, int sampleRate)
{
    const qint64 total = seconds + (sampleRate > highRateFrom ? highRateLeadSeconds : lowRateLeadSeconds);
    return int(qMin<qint64>(total, std::numeric_limits<int>::max()));
}

int sampleProgressPercent(int count, int total)
{
    if (total <= 0 || count >= total)
        return 99;
    return int(double(count) * 100.0 / double(total));
}
