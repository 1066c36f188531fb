#ifndef DATA_PROJECT_H
#define DATA_PROJECT_H

#include "common/ProjectConfig.h"
#include "projectdata/Data_Line.h"

// The project header: one row per project database.
class Data_Project : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(QString ProjectId READ getProjectId WRITE setProjectId)
    Q_PROPERTY(QString ProjectName READ getProjectName WRITE setProjectName)
    Q_PROPERTY(QString ProjectAddress READ getProjectAddress WRITE setProjectAddress)
    Q_PROPERTY(int ProjectDate READ getProjectDate WRITE setProjectDate)
    Q_PROPERTY(QString OperatorName READ getOperatorName WRITE setOperatorName)
    Q_PROPERTY(int GMTOffset READ getGMTOffset WRITE setGMTOffset)
    Q_PROPERTY(int LinesNumbers READ getLinesNumbers WRITE setLinesNumbers)
    Q_PROPERTY(QString Note READ getNote WRITE setNote)
    Q_PROPERTY(HORM_Collection<Data_Line> *REF_Data_Line READ getREF_Data_Line RESET resetREF_Data_Line)
    Q_CLASSINFO("ProjectId", "DB")
    Q_CLASSINFO("ProjectName", "DB")
    Q_CLASSINFO("ProjectAddress", "DB")
    Q_CLASSINFO("ProjectDate", "DB")
    Q_CLASSINFO("OperatorName", "DB")
    Q_CLASSINFO("GMTOffset", "DB")
    Q_CLASSINFO("LinesNumbers", "DB")
    Q_CLASSINFO("Note", "DB")
    Q_CLASSINFO("Data_Line", "DB_REFFENCE")

public:
    Data_Project(LibHORM *store, QObject *parent = nullptr);

    QString getProjectId() const { return ProjectId; }
    void setProjectId(const QString &value);
    QString getProjectName() const { return ProjectName; }
    void setProjectName(const QString &value);
    QString getProjectAddress() const { return ProjectAddress; }
    void setProjectAddress(const QString &value);
    int getProjectDate() const { return ProjectDate; }
    void setProjectDate(int value);
    QString getOperatorName() const { return OperatorName; }
    void setOperatorName(const QString &value);
    int getGMTOffset() const { return GMTOffset; }
    void setGMTOffset(int value);
    int getLinesNumbers() const { return LinesNumbers; }
    void setLinesNumbers(int value);
    QString getNote() const { return Note; }
    void setNote(const QString &value);
    HORM_Collection<Data_Line> *getREF_Data_Line();
    void resetREF_Data_Line();

    // Sets the five header columns (the date as the start of its local day, 0 for an invalid
    // date) and saves the row.
    bool setProjectConfig(const ProjectConfig &config);
    // The header; a stored date of 0 reads as an invalid date.
    ProjectConfig getProjectConfig() const;

private:
    QString ProjectId;
    QString ProjectName;
    QString ProjectAddress;
    int ProjectDate = 0;
    QString OperatorName;
    int GMTOffset = 28800;
    int LinesNumbers = 0;
    QString Note;
    HORM_Collection<Data_Line> *REF_Data_Line = nullptr;
};

#endif // DATA_PROJECT_H
