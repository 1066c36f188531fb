#ifndef STOREFIXTURES_H
#define STOREFIXTURES_H

// Small stored classes of the tests' own. The five Data_* classes follow the column lists of the
// project file, so that the statements they produce can be compared with the file format; the
// others exercise one corner each. Children are declared before their parents.

#include "store/HORM_BaseObject.h"
#include "store/HORM_Collection.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class Data_ProcessData : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(int SampleChannel READ getSampleChannel WRITE setSampleChannel)
    Q_PROPERTY(double SampleFrequency READ getSampleFrequency WRITE setSampleFrequency)
    Q_PROPERTY(QByteArray Data_Impedance READ getData_Impedance WRITE setData_Impedance)
    Q_PROPERTY(QByteArray Data_Velocity READ getData_Velocity WRITE setData_Velocity)
    Q_PROPERTY(int Data_SampleDataID READ getData_SampleDataID WRITE setData_SampleDataID)
    Q_CLASSINFO("SampleChannel", "DB")
    Q_CLASSINFO("SampleFrequency", "DB")
    Q_CLASSINFO("Data_Impedance", "DB")
    Q_CLASSINFO("Data_Velocity", "DB")
    Q_CLASSINFO("Data_SampleDataID", "DB")
    Q_CLASSINFO("Data_SampleDataID", "DB_INDEX")

public:
    Data_ProcessData(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    int getSampleChannel() const { return sampleChannel; }
    void setSampleChannel(int value) { sampleChannel = value; markChanged("SampleChannel"); }
    double getSampleFrequency() const { return sampleFrequency; }
    void setSampleFrequency(double value) { sampleFrequency = value; markChanged("SampleFrequency"); }
    QByteArray getData_Impedance() const { return impedance; }
    void setData_Impedance(const QByteArray &value) { impedance = value; markChanged("Data_Impedance"); }
    QByteArray getData_Velocity() const { return velocity; }
    void setData_Velocity(const QByteArray &value) { velocity = value; markChanged("Data_Velocity"); }
    int getData_SampleDataID() const { return sampleDataId; }
    void setData_SampleDataID(int value) { sampleDataId = value; markChanged("Data_SampleDataID"); }

private:
    int sampleChannel = 0;
    double sampleFrequency = -1.0;
    QByteArray impedance;
    QByteArray velocity;
    int sampleDataId = -1;
};

class Data_SampleData : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(int SampleDataNum READ getSampleDataNum WRITE setSampleDataNum)
    Q_PROPERTY(int SampleRate READ getSampleRate WRITE setSampleRate)
    Q_PROPERTY(int Use READ getUse WRITE setUse)
    Q_PROPERTY(int Data_StationID READ getData_StationID WRITE setData_StationID)
    Q_PROPERTY(HORM_Collection<Data_ProcessData> *REF_Data_ProcessData READ getREF_Data_ProcessData RESET resetREF_Data_ProcessData)
    Q_CLASSINFO("SampleDataNum", "DB")
    Q_CLASSINFO("SampleRate", "DB")
    Q_CLASSINFO("Use", "DB")
    Q_CLASSINFO("Data_StationID", "DB")
    Q_CLASSINFO("Data_StationID", "DB_INDEX")
    Q_CLASSINFO("Data_ProcessData", "DB_REFFENCE")

public:
    Data_SampleData(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    int getSampleDataNum() const { return sampleDataNum; }
    void setSampleDataNum(int value) { sampleDataNum = value; markChanged("SampleDataNum"); }
    int getSampleRate() const { return sampleRate; }
    void setSampleRate(int value) { sampleRate = value; markChanged("SampleRate"); }
    int getUse() const { return use; }
    void setUse(int value) { use = value; markChanged("Use"); }
    int getData_StationID() const { return stationId; }
    void setData_StationID(int value) { stationId = value; markChanged("Data_StationID"); }
    HORM_Collection<Data_ProcessData> *getREF_Data_ProcessData() { loadReferences(); return curves; }
    void resetREF_Data_ProcessData() { curves = createChildCollection<Data_ProcessData>(); }

private:
    int sampleDataNum = 0;
    int sampleRate = 0;
    int use = 0;
    int stationId = -1;
    HORM_Collection<Data_ProcessData> *curves = nullptr;
};

class Data_Station : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(double StationNum READ getStationNum WRITE setStationNum)
    Q_PROPERTY(int Use READ getUse WRITE setUse)
    Q_PROPERTY(double GPS_Latitude READ getGPS_Latitude WRITE setGPS_Latitude)
    Q_PROPERTY(double GPS_Longtitude READ getGPS_Longtitude WRITE setGPS_Longtitude)
    Q_PROPERTY(double GPS_Elevation READ getGPS_Elevation WRITE setGPS_Elevation)
    Q_PROPERTY(int SampleNumbers READ getSampleNumbers WRITE setSampleNumbers)
    Q_PROPERTY(int Data_LineID READ getData_LineID WRITE setData_LineID)
    Q_PROPERTY(HORM_Collection<Data_SampleData> *REF_Data_SampleData READ getREF_Data_SampleData RESET resetREF_Data_SampleData)
    Q_CLASSINFO("StationNum", "DB")
    Q_CLASSINFO("Use", "DB")
    Q_CLASSINFO("GPS_Latitude", "DB")
    Q_CLASSINFO("GPS_Longtitude", "DB")
    Q_CLASSINFO("GPS_Elevation", "DB")
    Q_CLASSINFO("SampleNumbers", "DB")
    Q_CLASSINFO("Data_LineID", "DB")
    Q_CLASSINFO("Data_LineID", "DB_INDEX")
    Q_CLASSINFO("Data_SampleData", "DB_REFFENCE")

public:
    Data_Station(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    double getStationNum() const { return stationNum; }
    void setStationNum(double value) { stationNum = value; markChanged("StationNum"); }
    int getUse() const { return use; }
    void setUse(int value) { use = value; markChanged("Use"); }
    double getGPS_Latitude() const { return latitude; }
    void setGPS_Latitude(double value) { latitude = value; markChanged("GPS_Latitude"); }
    double getGPS_Longtitude() const { return longitude; }
    void setGPS_Longtitude(double value) { longitude = value; markChanged("GPS_Longtitude"); }
    double getGPS_Elevation() const { return elevation; }
    void setGPS_Elevation(double value) { elevation = value; markChanged("GPS_Elevation"); }
    int getSampleNumbers() const { return sampleNumbers; }
    void setSampleNumbers(int value) { sampleNumbers = value; markChanged("SampleNumbers"); }
    int getData_LineID() const { return lineId; }
    void setData_LineID(int value) { lineId = value; markChanged("Data_LineID"); }
    HORM_Collection<Data_SampleData> *getREF_Data_SampleData() { loadReferences(); return recordings; }
    void resetREF_Data_SampleData() { recordings = createChildCollection<Data_SampleData>(); }

private:
    double stationNum = -1.0;
    int use = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double elevation = 0.0;
    int sampleNumbers = 0;
    int lineId = -1;
    HORM_Collection<Data_SampleData> *recordings = nullptr;
};

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
    Data_Line(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    int getLineName() const { return lineName; }
    void setLineName(int value) { lineName = value; markChanged("LineName"); }
    int getUse() const { return use; }
    void setUse(int value) { use = value; markChanged("Use"); }
    QString getNote() const { return note; }
    void setNote(const QString &value) { note = value; markChanged("Note"); }
    int getData_ProjectID() const { return projectId; }
    void setData_ProjectID(int value) { projectId = value; markChanged("Data_ProjectID"); }
    HORM_Collection<Data_Station> *getREF_Data_Station() { loadReferences(); return stations; }
    void resetREF_Data_Station() { stations = createChildCollection<Data_Station>(); }

private:
    int lineName = -1;
    int use = 0;
    QString note;
    int projectId = -1;
    HORM_Collection<Data_Station> *stations = nullptr;
};

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
    Data_Project(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    QString getProjectId() const { return projectId; }
    void setProjectId(const QString &value) { projectId = value; markChanged("ProjectId"); }
    QString getProjectName() const { return projectName; }
    void setProjectName(const QString &value) { projectName = value; markChanged("ProjectName"); }
    QString getProjectAddress() const { return projectAddress; }
    void setProjectAddress(const QString &value) { projectAddress = value; markChanged("ProjectAddress"); }
    int getProjectDate() const { return projectDate; }
    void setProjectDate(int value) { projectDate = value; markChanged("ProjectDate"); }
    QString getOperatorName() const { return operatorName; }
    void setOperatorName(const QString &value) { operatorName = value; markChanged("OperatorName"); }
    int getGMTOffset() const { return gmtOffset; }
    void setGMTOffset(int value) { gmtOffset = value; markChanged("GMTOffset"); }
    int getLinesNumbers() const { return linesNumbers; }
    void setLinesNumbers(int value) { linesNumbers = value; markChanged("LinesNumbers"); }
    QString getNote() const { return note; }
    void setNote(const QString &value) { note = value; markChanged("Note"); }
    HORM_Collection<Data_Line> *getREF_Data_Line() { loadReferences(); return lines; }
    void resetREF_Data_Line() { lines = createChildCollection<Data_Line>(); }

private:
    QString projectId;
    QString projectName;
    QString projectAddress;
    int projectDate = 0;
    QString operatorName;
    int gmtOffset = 28800;
    int linesNumbers = 0;
    QString note;
    HORM_Collection<Data_Line> *lines = nullptr;
};

// One column of each kind, and a deferred ("DB_GetOnUse") column that collections do not load.
class Sample_Values : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(bool Flag READ getFlag WRITE setFlag)
    Q_PROPERTY(qlonglong Big READ getBig WRITE setBig)
    Q_PROPERTY(double Real READ getReal WRITE setReal)
    Q_PROPERTY(QString Text READ getText WRITE setText)
    Q_PROPERTY(QByteArray Bytes READ getBytes WRITE setBytes)
    Q_PROPERTY(QByteArray Deferred READ getDeferred WRITE setDeferred)
    Q_CLASSINFO("Flag", "DB")
    Q_CLASSINFO("Big", "DB")
    Q_CLASSINFO("Real", "DB")
    Q_CLASSINFO("Text", "DB")
    Q_CLASSINFO("Bytes", "DB")
    Q_CLASSINFO("Deferred", "DB")
    Q_CLASSINFO("Deferred", "DB_GetOnUse")

public:
    Sample_Values(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    bool getFlag() const { return flag; }
    void setFlag(bool value) { flag = value; markChanged("Flag"); }
    qlonglong getBig() const { return big; }
    void setBig(qlonglong value) { big = value; markChanged("Big"); }
    double getReal() const { return real; }
    void setReal(double value) { real = value; markChanged("Real"); }
    QString getText() const { return text; }
    void setText(const QString &value) { text = value; markChanged("Text"); }
    QByteArray getBytes() const { return bytes; }
    void setBytes(const QByteArray &value) { bytes = value; markChanged("Bytes"); }
    QByteArray getDeferred() const { return deferred; }
    void setDeferred(const QByteArray &value) { deferred = value; markChanged("Deferred"); }

private:
    bool flag = false;
    qlonglong big = -7;
    double real = -1.0;
    QString text;
    QByteArray bytes;
    QByteArray deferred;
};

// Only the key is stored: there is nothing to insert.
class Key_Only : public HORM_BaseObject
{
    Q_OBJECT

public:
    Key_Only(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}
};

// Declares a column without a property, and a property of a type that has no SQL type.
class Odd_Columns : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(QDate Day READ getDay WRITE setDay)
    Q_CLASSINFO("Ghost", "DB")
    Q_CLASSINFO("Day", "DB")

public:
    Odd_Columns(LibHORM *store, QObject *parent = nullptr) : HORM_BaseObject(store, parent) {}

    QDate getDay() const { return day; }
    void setDay(const QDate &value) { day = value; markChanged("Day"); }

private:
    QDate day;
};

// Not a stored class: no "DB" entry at all.
class Not_Stored : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Value READ getValue)

public:
    int getValue() const { return 0; }
};

#endif // STOREFIXTURES_H
