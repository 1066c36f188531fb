#include "mainwindow/Form_SystemInfo.h"

#include "mainwindow/NumberText.h"
#include "mainwindow/SystemInfoTexts.h"
#include "shell/OperatorPrompt.h"
#include "ui_Form_SystemInfo.h"

#include <QListView>
#include <QStandardItemModel>

Form_SystemInfo::Form_SystemInfo(QWidget *parent)
    : QWidget(parent), ui(new Ui_Form_SystemInfo)
{
    ui->setupUi(this);
    ui->label_WatchMachineValue->setWordWrap(true);
    ui->comboBox_SampleMode->clear();
    const QStringList names = systemInfoModeNames();
    for (int mode = 0; mode < names.size(); ++mode)
        ui->comboBox_SampleMode->addItem(names.at(mode), mode);
    ui->comboBox_SampleMode->setCurrentIndex(0);
    setDeveloperMode(false);
    currentMode = 0;
    showWatchMachineDescription(0);
    // Connected last: building the panel asks nothing and announces nothing.
    connect(ui->comboBox_SampleMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Form_SystemInfo::onSlotComboboxWatchMachineChanged);
}

Form_SystemInfo::~Form_SystemInfo()
{
    delete ui;
}

int Form_SystemInfo::watchMachineType() const
{
    return ui->comboBox_SampleMode->currentIndex();
}

void Form_SystemInfo::setWatchMachineType(int mode)
{
    if (mode < 0 || mode >= watchMachineModeCount)
        return;
    currentMode = mode;
    ui->comboBox_SampleMode->setCurrentIndex(mode);
    showWatchMachineDescription(mode);
    emit signalWactchMachineChanged(mode);
}

void Form_SystemInfo::setChannelInputsConfig(const ChannelInputsConfig &config)
{
    ui->label_HxInputNum->setText(config.HxInputNum);
    ui->label_HyInputNum->setText(config.HyInputNum);
    ui->label_E0InputNum->setText(config.E0InputNum);
    ui->label_E1InputNum->setText(config.E1InputNum);
    ui->label_E2InputNum->setText(config.E2InputNum);
}

void Form_SystemInfo::setStationNumAutoConfig(const StationNumAutoConfig &config)
{
    ui->label_StepSizeValue->setText(sixDigitText(config.StationNumAutoStepSize));
    ui->label_AddDivEnableValue->setText(autoStepText(config.StationNumAutoEnable));
}

void Form_SystemInfo::showWatchMachineDescription(int mode)
{
    const auto texts = watchMachineDescription(mode);
    if (!texts)
        return;
    ui->label_WatchMachineValue->setText(texts->description);
    ui->label_E0CompareValue->setText(texts->e0Pairing);
    ui->label_E1CompareValue->setText(texts->e1Pairing);
    ui->label_E2CompareValue->setText(texts->e2Pairing);
}

void Form_SystemInfo::onSlotComboboxWatchMachineChanged(int index)
{
    if (index < 0)
        return;
    const int mode = ui->comboBox_SampleMode->itemData(index).toInt();
    if (mode == currentMode)
        return;
    const bool confirmed = OperatorPrompt::question(
        nullptr, tr("温馨提示"), tr("修改观测装置可能会删除现有采集任务列表，请确认是否修改观测装置？"));
    if (!confirmed) {
        ui->comboBox_SampleMode->setCurrentIndex(ui->comboBox_SampleMode->findData(currentMode));
        return;
    }
    showWatchMachineDescription(mode);
    emit signalWactchMachineChanged(mode);
    currentMode = mode;
}

// The developer's modes are hidden in the pop-up and disabled, so that neither the arrow keys nor
// the wheel on the closed chooser reach them.
void Form_SystemInfo::setDeveloperMode(bool ok)
{
    auto *model = qobject_cast<QStandardItemModel *>(ui->comboBox_SampleMode->model());
    auto *view = qobject_cast<QListView *>(ui->comboBox_SampleMode->view());
    for (int mode = 0; mode < watchMachineModeCount; ++mode) {
        if (!modeNeedsDeveloperMode(mode))
            continue;
        if (model && model->item(mode))
            model->item(mode)->setEnabled(ok);
        if (view)
            view->setRowHidden(mode, !ok);
    }
}
