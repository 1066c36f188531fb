#include "dialogs/Dialog_InputsSetting.h"

#include "ui_Dialog_InputsSetting.h"

#include "common/CalibrationFiles.h"
#include "common/Global_Variables.h"
#include "dialogs/ComboPopupViews.h"
#include "dialogs/DialogCloseGuard.h"
#include "shell/OperatorPrompt.h"

#include <QDir>

namespace {
const char *const notSet = "未设置";
}

Dialog_InputsSetting::Dialog_InputsSetting(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_InputsSetting)
{
    ui->setupUi(this);
    installComboPopupViews(this);
    channelInputsConfig = ChannelInputsConfig();
    refreshInputCalibrationList();
}

Dialog_InputsSetting::~Dialog_InputsSetting()
{
    delete ui;
}

void Dialog_InputsSetting::refreshInputCalibrationList()
{
    const QList<QComboBox *> coils = {ui->comboBox_HxInputNum, ui->comboBox_HyInputNum};
    const QList<QComboBox *> electrodes = {ui->comboBox_E0InputNum, ui->comboBox_E1InputNum,
                                           ui->comboBox_E2InputNum};
    for (QComboBox *combo : coils + electrodes) {
        combo->clear();
        combo->addItem(tr(notSet));
    }
    const QString folder = appDirPath + "/InputCalibration";
    if (!QDir(folder).exists()) {
        OperatorPrompt::critical(nullptr, tr("提醒"), tr("存放仪器校验文件的目录未找到！路径为%1。").arg(folder));
        return;
    }
    for (const QString &fileName : CalibrationFiles::listTables(folder)) {
        const QString name = CalibrationFiles::baseName(fileName);
        if (name.contains('E')) {
            for (QComboBox *combo : electrodes)
                combo->addItem(name);
        }
        if (name.contains("ICMS") || name.contains("IMFS")) {
            for (QComboBox *combo : coils)
                combo->addItem(name);
        }
    }
}

void Dialog_InputsSetting::selectStoredNames()
{
    const QList<QPair<QComboBox *, QString>> pairs = {
        {ui->comboBox_HxInputNum, channelInputsConfig.HxInputNum},
        {ui->comboBox_HyInputNum, channelInputsConfig.HyInputNum},
        {ui->comboBox_E0InputNum, channelInputsConfig.E0InputNum},
        {ui->comboBox_E1InputNum, channelInputsConfig.E1InputNum},
        {ui->comboBox_E2InputNum, channelInputsConfig.E2InputNum},
    };
    for (const auto &pair : pairs) {
        const int index = pair.first->findText(pair.second, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            pair.first->setCurrentIndex(index);
    }
}

void Dialog_InputsSetting::inputsSettingDialogShow()
{
    refreshInputCalibrationList();
    selectStoredNames();
    ui->pushButton_Sure->setFocus();
    exec();
}

void Dialog_InputsSetting::setChannelInputsConfig(ChannelInputsConfig config)
{
    channelInputsConfig = config;
    refreshInputCalibrationList();
    selectStoredNames();
    emit signalChannelInputsConfig(channelInputsConfig);
}

ChannelInputsConfig Dialog_InputsSetting::getChannelInputsConfig()
{
    channelInputsConfig.HxInputNum = ui->comboBox_HxInputNum->currentText();
    channelInputsConfig.HyInputNum = ui->comboBox_HyInputNum->currentText();
    channelInputsConfig.E0InputNum = ui->comboBox_E0InputNum->currentText();
    channelInputsConfig.E1InputNum = ui->comboBox_E1InputNum->currentText();
    channelInputsConfig.E2InputNum = ui->comboBox_E2InputNum->currentText();
    return channelInputsConfig;
}

void Dialog_InputsSetting::on_pushButton_Sure_clicked()
{
    emit signalChannelInputsConfig(getChannelInputsConfig());
    mayClose = true;
    close();
}

void Dialog_InputsSetting::on_pushButton_Cancel_clicked()
{
    mayClose = true;
    close();
}

void Dialog_InputsSetting::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}
