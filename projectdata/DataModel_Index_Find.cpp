// Finding the stored entities behind tree positions and numbers.
#include "projectdata/DataModel_Index.h"

Data_Project *DataModel_Index::projectRow()
{
    if (!projectCollection)
        return nullptr;
    HORM_CollectionItem<Data_Project> item = projectCollection->at(0);
    return item.isNull() ? nullptr : item.object;
}

bool DataModel_Index::isProjectEmpty()
{
    Data_Project *project = projectRow();
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    return !lines || lines->count() == 0;
}

// The stations of the line at the row, setting lineName when given; null when there is none.
HORM_Collection<Data_Station> *DataModel_Index::stationsOfLine(int lineRow, int *lineName)
{
    Data_Project *project = projectRow();
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    if (!lines || lineRow < 0 || lineRow >= lines->count())
        return nullptr;
    HORM_CollectionItem<Data_Line> line = lines->at(lineRow);
    if (line.isNull())
        return nullptr;
    if (lineName)
        *lineName = line.object->getLineName();
    return line.object->getREF_Data_Station();
}

HORM_CollectionItem<Data_Station> DataModel_Index::findStation(int lineRow, int stationRow, bool *found, int *lineName)
{
    *found = false;
    if (lineRow == -1 && stationRow == -1)
        return {};
    HORM_Collection<Data_Station> *stations = stationsOfLine(lineRow, lineName);
    if (!stations || stationRow < 0 || stationRow >= stations->count())
        return {};
    HORM_CollectionItem<Data_Station> station = stations->at(stationRow);
    *found = !station.isNull();
    return station;
}

// The stations of the first line with the number; null when there is none.
HORM_Collection<Data_Station> *DataModel_Index::stationsOfLineNumber(int lineNumber)
{
    Data_Project *project = projectRow();
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    for (int i = 0; lines && i < lines->count(); ++i) {
        HORM_CollectionItem<Data_Line> line = lines->at(i);
        if (!line.isNull() && line.object->getLineName() == lineNumber)
            return line.object->getREF_Data_Station();
    }
    return nullptr;
}

// Station numbers are compared exactly: 112.5 is not station 112.
HORM_CollectionItem<Data_Station> DataModel_Index::findStationByNumber(int lineNumber, double stationNumber, bool *found)
{
    *found = false;
    HORM_Collection<Data_Station> *stations = stationsOfLineNumber(lineNumber);
    for (int j = 0; stations && j < stations->count(); ++j) {
        HORM_CollectionItem<Data_Station> station = stations->at(j);
        if (!station.isNull() && station.object->getStationNum() == stationNumber) {
            *found = true;
            return station;
        }
    }
    return {};
}
