#include "mainwindow/StoredTasks.h"

#include "dialogs/SampleTaskRules.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>

namespace {

const QRegularExpression taskGroupName(QStringLiteral("^Task([0-9]+)$"));

struct BoolField
{
    const char *suffix;
    bool CtrlParam::*field;
};

struct IntField
{
    const char *suffix;
    qint32 CtrlParam::*field;
};

struct DoubleField
{
    const char *suffix;
    double CtrlParam::*field;
};

const BoolField boolFields[] = {
    {"HxChannelIsUse", &CtrlParam::HxChannelIsUse}, {"HyChannelIsUse", &CtrlParam::HyChannelIsUse},
    {"E0ChannelIsUse", &CtrlParam::E0ChannelIsUse}, {"E1ChannelIsUse", &CtrlParam::E1ChannelIsUse},
    {"E2ChannelIsUse", &CtrlParam::E2ChannelIsUse},
};

const IntField gainFields[] = {{"EGain", &CtrlParam::EGain}, {"HGain", &CtrlParam::HGain}};

const DoubleField distanceFields[] = {
    {"E0PoleDistance", &CtrlParam::E0PoleDistance},
    {"E1PoleDistance", &CtrlParam::E1PoleDistance},
    {"E2PoleDistance", &CtrlParam::E2PoleDistance},
};

const IntField rateAndTimeFields[] = {
    {"SampleRate", &CtrlParam::SampleRate},
    {"SampleTimeHour", &CtrlParam::SampleTimeHour},
    {"SampleTimeMinute", &CtrlParam::SampleTimeMinute},
    {"SampleTimeSecond", &CtrlParam::SampleTimeSecond},
    {"ElectrodeType", &CtrlParam::ElectrodeType},
    {"Chopper", &CtrlParam::Chopper},
};

QString keyOf(const QString &group, const char *suffix)
{
    return group + QLatin1Char('/') + group + QLatin1String(suffix);
}

CtrlParam readTask(QSettings &settings, const QString &group)
{
    CtrlParam task;
    for (const BoolField &entry : boolFields)
        task.*entry.field = settings.value(keyOf(group, entry.suffix)).toBool();
    for (const IntField &entry : gainFields)
        task.*entry.field = settings.value(keyOf(group, entry.suffix)).toInt();
    for (const DoubleField &entry : distanceFields)
        task.*entry.field = settings.value(keyOf(group, entry.suffix)).toDouble();
    for (const IntField &entry : rateAndTimeFields)
        task.*entry.field = settings.value(keyOf(group, entry.suffix)).toInt();
    task.SampleTimeHour = qMax(0, task.SampleTimeHour);
    task.SampleTimeMinute = qMax(0, task.SampleTimeMinute);
    task.SampleTimeSecond = qMax(0, task.SampleTimeSecond);
    task.SampleStartTime = 0;
    return task;
}

// Task groups by number; the settings list groups by name, where "Task10" comes before "Task2".
QMap<qulonglong, QString> taskGroups(QSettings &settings)
{
    QMap<qulonglong, QString> groups;
    for (const QString &group : settings.childGroups()) {
        const QRegularExpressionMatch match = taskGroupName.match(group);
        if (match.hasMatch())
            groups.insert(match.captured(1).toULongLong(), group);
    }
    return groups;
}

} // namespace

QList<CtrlParam> readStoredTasks(QSettings &settings, QStringList *dropped)
{
    QList<CtrlParam> tasks;
    for (const QString &group : taskGroups(settings)) {
        const CtrlParam task = readTask(settings, group);
        const TaskCheck check = checkTask(task);
        if (check.passed())
            tasks.append(task);
        else if (dropped)
            *dropped << QCoreApplication::translate("MainWindow", "采集任务%1已删除：%2").arg(group, check.failure);
    }
    return tasks;
}

void removeStoredTasks(QSettings &settings)
{
    for (const QString &group : taskGroups(settings))
        settings.remove(group);
}

void writeStoredTasks(QSettings &settings, const QList<CtrlParam> &tasks)
{
    for (int i = 0; i < tasks.size(); ++i) {
        const CtrlParam &task = tasks.at(i);
        const QString group = QStringLiteral("Task%1").arg(i + 1);
        for (const BoolField &entry : boolFields)
            settings.setValue(keyOf(group, entry.suffix), task.*entry.field);
        for (const IntField &entry : gainFields)
            settings.setValue(keyOf(group, entry.suffix), task.*entry.field);
        for (const DoubleField &entry : distanceFields)
            settings.setValue(keyOf(group, entry.suffix), task.*entry.field);
        for (const IntField &entry : rateAndTimeFields)
            settings.setValue(keyOf(group, entry.suffix), task.*entry.field);
    }
}
