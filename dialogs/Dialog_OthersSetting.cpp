#include "dialogs/Dialog_OthersSetting.h"

#include "dialogs/DialogCloseGuard.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Dialog_OthersSetting::Dialog_OthersSetting(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("步长设置"));
    resize(220, 140);
    groupBox = new QGroupBox(tr("步长设置"), this);
    stepLabel = new QLabel(tr("步长："), groupBox);
    stepLineEdit = new QLineEdit(tr("25"), groupBox);
    stepLineEdit->setAlignment(Qt::AlignRight);
    stepLineEdit->setValidator(new QIntValidator(-65535, 65536, this));
    unitLabel = new QLabel(tr("米"), groupBox);
    autoCheckBox = new QCheckBox(tr("自动改变点号"), groupBox);
    confirmButton = new QPushButton(tr("确定"), this);
    cancelButton = new QPushButton(tr("取消"), this);

    auto *stepRow = new QHBoxLayout;
    stepRow->addWidget(stepLabel);
    stepRow->addWidget(stepLineEdit);
    stepRow->addWidget(unitLabel);
    auto *groupLayout = new QVBoxLayout(groupBox);
    groupLayout->addLayout(stepRow);
    groupLayout->addWidget(autoCheckBox);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(confirmButton);
    buttonRow->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(groupBox);
    layout->addLayout(buttonRow);

    connect(confirmButton, &QPushButton::clicked, this, &Dialog_OthersSetting::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &Dialog_OthersSetting::realClose);
    connect(autoCheckBox, &QCheckBox::toggled, stepLineEdit, &QLineEdit::setEnabled);
    stepLineEdit->setEnabled(autoCheckBox->isChecked());
}

Dialog_OthersSetting::~Dialog_OthersSetting() = default;

void Dialog_OthersSetting::othersSettingDialogShow()
{
    confirmButton->setFocus();
    exec();
}

StationNumAutoConfig Dialog_OthersSetting::getStationNumAutoConfig()
{
    stationNumAutoConfig.StationNumAutoStepSize = stepLineEdit->text().toDouble();
    stationNumAutoConfig.StationNumAutoEnable = autoCheckBox->isChecked();
    return stationNumAutoConfig;
}

void Dialog_OthersSetting::setStationNumAutoConfig(StationNumAutoConfig config)
{
    stationNumAutoConfig = config;
    autoCheckBox->setChecked(config.StationNumAutoEnable);
    stepLineEdit->setText(QString::number(config.StationNumAutoStepSize, 'g', 6));
    emit signalStationNumAutoConfig(stationNumAutoConfig);
}

void Dialog_OthersSetting::confirm()
{
    emit signalStationNumAutoConfig(getStationNumAutoConfig());
    mayClose = true;
    close();
}

void Dialog_OthersSetting::realClose()
{
    mayClose = true;
    close();
}

void Dialog_OthersSetting::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}
