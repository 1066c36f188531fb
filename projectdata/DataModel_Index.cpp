#include "projectdata/DataModel_Index.h"

#include "common/Global_Variables.h"
#include "projectdata/FloatDataExporter.h"
#include "projectdata/ProjectFolder.h"
#include "projectdata/StationConfigFile.h"

#include <QDir>
#include <QMenu>

DataModel_Index::DataModel_Index(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    initContextMenu();
    floatExporter = new FloatDataExporter(this);
    connect(floatExporter, &FloatDataExporter::finished, this, &DataModel_Index::onFloatDataExported);
    inputCalibrationDir = appDirPath + QStringLiteral("/InputCalibration/");
    clearTempSampleData();
    connect(this, &QTreeView::doubleClicked, this, &DataModel_Index::onDoubleClicked);
    qRegisterMetaType<QVector<OneFreqImpedance>>("QVector<OneFreqImpedance>");
    qRegisterMetaType<SampleInfo>("SampleInfo");
}

DataModel_Index::~DataModel_Index()
{
    closeProject();
    floatExporter->waitForTasks();
}

void DataModel_Index::setNewProjectDialog(Dialog_NewProject *dialog)
{
    newProjectDialog = dialog;
}

void DataModel_Index::setProjectDir(const QString &dir)
{
    projectDir = dir;
    dataDir = dir + QStringLiteral("/data");
}

QString DataModel_Index::getProjectConfigFilePath()
{
    if (projectDir.isEmpty())
        return QString();
    projectConfigFilePath = projectDir + QStringLiteral("/projectConfig.ini");
    return projectConfigFilePath;
}

QString DataModel_Index::stationFolder(int lineNum, double stationNum) const
{
    return ProjectFolder::stationFolderPath(dataDir, lineNum, stationNum);
}

bool DataModel_Index::writeStationConfigFile(int machineId, const QString &projectName, const SampleInfo &recording,
                                             const GPSPosition &position, int sampleDataNum)
{
    const QString folder = stationFolder(recording.LineNum, recording.StationNum);
    if (!QDir().mkpath(folder))
        return false;
    const StationConfigRow::StationFields station{machineId, projectName, position};
    return StationConfigFile::append(folder + QStringLiteral("/config.ini"), station, recording, sampleDataNum);
}
