#include "mainwindow/CloseQuestionText.h"

namespace {

QString runWarning(RunPhase::Phase phase)
{
    switch (phase) {
    case RunPhase::Sampling:
        return QStringLiteral("仪器正在采集，关闭程序后仪器将继续采集，本站已传回的数据将被删除，"
                              "各组数据仍保存在仪器中，可通过数据导出读回。");
    case RunPhase::TrialRun:
        return QStringLiteral("仪器正在试采，关闭程序后试采数据将不会保存。");
    case RunPhase::Offline:
    case RunPhase::OverWater:
        return QStringLiteral("仪器正在离线采集，关闭程序后仪器将继续采集，数据保存在仪器中，"
                              "可通过数据导出读回。");
    default:
        return QString();
    }
}

} // namespace

QString closeQuestionText(RunPhase::Phase phase, bool unsavedRun)
{
    const QString question = QStringLiteral("请确认是否要关闭程序?");
    const QString warning = runWarning(phase);
    if (!warning.isEmpty())
        return warning + QLatin1Char('\n') + question;
    if (unsavedRun)
        return QStringLiteral("本站采集的数据尚未保存，关闭程序将删除这些数据。\n") + question;
    return question;
}
