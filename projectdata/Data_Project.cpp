#include "projectdata/Data_Project.h"

#include <QDateTime>
#include <QVariant>

Data_Project::Data_Project(LibHORM *store, QObject *parent)
    : HORM_BaseObject(store, parent)
{
}

void Data_Project::setProjectId(const QString &value)
{
    ProjectId = value;
    markChanged(QStringLiteral("ProjectId"));
}

void Data_Project::setProjectName(const QString &value)
{
    ProjectName = value;
    markChanged(QStringLiteral("ProjectName"));
}

void Data_Project::setProjectAddress(const QString &value)
{
    ProjectAddress = value;
    markChanged(QStringLiteral("ProjectAddress"));
}

void Data_Project::setProjectDate(int value)
{
    ProjectDate = value;
    markChanged(QStringLiteral("ProjectDate"));
}

void Data_Project::setOperatorName(const QString &value)
{
    OperatorName = value;
    markChanged(QStringLiteral("OperatorName"));
}

void Data_Project::setGMTOffset(int value)
{
    GMTOffset = value;
    markChanged(QStringLiteral("GMTOffset"));
}

void Data_Project::setLinesNumbers(int value)
{
    LinesNumbers = value;
    markChanged(QStringLiteral("LinesNumbers"));
}

void Data_Project::setNote(const QString &value)
{
    Note = value;
    markChanged(QStringLiteral("Note"));
}

HORM_Collection<Data_Line> *Data_Project::getREF_Data_Line()
{
    loadReferences();
    return REF_Data_Line;
}

void Data_Project::resetREF_Data_Line()
{
    REF_Data_Line = createChildCollection<Data_Line>();
}

bool Data_Project::setProjectConfig(const ProjectConfig &config)
{
    const int date = config.ProjectDate.isValid() ? int(config.ProjectDate.startOfDay().toSecsSinceEpoch()) : 0;
    setProperty("ProjectId", config.ProjectId);
    setProperty("ProjectName", config.ProjectName);
    setProperty("ProjectAddress", config.ProjectAddress);
    setProperty("ProjectDate", date);
    setProperty("OperatorName", config.OperatorName);
    return updateRow();
}

ProjectConfig Data_Project::getProjectConfig() const
{
    ProjectConfig config;
    config.ProjectId = ProjectId;
    config.ProjectName = ProjectName;
    config.ProjectAddress = ProjectAddress;
    if (ProjectDate != 0)
        config.ProjectDate = QDateTime::fromSecsSinceEpoch(ProjectDate).date();
    config.OperatorName = OperatorName;
    return config;
}
