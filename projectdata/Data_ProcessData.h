#ifndef DATA_PROCESSDATA_H
#define DATA_PROCESSDATA_H

#include "common/OneFreqImpedance.h"
#include "store/HORM_BaseObject.h"

#include <QByteArray>

// One impedance curve of a recording, for one electric channel.
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
    Data_ProcessData(LibHORM *store, QObject *parent = nullptr);

    int getSampleChannel() const { return SampleChannel; }
    void setSampleChannel(int value);
    double getSampleFrequency() const { return SampleFrequency; }
    void setSampleFrequency(double value);
    QByteArray getData_Impedance() const { return Data_Impedance; }
    void setData_Impedance(const QByteArray &value);
    QByteArray getData_Velocity() const { return Data_Velocity; }
    void setData_Velocity(const QByteArray &value);
    int getData_SampleDataID() const { return Data_SampleDataID; }
    void setData_SampleDataID(int value);

    // Empties the vector, then appends the stored points in order; false, and no point, when the
    // stored bytes are damaged.
    bool getImpedanceData(QVector<OneFreqImpedance> &curve) const;

private:
    int SampleChannel = 0;
    double SampleFrequency = -1.0;
    QByteArray Data_Impedance;
    QByteArray Data_Velocity;
    int Data_SampleDataID = -1;
};

#endif // DATA_PROCESSDATA_H
