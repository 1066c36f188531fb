#include "projectdata/Data_Station.h"

#include "projectdata/ImpedanceCurve.h"

Data_Station::Data_Station(LibHORM *store, QObject *parent)
    : HORM_BaseObject(store, parent)
{
}

void Data_Station::setStationNum(double value)
{
    StationNum = value;
    markChanged(QStringLiteral("StationNum"));
}

void Data_Station::setUse(int value)
{
    Use = value;
    markChanged(QStringLiteral("Use"));
}

void Data_Station::setGPS_Latitude(double value)
{
    GPS_Latitude = value;
    markChanged(QStringLiteral("GPS_Latitude"));
}

void Data_Station::setGPS_Longtitude(double value)
{
    GPS_Longtitude = value;
    markChanged(QStringLiteral("GPS_Longtitude"));
}

void Data_Station::setGPS_Elevation(double value)
{
    GPS_Elevation = value;
    markChanged(QStringLiteral("GPS_Elevation"));
}

void Data_Station::setSampleNumbers(int value)
{
    SampleNumbers = value;
    markChanged(QStringLiteral("SampleNumbers"));
}

void Data_Station::setData_LineID(int value)
{
    Data_LineID = value;
    markChanged(QStringLiteral("Data_LineID"));
}

HORM_Collection<Data_SampleData> *Data_Station::getREF_Data_SampleData()
{
    loadReferences();
    return REF_Data_SampleData;
}

void Data_Station::resetREF_Data_SampleData()
{
    REF_Data_SampleData = createChildCollection<Data_SampleData>();
}

QVector<OneFreqImpedance> Data_Station::mergeImpedanceData(const QList<QVector<OneFreqImpedance>> &curves)
{
    return ImpedanceCurve::merge(curves);
}

void Data_Station::getProcessData(QVector<OneFreqImpedance> &e0, QVector<OneFreqImpedance> &e1,
                                  QVector<OneFreqImpedance> &e2, QStringList *damaged)
{
    HORM_Collection<Data_SampleData> *recordings = getREF_Data_SampleData();
    if (!recordings || recordings->count() == 0)
        return;
    QList<QVector<OneFreqImpedance>> perChannel[3];
    for (int i = 0; i < recordings->count(); ++i) {
        HORM_CollectionItem<Data_SampleData> item = recordings->at(i);
        if (item.isNull() || item.object->getUse() == 0)
            continue;
        QList<int> damagedChannels;
        for (const ChannelImpedance &curve : item.object->getProcessData(&damagedChannels)) {
            if (curve.channel >= 0 && curve.channel <= 2)
                perChannel[curve.channel].append(curve.curve);
        }
        for (int channel : qAsConst(damagedChannels)) {
            if (damaged)
                damaged->append(QObject::tr("第%1条记录（%2Hz）E%3").arg(i + 1).arg(item.object->getSampleRate()).arg(channel));
        }
    }
    e0 = mergeImpedanceData(perChannel[0]);
    e1 = mergeImpedanceData(perChannel[1]);
    e2 = mergeImpedanceData(perChannel[2]);
}
