#ifndef DATA_LINE_H
#define DATA_LINE_H

#include "projectdata/Data_Station.h"

// One survey line of the project, with its stations.
class Data_Line : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(int LineName READ getLineName WRITE setLineName)
    Q_PROPERTY(int Use READ getUse WRITE setUse)
    Q_PROPERTY(QString Note READ getNote WRITE setNote)
    Q_PROPERTY(int Data_ProjectID READ getData_ProjectID WRITE setData_ProjectID)
    Q_PROPERTY(HORM_Collection<Data_Station> *REF_Data_Station READ getREF_Data_Station RESET resetREF_Data_Station)
    Q_CLASSINFO("LineName", "DB")
    Q_CLASSINFO("Use", "DB")
    Q_CLASSINFO("Note", "DB")
    Q_CLASSINFO("Data_ProjectID", "DB")
    Q_CLASSINFO("Data_ProjectID", "DB_INDEX")
    Q_CLASSINFO("Data_Station", "DB_REFFENCE")

public:
    Data_Line(LibHORM *store, QObject *parent = nullptr);

    int getLineName() const { return LineName; }
    void setLineName(int value);
    int getUse() const { return Use; }
    void setUse(int value);
    QString getNote() const { return Note; }
    void setNote(const QString &value);
    int getData_ProjectID() const { return Data_ProjectID; }
    void setData_ProjectID(int value);
    HORM_Collection<Data_Station> *getREF_Data_Station();
    void resetREF_Data_Station();

private:
    int LineName = -1;
    int Use = 0;
    QString Note;
    int Data_ProjectID = -1;
    HORM_Collection<Data_Station> *REF_Data_Station = nullptr;
};

#endif // DATA_LINE_H
