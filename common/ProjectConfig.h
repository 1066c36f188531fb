#ifndef PROJECTCONFIG_H
#define PROJECTCONFIG_H

#include <QDate>
#include <QMetaType>
#include <QString>

// A project's header, copied by value.
struct ProjectConfig
{
    QString ProjectId;
    QString ProjectName;
    QString ProjectAddress;
    QDate ProjectDate;
    QString OperatorName;
};

Q_DECLARE_METATYPE(ProjectConfig)

#endif // PROJECTCONFIG_H
