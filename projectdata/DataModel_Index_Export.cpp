// Floating-point export of a station's channel files.
#include "projectdata/DataModel_Index.h"

#include "common/Global_Variables.h"
#include "projectdata/FloatDataExporter.h"
#include "projectdata/ProjectFolder.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"

namespace {

// One task per channel file of every recording; empty, with missing naming the recording, when a
// recording names no file (its "config.ini" row is missing), or with damage saying why its row is
// damaged: nothing of the station is exported then.
QList<FloatDataExporter::Task> exportTasks(HORM_Collection<Data_SampleData> *recordings, const QString &folder,
                                           QString *missing, QString *damage)
{
    QList<FloatDataExporter::Task> tasks;
    for (int i = 0; i < recordings->count(); ++i) {
        Data_SampleData *recording = recordings->at(i).object;
        if (!recording)
            continue;
        const SampleInfo info = recording->getSampleInfo();
        QStringList files = recording->getChannelFiles().toList();
        files.removeAll(QString());
        if (!recording->rowDamage().isEmpty()) {
            *damage = recording->rowDamage();
            return {};
        }
        if (files.isEmpty()) {
            *missing = DataModel_Index::tr("第%1条记录（%2Hz）").arg(i + 1).arg(recording->getSampleRate());
            return {};
        }
        for (const QString &file : qAsConst(files))
            tasks.append(FloatDataExporter::task(file, folder, info.ctrlParam));
    }
    return tasks;
}

} // namespace

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
    const double stationNum = station.object->getStationNum();
    const QString where = tr("线%1点%2").arg(lineName).arg(StationNumberText::text(stationNum));
    QString missing;
    QString damage;
    const QList<FloatDataExporter::Task> tasks = exportTasks(recordings, folder, &missing, &damage);
    if (!damage.isEmpty()) {
        OperatorPrompt::warning(nullptr, tr("提示"), tr("%1无法导出浮点数据！\n%2").arg(where, damage));
        return false;
    }
    if (!missing.isEmpty()) {
        OperatorPrompt::information(nullptr, tr("提示"),
                                    tr("%1的%2在config.ini中没有记录，无法导出浮点数据！").arg(where, missing));
        return false;
    }
    QString refusal;
    exportOperation = operations.begin(StationOperations::Export, lineName, stationNum, &refusal);
    if (!exportOperation) {
        OperatorPrompt::information(nullptr, tr("提示"), refusal);
        return false;
    }
    exportPlace = where;
    if (floatExporter->start(tasks))
        return true;
    operations.end(exportOperation);
    exportOperation = 0;
    return false;
}

void DataModel_Index::onFloatDataExported()
{
    operations.end(exportOperation);
    exportOperation = 0;
    emit floatDataExported();
    const QStringList failed = floatExporter->failedFiles();
    const int written = floatExporter->writtenCount();
    if (failed.isEmpty()) {
        OperatorPrompt::information(nullptr, tr("提示"),
                                    tr("%1浮点数据已经导出！\n共写出%2个文件。").arg(exportPlace).arg(written));
        return;
    }
    OperatorPrompt::warning(nullptr, tr("提示"), tr("%1浮点数据导出未完成：写出%2个文件，以下%3个文件失败：\n%4")
                                                   .arg(exportPlace)
                                                   .arg(written)
                                                   .arg(failed.size())
                                                   .arg(failed.join(QLatin1Char('\n'))));
}
