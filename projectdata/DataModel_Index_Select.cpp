// Selecting lines, stations and recordings by double click.
#include "projectdata/DataModel_Index.h"

#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"

namespace {

// A recording whose "config.ini" row gave it a rate and a duration.
bool hasReadableRow(const SampleInfo &info)
{
    const CtrlParam &c = info.ctrlParam;
    const qint64 seconds = qint64(c.SampleTimeHour) * 3600 + qint64(c.SampleTimeMinute) * 60 + c.SampleTimeSecond;
    return c.SampleRate > 0 && seconds > 0;
}

} // namespace

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
        if (!hasReadableRow(info))
            OperatorPrompt::warning(nullptr, tr("提示"),
                                    tr("线%1点%2第%3条记录（%4Hz）在config.ini中的行无法读取（采样率或采样时间缺失），"
                                       "无法显示时间序列。")
                                        .arg(lineName)
                                        .arg(StationNumberText::text(station.object->getStationNum()))
                                        .arg(recordingRow + 1)
                                        .arg(recording.object->getSampleRate()));
        return;
    }
    const double stationNum = station.object->getStationNum();
    showStationProcessData(lineName, stationNum, 1);
    emit signalSelectStation(info.MachineID, lineName, stationNum);
}
