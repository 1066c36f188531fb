#include "projectdata/Data_ProcessData.h"

#include "projectdata/ImpedanceCurve.h"

Data_ProcessData::Data_ProcessData(LibHORM *store, QObject *parent)
    : HORM_BaseObject(store, parent)
{
}

void Data_ProcessData::setSampleChannel(int value)
{
    SampleChannel = value;
    markChanged(QStringLiteral("SampleChannel"));
}

void Data_ProcessData::setSampleFrequency(double value)
{
    SampleFrequency = value;
    markChanged(QStringLiteral("SampleFrequency"));
}

void Data_ProcessData::setData_Impedance(const QByteArray &value)
{
    Data_Impedance = value;
    markChanged(QStringLiteral("Data_Impedance"));
}

void Data_ProcessData::setData_Velocity(const QByteArray &value)
{
    Data_Velocity = value;
    markChanged(QStringLiteral("Data_Velocity"));
}

void Data_ProcessData::setData_SampleDataID(int value)
{
    Data_SampleDataID = value;
    markChanged(QStringLiteral("Data_SampleDataID"));
}

bool Data_ProcessData::getImpedanceData(QVector<OneFreqImpedance> &curve) const
{
    if (ImpedanceCurve::isDamaged(Data_Impedance)) {
        curve.clear();
        return false;
    }
    curve = ImpedanceCurve::decode(Data_Impedance);
    return true;
}
