// Selecting lines, stations and recordings by double click.
#include "projectdata/DataModel_Index.h"

void DataModel_Index::onDoubleClicked(const QModelIndex &index)
{
    selectedLineRow = -1;
    selectedStationRow = -1;
    if (!index.isValid())
        return;
    const QModelIndex parent = index.parent();
    if (!parent.isValid()) {
        setExpanded(index, !isExpanded(index));
        selectedLineRow = index.row();
        selectItem(index.row(), -1, -1);
        return;
    }
    const QModelIndex grandparent = parent.parent();
    if (!grandparent.isValid()) {
        selectedLineRow = parent.row();
        selectedStationRow = index.row();
        selectItem(parent.row(), index.row(), -1);
        return;
    }
    selectedLineRow = grandparent.row();
    selectedStationRow = parent.row();
    selectItem(grandparent.row(), parent.row(), index.row());
}

void DataModel_Index::selectItem(int lineRow, int stationRow, int recordingRow)
{
    bool found = false;
    int lineName = 0;
    if (stationRow == -1) {
        findStation(lineRow, -1, &found, &lineName);
        emit signalSelectLine(lineName);
        return;
    }
    HORM_CollectionItem<Data_Station> station = findStation(lineRow, stationRow, &found, &lineName);
    if (!found)
        return;
    HORM_Collection<Data_SampleData> *recordings = station.object->getREF_Data_SampleData();
    if (!recordings)
        return;
    // A station without recordings shows nothing.
    HORM_CollectionItem<Data_SampleData> recording = recordings->at(recordingRow == -1 ? 0 : recordingRow);
    if (recording.isNull())
        return;
    const SampleInfo info = recording.object->getSampleInfo();
    if (!recording.object->rowDamage().isEmpty())
        emit snackMessage(recording.object->rowDamage());
    if (recordingRow != -1) {
        emit showTimeSeries(info);
        return;
    }
    const double stationNum = station.object->getStationNum();
    showStationProcessData(lineName, stationNum, 1);
    emit signalSelectStation(info.MachineID, lineName, stationNum);
}
