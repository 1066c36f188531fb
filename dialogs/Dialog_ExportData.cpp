#include "dialogs/Dialog_ExportData.h"

#include "ui_Dialog_ExportData.h"

#include "common/PreSampleLineNum.h"
#include "dialogs/ComboPopupViews.h"
#include "dialogs/DeviceListing.h"
#include "dialogs/DialogCloseGuard.h"
#include "shell/OperatorPrompt.h"

#include <limits>

namespace {
const int noSelection = -PreSampleLineNum;
const int allLines = std::numeric_limits<int>::max();
const double allStations = std::numeric_limits<int>::max();

// Chooses the item with this text, when there is one.
void chooseText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
}
} // namespace

Dialog_ExportData::Dialog_ExportData(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_ExportData)
{
    ui->setupUi(this);
    installComboPopupViews(this);
    ui->comboBox_ProjectName->clear();
    ui->comboBox_SelectLine->clear();
    ui->comboBox_SelectStation->clear();
    ui->comboBox_ProjectName->setEnabled(false);
    lineNum = noSelection;
    stationNum = noSelection;
    connect(ui->pushButton_ExportDara, &QPushButton::clicked, this, &Dialog_ExportData::onExportDara);
    connect(ui->pushButton_CancelExport, &QPushButton::clicked, this, &Dialog_ExportData::onCancelExport);
    connect(ui->comboBox_SelectLine, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Dialog_ExportData::selectLineChanged);
}

Dialog_ExportData::~Dialog_ExportData()
{
    delete ui;
}

void Dialog_ExportData::parseProjectNameList(QByteArray *text)
{
    const DeviceListing::ProjectNames names = DeviceListing::parseProjectNameList(text ? *text : QByteArray());
    projectNameMap = names.nameById;
    projectIdList = names.ids;
}

void Dialog_ExportData::parseDeviceFileList(QByteArray *text)
{
    keepShownChoice();
    const auto projects = DeviceListing::parseStorageListing(text ? *text : QByteArray(), projectNameMap, "AMTNone");
    deviceProjectList = DeviceListing::toReadBackRecords(projects);
    fillProjectCombo();
}

void Dialog_ExportData::fillProjectCombo()
{
    if (deviceProjectList.isEmpty())
        return;
    ui->comboBox_ProjectName->clear();
    ui->comboBox_SelectLine->clear();
    ui->comboBox_SelectStation->clear();
    for (int i = 0; i < projectIdList.size(); ++i)
        ui->comboBox_ProjectName->addItem(projectNameMap.value(projectIdList.at(i)), i);
}

void Dialog_ExportData::setLineList(const QList<DeviceLineInfo> &lines)
{
    currentLines = lines;
    ui->comboBox_SelectLine->clear();
    ui->comboBox_SelectStation->clear();
    if (lines.isEmpty())
        return;
    ui->comboBox_SelectLine->addItem(tr("所有线"), 0);
    for (int i = 0; i < lines.size(); ++i)
        ui->comboBox_SelectLine->addItem(QString::number(lines.at(i).lineNum), i + 1);
}

void Dialog_ExportData::selectLineChanged(int index)
{
    if (index < 0)
        return;
    ui->comboBox_SelectStation->clear();
    ui->comboBox_SelectStation->addItem(tr("所有点"), 0);
    if (index == 0 || index > currentLines.size())
        return;
    const QList<double> &stations = currentLines.at(index - 1).stations;
    for (int j = 0; j < stations.size(); ++j)
        ui->comboBox_SelectStation->addItem(DeviceListing::formatStationNumber(stations.at(j)), j + 1);
}

void Dialog_ExportData::projIDChanged(QString projID)
{
    for (DeviceProjectInfo &project : deviceProjectList) {
        if (project.projectId != projID)
            continue;
        if (project.projectName == "AMTNone")
            project.projectName = projectNameMap.value(projID);
        setLineList(project.lines);
        return;
    }
}

int Dialog_ExportData::exportDataDialogShow(QString openProjectName, QString openProjectId)
{
    // A listing that arrives while the dialog is open only rebuilds its contents.
    if (isVisible()) {
        keepShownChoice();
        showOpenProject(openProjectName, openProjectId);
        restoreShownChoice();
        return 0;
    }
    showOpenProject(openProjectName, openProjectId);
    const QString instrumentName = projectNameMap.value(openProjectId);
    if (instrumentName != openProjectName) {
        OperatorPrompt::information(nullptr, tr("提示"),
                                    tr("%1与工程%2的工程ID相同。\n请检查！").arg(openProjectName, instrumentName));
    }
    preselectLineStation();
    ui->pushButton_ExportDara->setFocus();
    return exec();
}

void Dialog_ExportData::showOpenProject(const QString &openProjectName, const QString &openProjectId)
{
    ui->comboBox_ProjectName->setEnabled(false);
    if (!projectNameMap.contains(openProjectId)) {
        projectNameMap.insert(openProjectId, openProjectName);
        projectIdList.append(openProjectId);
        fillProjectCombo();
    }
    ui->comboBox_ProjectName->setCurrentIndex(projectIdList.indexOf(openProjectId));
    projIDChanged(openProjectId);
}

// Only while the dialog is open; boxes emptied by a listing keep what was kept before them.
void Dialog_ExportData::keepShownChoice()
{
    if (!isVisible() || ui->comboBox_SelectLine->count() == 0)
        return;
    keptLine = ui->comboBox_SelectLine->currentText();
    keptStation = ui->comboBox_SelectStation->currentText();
}

void Dialog_ExportData::restoreShownChoice()
{
    chooseText(ui->comboBox_SelectLine, keptLine);
    chooseText(ui->comboBox_SelectStation, keptStation);
    keptLine.clear();
    keptStation.clear();
}

void Dialog_ExportData::preselectLineStation()
{
    if (lineNum == noSelection || stationNum == noSelection) {
        ui->comboBox_SelectLine->setCurrentIndex(ui->comboBox_SelectLine->count() > 0 ? 0 : -1);
        ui->comboBox_SelectStation->setCurrentIndex(ui->comboBox_SelectStation->count() > 0 ? 0 : -1);
        return;
    }
    chooseText(ui->comboBox_SelectLine, QString::number(lineNum));
    chooseText(ui->comboBox_SelectStation, DeviceListing::formatStationNumber(stationNum));
}

void Dialog_ExportData::onExportDara()
{
    const int projectIndex = ui->comboBox_ProjectName->currentIndex();
    projectName = ui->comboBox_ProjectName->currentText();
    projectId = projectIndex >= 0 && projectIndex < projectIdList.size() ? projectIdList.at(projectIndex) : QString();
    const int lineIndex = ui->comboBox_SelectLine->currentIndex();
    if (lineIndex < 0 || lineIndex > currentLines.size())
        return;
    int line = allLines;
    double station = allStations;
    if (lineIndex > 0) {
        const DeviceLineInfo &chosen = currentLines.at(lineIndex - 1);
        line = chosen.lineNum;
        const int stationIndex = ui->comboBox_SelectStation->currentIndex();
        if (stationIndex > 0 && stationIndex <= chosen.stations.size())
            station = chosen.stations.at(stationIndex - 1);
    }
    emit signalExportDataSelectLineStation(projectName, projectId, line, station);
    lineNum = noSelection;
    mayClose = true;
    stationNum = noSelection;
    close();
}

void Dialog_ExportData::onCancelExport()
{
    mayClose = true;
    close();
    clearExportSelection();
}

void Dialog_ExportData::realClose()
{
    mayClose = true;
    close();
}

void Dialog_ExportData::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}

QString Dialog_ExportData::getProjectName() const
{
    return projectName;
}

QString Dialog_ExportData::getProjectId() const
{
    return projectId;
}

QList<DeviceProjectInfo> Dialog_ExportData::getDeviceProjectList() const
{
    return deviceProjectList;
}

void Dialog_ExportData::setLineStation(ExportLineStation value)
{
    lineNum = value.lineNum;
    stationNum = value.stationNum;
}

void Dialog_ExportData::clearExportSelection()
{
    ui->comboBox_ProjectName->clear();
    ui->comboBox_SelectLine->clear();
    ui->comboBox_SelectStation->clear();
    deviceProjectList.clear();
    currentLines.clear();
    lineNum = noSelection;
    stationNum = noSelection;
}
