#include "projectdata/Data_Line.h"

Data_Line::Data_Line(LibHORM *store, QObject *parent)
    : HORM_BaseObject(store, parent)
{
}

void Data_Line::setLineName(int value)
{
    LineName = value;
    markChanged(QStringLiteral("LineName"));
}

void Data_Line::setUse(int value)
{
    Use = value;
    markChanged(QStringLiteral("Use"));
}

void Data_Line::setNote(const QString &value)
{
    Note = value;
    markChanged(QStringLiteral("Note"));
}

void Data_Line::setData_ProjectID(int value)
{
    Data_ProjectID = value;
    markChanged(QStringLiteral("Data_ProjectID"));
}

HORM_Collection<Data_Station> *Data_Line::getREF_Data_Station()
{
    loadReferences();
    return REF_Data_Station;
}

void Data_Line::resetREF_Data_Station()
{
    REF_Data_Station = createChildCollection<Data_Station>();
}
