// Floating-point export of a station's channel files.
#include "projectdata/DataModel_Index.h"

#include "common/Global_Variables.h"
#include "projectdata/FloatDataExporter.h"
#include "projectdata/ProjectFolder.h"
#include "shell/OperatorPrompt.h"

void DataModel_Index::getStationRawDataToFloatData()
{
    if (selectedLineRow != -1 || selectedStationRow != -1)
        getStationFloatData(selectedLineRow, selectedStationRow);
}

bool DataModel_Index::isExportRunning() const
{
    return floatExporter->isRunning();
}

bool DataModel_Index::getStationFloatData(int lineRow, int stationRow)
{
    if (floatExporter->isRunning()) {
        OperatorPrompt::information(nullptr, tr("提示"), tr("浮点数据正在导出，请稍后再试！"));
        return false;
    }
    bool found = false;
    int lineName = 0;
    HORM_CollectionItem<Data_Station> station = findStation(lineRow, stationRow, &found, &lineName);
    HORM_Collection<Data_SampleData> *recordings = found ? station.object->getREF_Data_SampleData() : nullptr;
    const QString folder = appDirPath + QStringLiteral("/TempFile");
    if (!recordings || recordings->count() == 0 || !makeDirIfMissing(folder))
        return false;
    QList<FloatDataExporter::Task> tasks;
    for (int i = 0; i < recordings->count(); ++i) {
        Data_SampleData *recording = recordings->at(i).object;
        if (!recording)
            continue;
        const SampleInfo info = recording->getSampleInfo();
        for (const QString &file : recording->getChannelFiles())
            tasks.append(FloatDataExporter::task(file, folder, info.ctrlParam));
    }
    exportDoneText = tr("线%1点%2浮点数据已经导出！").arg(lineName).arg(QString::number(station.object->getStationNum(), 'g', 6));
    return floatExporter->start(tasks);
}

void DataModel_Index::onFloatDataExported()
{
    emit floatDataExported();
    OperatorPrompt::information(nullptr, tr("提示"), exportDoneText);
}
