#ifndef FORM_PROCESSDATAVIEWSET_H
#define FORM_PROCESSDATAVIEWSET_H

#include "common/ChannelsUseInfo.h"

#include <QWidget>

class Ui_Form_ProcessDataViewSet;

// Settings of the impedance view: which groups are drawn and the ends of the two resistivity
// axes and of the depth axis. Every change is announced at once.
class Form_ProcessDataViewSet : public QWidget
{
    Q_OBJECT

public:
    explicit Form_ProcessDataViewSet(QWidget *parent = nullptr);
    ~Form_ProcessDataViewSet() override;

    void setWatchMachineType(int machineType);
    bool getProcessDataViewSetInfo(double *apparentResistivityYAxisMax, double *apparentResistivityYAxisMin,
                                   double *trueResistivityYAxisMax, double *trueResistivityYAxisMin,
                                   double *trueResistivityDeep);
    // Sets the boxes without announcing them: a group without data gets an unticked, disabled box.
    void setProcessDataViewUseInfo(ProcessDataUseInfo processDataUseInfo);

signals:
    void signalProcessDataViewUseInfo(ProcessDataUseInfo processDataUseInfo);
    void signalProcessDataViewParamChanged(double apparentResistivityYAxisMax, double apparentResistivityYAxisMin,
                                           double trueResistivityYAxisMax, double trueResistivityYAxisMin,
                                           double trueResistivityDeep);

public slots:
    void onCheckBoxsStateChanged(int state);
    void onProcessDataViewSetInfoChanged();

private:
    Ui_Form_ProcessDataViewSet *ui = nullptr;
    ProcessDataUseInfo processDataUseInfo;
    double apparentResistivityYAxisMax = 10000;
    double apparentResistivityYAxisMin = 1;
    double trueResistivityYAxisMax = 10000;
    double trueResistivityYAxisMin = 1;
    double trueResistivityDeep = 1000;
    bool signalsSuppressed = false;
};

#endif // FORM_PROCESSDATAVIEWSET_H
