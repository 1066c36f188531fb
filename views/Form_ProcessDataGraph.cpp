#include "views/Form_ProcessDataGraph.h"

#include "views/PlotDecor.h"
#include "views/PlotMatrix.h"

#include <QGridLayout>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

namespace {

enum Column { ApparentColumn, PhaseColumn, CoherenceColumn, TrueColumn };

const double highestFrequency = 100000;

struct GroupLook
{
    QwtSymbol::Style style;
    Qt::GlobalColor colour;
    int size;
};
const GroupLook groupLooks[Form_ProcessDataGraph::GroupCount] = {
    {QwtSymbol::Diamond, Qt::red, 8}, {QwtSymbol::Rect, Qt::blue, 6}, {QwtSymbol::Cross, Qt::magenta, 8}};

QwtText axisTitle(const QString &caption)
{
    return QwtText(QString("<p style=\"font-family:Microsoft Yahei;font-size:14px;\">%1</p>").arg(caption),
                   QwtText::RichText);
}

// Bottom of the frequency axes for the lowest frequency drawn.
double frequencyAxisLow(double lowest)
{
    if (lowest < 0.1)
        return 0.01;
    if (lowest < 1)
        return 0.1;
    return 1;
}

void setLogAxis(QwtPlot *plot, int axis, double min, double max)
{
    plot->setAxisScaleEngine(axis, new QwtLogScaleEngine(10));
    plot->setAxisScale(axis, min, max);
    plot->setAxisMaxMinor(axis, 9);
}

void setLinearAxis(QwtPlot *plot, int axis, double first, double second, double step, int maxMajor, int maxMinor)
{
    plot->setAxisScaleEngine(axis, new QwtLinearScaleEngine);
    plot->setAxisScale(axis, first, second, step);
    plot->setAxisMaxMajor(axis, maxMajor);
    plot->setAxisMaxMinor(axis, maxMinor);
}

} // namespace

QwtText Form_ProcessDataGraph::KScaleDraw::label(double value) const
{
    QString text;
    if (value >= 1000000)
        text = QString(" %1M ").arg(QString::number(value / 1000000, 'g', 6));
    else if (value >= 10000)
        text = QString(" %1K ").arg(QString::number(value / 1000, 'g', 6));
    else
        text = QString::number(value, 'g', 6);
    QwtText label(text);
    label.setFont(scaleLabelFont());
    return label;
}

QFont &Form_ProcessDataGraph::scaleLabelFont()
{
    static QFont font;
    return font;
}

Form_ProcessDataGraph::Form_ProcessDataGraph(QWidget *parent) : QWidget(parent)
{
    scaleLabelFont().setFamily("SIMSUN");
    scaleLabelFont().setPixelSize(16);
    scaleLabelFont().setStyleStrategy(QFont::PreferAntialias);
    auto *layout = new QGridLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    setMinimumSize(100, 100);
    initPlotMatrix();
}

Form_ProcessDataGraph::~Form_ProcessDataGraph()
{
    // Attached curves leave their plots; detached ones have no other owner.
    for (QwtPlotCurve *curve : curves)
        delete curve;
}

void Form_ProcessDataGraph::initPlotMatrix()
{
    plotMatrix = new PlotMatrix(1, ColumnCount);
    for (int column = 0; column < ColumnCount; ++column)
        plots[column] = plotMatrix->cellPlot(0, column);
    createCurves();
    for (QwtPlot *plot : plots)
        decoratePlot(plot);
    setUpAxes();
    const int stretches[ColumnCount] = {35, 15, 15, 35};
    for (int column = 0; column < ColumnCount; ++column)
        plotMatrix->setColumnStretch(column, stretches[column]);
    static_cast<QGridLayout *>(layout())->addWidget(plotMatrix, 0, 0);
    plotMatrix->relayoutAxes();
}

void Form_ProcessDataGraph::createCurves()
{
    for (int i = 0; i < GroupCount * ColumnCount; ++i) {
        const GroupLook &look = groupLooks[i / ColumnCount];
        auto *curve = new QwtPlotCurve(QString());
        curve->setStyle(QwtPlotCurve::NoCurve);
        curve->setSymbol(new QwtSymbol(look.style, QBrush(Qt::white), QPen(look.colour), QSize(look.size, look.size)));
        curves[i] = curve;
    }
}

void Form_ProcessDataGraph::setUpAxes()
{
    for (QwtPlot *plot : plots) {
        plot->setAxisScaleDraw(QwtPlot::yLeft, new KScaleDraw);
        plot->setAxisScaleDraw(QwtPlot::xBottom, new KScaleDraw);
    }
    for (int column = ApparentColumn; column <= CoherenceColumn; ++column)
        setLogAxis(plots[column], QwtPlot::yLeft, 1, highestFrequency);
    setLogAxis(plots[ApparentColumn], QwtPlot::xBottom, 1, 10000);
    setLinearAxis(plots[PhaseColumn], QwtPlot::xBottom, 90, 0, 45, 2, 2);
    setLinearAxis(plots[CoherenceColumn], QwtPlot::xBottom, 1, 0, 0.5, 1, 2);
    setLogAxis(plots[TrueColumn], QwtPlot::xBottom, 1, 10000);
    setLinearAxis(plots[TrueColumn], QwtPlot::yLeft, 1000, 0, 0, 9, 4);

    plots[ApparentColumn]->setAxisTitle(QwtPlot::xBottom, axisTitle("视电阻率(Ω·m)"));
    plots[ApparentColumn]->setAxisTitle(QwtPlot::yLeft, axisTitle("频率(Hz)"));
    plots[PhaseColumn]->setAxisTitle(QwtPlot::xBottom, axisTitle("相位(°)"));
    plots[CoherenceColumn]->setAxisTitle(QwtPlot::xBottom, axisTitle("相干度"));
    plots[TrueColumn]->setAxisTitle(QwtPlot::xBottom, axisTitle("真电阻率(Ω·m)"));
    plots[TrueColumn]->setAxisTitle(QwtPlot::yLeft, axisTitle("反演深度(m)"));
}

void Form_ProcessDataGraph::setProcessData(QList<ChannelImpedance> processData, double apparentResistivityYAxisMax,
                                           double apparentResistivityYAxisMin, double trueResistivityYAxisMax,
                                           double trueResistivityYAxisMin, double trueResistivityDeep)
{
    forgetCurves();
    for (const ChannelImpedance &entry : qAsConst(processData)) {
        if (entry.channel == 0) {
            e0ProcessData = entry.curve;
            processDataUseInfo.E0Direction = true;
        } else if (entry.channel == 1) {
            e1ProcessData = entry.curve;
            processDataUseInfo.E1Direction = true;
        } else if (entry.channel == 2) {
            e2ProcessData = entry.curve;
            processDataUseInfo.E2Direction = true;
        }
    }
    storeLimits(apparentResistivityYAxisMax, apparentResistivityYAxisMin, trueResistivityYAxisMax,
                trueResistivityYAxisMin, trueResistivityDeep);
    updateProcessDataCurves();
}

void Form_ProcessDataGraph::setProcessDataSelectedChannelsView(ProcessDataUseInfo processDataUseInfo)
{
    this->processDataUseInfo = processDataUseInfo;
    updateProcessDataCurves();
}

void Form_ProcessDataGraph::setProcessDataYAxisView(double apparentResistivityYAxisMax,
                                                    double apparentResistivityYAxisMin,
                                                    double trueResistivityYAxisMax, double trueResistivityYAxisMin,
                                                    double trueResistivityDeep)
{
    storeLimits(apparentResistivityYAxisMax, apparentResistivityYAxisMin, trueResistivityYAxisMax,
                trueResistivityYAxisMin, trueResistivityDeep);
    updateProcessDataCurves();
}

void Form_ProcessDataGraph::storeLimits(double apparentMax, double apparentMin, double trueMax, double trueMin,
                                        double deep)
{
    apparentResistivityYAxisMax = apparentMax;
    trueResistivityYAxisMax = trueMax;
    trueResistivityDeep = deep;
    // A logarithmic axis cannot start at 0 or below (an emptied edit gives 0): keep the last bound.
    if (apparentMin > 0)
        apparentResistivityYAxisMin = apparentMin;
    if (trueMin > 0)
        trueResistivityYAxisMin = trueMin;
}

void Form_ProcessDataGraph::clearProcessDataCurves()
{
    // Forgets the curves too: a later panel change must not bring them back.
    forgetCurves();
    updateProcessDataCurves();
}

void Form_ProcessDataGraph::forgetCurves()
{
    e0ProcessData.clear();
    e1ProcessData.clear();
    e2ProcessData.clear();
    processDataUseInfo = ProcessDataUseInfo();
}

void Form_ProcessDataGraph::detachCurves()
{
    for (QwtPlotCurve *curve : curves) {
        curve->setSamples(QVector<double>(), QVector<double>());
        curve->detach();
    }
}

bool Form_ProcessDataGraph::groupDrawn(int group) const
{
    const bool flags[GroupCount] = {processDataUseInfo.E0Direction, processDataUseInfo.E1Direction,
                                    processDataUseInfo.E2Direction};
    return flags[group] && !groupData(group).isEmpty();
}

const QVector<OneFreqImpedance> &Form_ProcessDataGraph::groupData(int group) const
{
    if (group == 0)
        return e0ProcessData;
    return group == 1 ? e1ProcessData : e2ProcessData;
}

// Attaches the group's four curves and returns the lowest frequency drawn.
double Form_ProcessDataGraph::drawGroup(int group)
{
    QVector<double> x[ColumnCount];
    QVector<double> y[ColumnCount];
    double lowest = 10000000;
    for (const OneFreqImpedance &point : groupData(group)) {
        // Also leaves out NaN, which fails every comparison.
        if (!(point.apparentResistivity > 0))
            continue;
        x[ApparentColumn] << point.apparentResistivity;
        x[PhaseColumn] << point.phase;
        x[CoherenceColumn] << point.coherence;
        x[TrueColumn] << point.trueResistivity;
        for (int column = ApparentColumn; column <= CoherenceColumn; ++column)
            y[column] << point.frequency;
        y[TrueColumn] << point.inversionDepth;
        lowest = qMin(lowest, point.frequency);
    }
    for (int column = 0; column < ColumnCount; ++column) {
        QwtPlotCurve *curve = curves[group * ColumnCount + column];
        curve->setSamples(x[column], y[column]);
        curve->attach(plots[column]);
    }
    return lowest;
}

void Form_ProcessDataGraph::updateProcessDataCurves()
{
    detachCurves();
    double lowest = 10000000;
    for (int group = 0; group < GroupCount; ++group) {
        if (groupDrawn(group))
            lowest = qMin(lowest, drawGroup(group));
    }
    const double low = frequencyAxisLow(lowest);
    for (int column = ApparentColumn; column <= CoherenceColumn; ++column)
        plots[column]->setAxisScale(QwtPlot::yLeft, low, highestFrequency);
    plots[ApparentColumn]->setAxisScale(QwtPlot::xBottom, apparentResistivityYAxisMin, apparentResistivityYAxisMax);
    plots[TrueColumn]->setAxisScale(QwtPlot::xBottom, trueResistivityYAxisMin, trueResistivityYAxisMax);
    plots[TrueColumn]->setAxisScale(QwtPlot::yLeft, trueResistivityDeep, 0);
    for (QwtPlot *plot : plots)
        plot->replot();
}
