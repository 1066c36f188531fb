#include "views/Form_ProcessDataViewSet.h"

#include "ui_Form_ProcessDataViewSet.h"

#include <QIntValidator>
#include <QRegExpValidator>

namespace {

const int scalarMode = 0;

} // namespace

Form_ProcessDataViewSet::Form_ProcessDataViewSet(QWidget *parent)
    : QWidget(parent), ui(new Ui_Form_ProcessDataViewSet)
{
    ui->setupUi(this);
    for (QCheckBox *box : {ui->checkBox_E0Direction, ui->checkBox_E1Direction, ui->checkBox_E2Direction})
        connect(box, &QCheckBox::stateChanged, this, &Form_ProcessDataViewSet::onCheckBoxsStateChanged);
    for (QLineEdit *edit : {ui->lineEdit_ApparentResistivityYAxisMax, ui->lineEdit_ApparentResistivityYAxisMin,
                            ui->lineEdit_TrueResistivityYAxisMax, ui->lineEdit_TrueResistivityYAxisMin,
                            ui->lineEdit_TrueResistivityDeep})
        connect(edit, &QLineEdit::textChanged, this, &Form_ProcessDataViewSet::onProcessDataViewSetInfoChanged);
    signalsSuppressed = false;
    for (QLineEdit *edit : {ui->lineEdit_ApparentResistivityYAxisMax, ui->lineEdit_TrueResistivityYAxisMax})
        edit->setValidator(new QIntValidator(1000, 100000000, this));
    const QRegExp minimum("^([1-9]|[1-9]\\d{0,3}|10000)$|^([0-9]{1,4}\\.[0-9]{1})$", Qt::CaseSensitive,
                          QRegExp::RegExp);
    for (QLineEdit *edit : {ui->lineEdit_ApparentResistivityYAxisMin, ui->lineEdit_TrueResistivityYAxisMin})
        edit->setValidator(new QRegExpValidator(minimum, this));
}

Form_ProcessDataViewSet::~Form_ProcessDataViewSet()
{
    delete ui;
}

void Form_ProcessDataViewSet::onCheckBoxsStateChanged(int state)
{
    Q_UNUSED(state)
    processDataUseInfo.E0Direction = ui->checkBox_E0Direction->isChecked();
    processDataUseInfo.E1Direction = ui->checkBox_E1Direction->isChecked();
    processDataUseInfo.E2Direction = ui->checkBox_E2Direction->isChecked();
    if (!signalsSuppressed)
        emit signalProcessDataViewUseInfo(processDataUseInfo);
}

void Form_ProcessDataViewSet::onProcessDataViewSetInfoChanged()
{
    getProcessDataViewSetInfo(&apparentResistivityYAxisMax, &apparentResistivityYAxisMin, &trueResistivityYAxisMax,
                              &trueResistivityYAxisMin, &trueResistivityDeep);
    emit signalProcessDataViewParamChanged(apparentResistivityYAxisMax, apparentResistivityYAxisMin,
                                           trueResistivityYAxisMax, trueResistivityYAxisMin, trueResistivityDeep);
}

void Form_ProcessDataViewSet::setProcessDataViewUseInfo(ProcessDataUseInfo processDataUseInfo)
{
    signalsSuppressed = true;
    ui->checkBox_E0Direction->setChecked(processDataUseInfo.E0Direction);
    ui->checkBox_E0Direction->setEnabled(processDataUseInfo.E0Direction);
    ui->checkBox_E1Direction->setChecked(processDataUseInfo.E1Direction);
    ui->checkBox_E1Direction->setEnabled(processDataUseInfo.E1Direction);
    ui->checkBox_E2Direction->setChecked(processDataUseInfo.E2Direction);
    ui->checkBox_E2Direction->setEnabled(processDataUseInfo.E2Direction);
    this->processDataUseInfo = processDataUseInfo;
    signalsSuppressed = false;
    ui->groupBox_ProcessDataViewSet->setFocus(Qt::OtherFocusReason);
}

bool Form_ProcessDataViewSet::getProcessDataViewSetInfo(double *apparentResistivityYAxisMax,
                                                        double *apparentResistivityYAxisMin,
                                                        double *trueResistivityYAxisMax,
                                                        double *trueResistivityYAxisMin, double *trueResistivityDeep)
{
    *apparentResistivityYAxisMax = ui->lineEdit_ApparentResistivityYAxisMax->text().toDouble();
    *apparentResistivityYAxisMin = ui->lineEdit_ApparentResistivityYAxisMin->text().toDouble();
    *trueResistivityYAxisMax = ui->lineEdit_TrueResistivityYAxisMax->text().toDouble();
    *trueResistivityYAxisMin = ui->lineEdit_TrueResistivityYAxisMin->text().toDouble();
    *trueResistivityDeep = ui->lineEdit_TrueResistivityDeep->text().toDouble();
    return true;
}

void Form_ProcessDataViewSet::setWatchMachineType(int machineType)
{
    ui->checkBox_E1Direction->setText(machineType == scalarMode ? "E1/Hy" : "E1/Hx");
}
