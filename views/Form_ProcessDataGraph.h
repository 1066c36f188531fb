#ifndef FORM_PROCESSDATAGRAPH_H
#define FORM_PROCESSDATAGRAPH_H

#include "common/ChannelsUseInfo.h"
#include "common/OneFreqImpedance.h"
#include "views/ThinnedScaleDraw.h"

#include <QFont>
#include <QList>
#include <QVector>
#include <QWidget>

class PlotMatrix;
class QwtPlot;
class QwtPlotCurve;

// Impedance curves of a recording or a station in four plots side by side: apparent
// resistivity, phase and coherence over frequency, and true resistivity over inversion depth.
// Each electric channel's group is drawn as points with its own symbol and colour.
class Form_ProcessDataGraph : public QWidget
{
    Q_OBJECT

public:
    // Axis labels: " 10K ", " 2.5M " from ten thousand and one million up, the number below;
    // thinned where the axis is too short for all of them.
    class KScaleDraw : public ThinnedScaleDraw
    {
    public:
        QwtText label(double value) const override;
    };

    enum { GroupCount = 3, ColumnCount = 4 };

    explicit Form_ProcessDataGraph(QWidget *parent = nullptr);
    ~Form_ProcessDataGraph() override;

    void setProcessData(QList<ChannelImpedance> processData, double apparentResistivityYAxisMax,
                        double apparentResistivityYAxisMin, double trueResistivityYAxisMax,
                        double trueResistivityYAxisMin, double trueResistivityDeep);
    // Empties the view and forgets the curves and groups given; the limits stay.
    void clearProcessDataCurves();

    // The font of every axis label of these views.
    static QFont &scaleLabelFont();

public slots:
    void setProcessDataSelectedChannelsView(ProcessDataUseInfo processDataUseInfo);
    void setProcessDataYAxisView(double apparentResistivityYAxisMax, double apparentResistivityYAxisMin,
                                 double trueResistivityYAxisMax, double trueResistivityYAxisMin,
                                 double trueResistivityDeep);

protected:
    void initPlotMatrix();
    void updateProcessDataCurves();

private:
    void createCurves();
    void setUpAxes();
    void forgetCurves();
    void detachCurves();
    void storeLimits(double apparentMax, double apparentMin, double trueMax, double trueMin, double deep);
    bool groupDrawn(int group) const;
    const QVector<OneFreqImpedance> &groupData(int group) const;
    double drawGroup(int group);

    QVector<OneFreqImpedance> e0ProcessData;
    QVector<OneFreqImpedance> e1ProcessData;
    QVector<OneFreqImpedance> e2ProcessData;
    ProcessDataUseInfo processDataUseInfo;
    double apparentResistivityYAxisMax = 10000;
    double apparentResistivityYAxisMin = 1;
    double trueResistivityYAxisMax = 10000;
    double trueResistivityYAxisMin = 1;
    double trueResistivityDeep = 1000;
    QwtPlot *plots[ColumnCount] = {};
    // Group-major: E0 columns 0 to 3, then E1, then E2.
    QwtPlotCurve *curves[GroupCount * ColumnCount] = {};
    PlotMatrix *plotMatrix = nullptr;
};

#endif // FORM_PROCESSDATAGRAPH_H
