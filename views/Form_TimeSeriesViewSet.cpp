#include "views/Form_TimeSeriesViewSet.h"

#include "common/Global_Constants.h"
#include "shell/OperatorPrompt.h"
#include "views/ChannelRows.h"
#include "ui_Form_TimeSeriesViewSet.h"

#include <QIntValidator>

namespace {

// Observation modes whose channel boxes differ from "all ticked".
enum { ScalarMode = 0, VectorMode = 1, CopointMultipolarityMode = 2, OverWaterTestMode = 5 };

} // namespace

Form_TimeSeriesViewSet::Form_TimeSeriesViewSet(QWidget *parent)
    : QWidget(parent), ui(new Ui_Form_TimeSeriesViewSet)
{
    ui->setupUi(this);
    for (int row = 0; row < ChannelRowCount; ++row) {
        channelBox(row)->setChecked(true);
        channelRowFlag(channelsUseInfo, row) = true;
        connect(channelBox(row), &QCheckBox::stateChanged, this, &Form_TimeSeriesViewSet::onCheckBoxsStateChanged);
    }
    for (int size : viewSizeList)
        ui->comboBox_ViewSize->addItem(QString::number(size), size);
    ui->comboBox_ViewSize->setCurrentText(QString::number(viewSizeList.at(5)));
    maxViewSize = viewSizeList.last();
    ui->comboBox_YViewMode->addItem("自适应", 0);
    ui->comboBox_YViewMode->addItem("最值限制", 1);
    ui->lineEdit_YAxisMax->setText(QString::number(2500));
    ui->lineEdit_YAxisMax->setValidator(new QIntValidator(-2500, 3000, this));
    ui->lineEdit_YAxisMin->setText(QString::number(-2500));
    ui->lineEdit_YAxisMin->setValidator(new QIntValidator(-3000, 2500, this));
    ui->comboBox_YViewMode->setCurrentIndex(1);
    ui->lineEdit_YAxisMax->setEnabled(true);
    ui->lineEdit_YAxisMin->setEnabled(true);
    connect(ui->comboBox_ViewSize, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Form_TimeSeriesViewSet::onComboBoxViewSizeCurrentIndexChanged);
    connect(ui->comboBox_YViewMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Form_TimeSeriesViewSet::onComboBoxYViewModeCurrentIndexChanged);
    connect(ui->lineEdit_YAxisMax, &QLineEdit::textChanged, this,
            &Form_TimeSeriesViewSet::onTimeseriesViewSetInfoChanged);
    connect(ui->lineEdit_YAxisMin, &QLineEdit::textChanged, this,
            &Form_TimeSeriesViewSet::onTimeseriesViewSetInfoChanged);
    connect(ui->checkBox_ZeroDrift, &QCheckBox::stateChanged, this,
            &Form_TimeSeriesViewSet::onTimeseriesViewSetInfoChanged);
    signalBlocked = false;
}

Form_TimeSeriesViewSet::~Form_TimeSeriesViewSet()
{
    delete ui;
}

QCheckBox *Form_TimeSeriesViewSet::channelBox(int row) const
{
    QCheckBox *const boxes[ChannelRowCount] = {ui->checkBox_Hx, ui->checkBox_Hy, ui->checkBox_E0, ui->checkBox_E1,
                                               ui->checkBox_E2};
    return boxes[row];
}

void Form_TimeSeriesViewSet::onCheckBoxsStateChanged(int state)
{
    Q_UNUSED(state)
    for (int row = 0; row < ChannelRowCount; ++row) {
        if (channelBox(row) == sender())
            channelRowFlag(channelsUseInfo, row) = channelBox(row)->isChecked();
    }
    if (!signalBlocked)
        emit signalInputChannelsView(channelsUseInfo);
}

void Form_TimeSeriesViewSet::onTimeseriesViewSetInfoChanged()
{
    viewSize = ui->comboBox_ViewSize->currentText().toInt();
    yViewMode = ui->comboBox_YViewMode->currentIndex();
    YAxisMax = ui->lineEdit_YAxisMax->text().toInt();
    YAxisMin = ui->lineEdit_YAxisMin->text().toInt();
    zeroDrift = ui->checkBox_ZeroDrift->isChecked();
    emit signalSelectTimeSeriesChannels(viewSize, yViewMode, YAxisMax, YAxisMin, zeroDrift);
}

void Form_TimeSeriesViewSet::onComboBoxYViewModeCurrentIndexChanged(int index)
{
    if (index == 0 || index == 1) {
        ui->lineEdit_YAxisMax->setEnabled(index == 1);
        ui->lineEdit_YAxisMin->setEnabled(index == 1);
    }
    onTimeseriesViewSetInfoChanged();
}

void Form_TimeSeriesViewSet::onComboBoxViewSizeCurrentIndexChanged(int index)
{
    Q_UNUSED(index)
    if (ui->comboBox_ViewSize->currentText().toInt() <= maxViewSize) {
        onTimeseriesViewSetInfoChanged();
        return;
    }
    OperatorPrompt::critical(nullptr, "选择显示长度出错", QString("请选择不大于%1的显示长度!").arg(maxViewSize));
    selectViewSize(maxViewSize);
}

// Selects the largest display length not above viewSize.
void Form_TimeSeriesViewSet::selectViewSize(int viewSize)
{
    int index = 0;
    for (int i = 0; i < ui->comboBox_ViewSize->count(); ++i) {
        if (ui->comboBox_ViewSize->itemData(i).toInt() <= viewSize)
            index = i;
    }
    ui->comboBox_ViewSize->setCurrentIndex(index);
}

void Form_TimeSeriesViewSet::setChannelsUseInfo(ChannelsUseInfo *channelsUseInfo)
{
    if (!channelsUseInfo)
        return;
    signalBlocked = true;
    for (int row = 0; row < ChannelRowCount; ++row) {
        const bool on = channelRowFlag(*channelsUseInfo, row);
        channelBox(row)->setEnabled(on);
        channelBox(row)->setChecked(on);
    }
    signalBlocked = false;
}

void Form_TimeSeriesViewSet::enableAndTickAllChannels()
{
    for (int row = 0; row < ChannelRowCount; ++row) {
        channelBox(row)->setEnabled(true);
        channelBox(row)->setChecked(true);
    }
}

void Form_TimeSeriesViewSet::setWatchMachineType(int machineType)
{
    enableAndTickAllChannels();
    switch (machineType) {
    case ScalarMode:
    case CopointMultipolarityMode:
        ui->checkBox_Hx->setChecked(false);
        break;
    case VectorMode:
        ui->checkBox_E2->setEnabled(false);
        ui->checkBox_E2->setChecked(false);
        break;
    case OverWaterTestMode:
        ui->checkBox_E2->setChecked(false);
        break;
    default:
        break;
    }
}

void Form_TimeSeriesViewSet::setMaxViewSize(int maxViewSize)
{
    // A recording shorter than the shortest display length still shows that length.
    this->maxViewSize = qMax(maxViewSize, viewSizeList.first());
    if (ui->comboBox_ViewSize->currentText().toInt() > this->maxViewSize)
        selectViewSize(this->maxViewSize);
}

void Form_TimeSeriesViewSet::resetViewSet()
{
    maxViewSize = viewSizeList.last();
    enableAndTickAllChannels();
}

bool Form_TimeSeriesViewSet::getTimeSeriesViewSetInfo(int *viewSize, int *yViewMode, double *YAxisMin,
                                                      double *YAxisMax, bool *zeroDrift)
{
    *viewSize = ui->comboBox_ViewSize->currentText().toInt();
    *yViewMode = ui->comboBox_YViewMode->currentIndex();
    *YAxisMin = ui->lineEdit_YAxisMin->text().toInt();
    *YAxisMax = ui->lineEdit_YAxisMax->text().toInt();
    *zeroDrift = ui->checkBox_ZeroDrift->isChecked();
    return true;
}
