#ifndef DATA_STATION_H
#define DATA_STATION_H

#include "projectdata/Data_SampleData.h"

// One station of a line, with its recordings.
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
    Q_PROPERTY(HORM_Collection<Data_SampleData> *REF_Data_SampleData READ getREF_Data_SampleData RESET
                   resetREF_Data_SampleData)
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
    Data_Station(LibHORM *store, QObject *parent = nullptr);

    double getStationNum() const { return StationNum; }
    void setStationNum(double value);
    int getUse() const { return Use; }
    void setUse(int value);
    double getGPS_Latitude() const { return GPS_Latitude; }
    void setGPS_Latitude(double value);
    double getGPS_Longtitude() const { return GPS_Longtitude; }
    void setGPS_Longtitude(double value);
    double getGPS_Elevation() const { return GPS_Elevation; }
    void setGPS_Elevation(double value);
    int getSampleNumbers() const { return SampleNumbers; }
    void setSampleNumbers(int value);
    int getData_LineID() const { return Data_LineID; }
    void setData_LineID(int value);
    HORM_Collection<Data_SampleData> *getREF_Data_SampleData();
    void resetREF_Data_SampleData();

    // The station's merged curve per channel from its recordings in use; all three are left as
    // they were when the station has no recording.
    // The merged curves of the recordings in use; damaged, when given, lists the stored curves left
    // out as damaged ("第2条记录（4000Hz）E0").
    void getProcessData(QVector<OneFreqImpedance> &e0, QVector<OneFreqImpedance> &e1, QVector<OneFreqImpedance> &e2,
                        QStringList *damaged = nullptr);
    static QVector<OneFreqImpedance> mergeImpedanceData(const QList<QVector<OneFreqImpedance>> &curves);

private:
    double StationNum = -1.0;
    int Use = 0;
    double GPS_Latitude = 0.0;
    double GPS_Longtitude = 0.0;
    double GPS_Elevation = 0.0;
    int SampleNumbers = 0;
    int Data_LineID = -1;
    HORM_Collection<Data_SampleData> *REF_Data_SampleData = nullptr;
};

#endif // DATA_STATION_H
