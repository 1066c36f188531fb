#include "views/Form_ProcessDataGraph.h"
#include "views/Form_ProcessDataViewSet.h"
#include "views/PlotMatrix.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

namespace {

enum { Apparent, Phase, Coherence, True };

QwtPlot *plotOf(Form_ProcessDataGraph &view, int column)
{
    return view.findChild<PlotMatrix *>()->cellPlot(0, column);
}

QList<QwtPlotCurve *> curvesOf(Form_ProcessDataGraph &view, int column)
{
    QList<QwtPlotCurve *> curves;
    for (QwtPlotItem *item : plotOf(view, column)->itemList(QwtPlotItem::Rtti_PlotCurve))
        curves << static_cast<QwtPlotCurve *>(item);
    return curves;
}

// Symbol styles of the curves with points in a column, in drawing order.
QList<int> drawnGroups(Form_ProcessDataGraph &view, int column = Apparent)
{
    QList<int> styles;
    for (QwtPlotCurve *curve : curvesOf(view, column)) {
        if (curve->dataSize() > 0)
            styles << curve->symbol()->style();
    }
    return styles;
}

QPair<double, double> range(Form_ProcessDataGraph &view, int column, int axis)
{
    const QwtScaleDiv div = plotOf(view, column)->axisScaleDiv(axis);
    return {div.lowerBound(), div.upperBound()};
}

OneFreqImpedance point(double frequency, double apparent, double depth = 100)
{
    OneFreqImpedance p;
    p.frequency = frequency;
    p.coherence = 0.9;
    p.apparentResistivity = apparent;
    p.phase = 45;
    p.trueResistivity = apparent * 2;
    p.inversionDepth = depth;
    return p;
}

ChannelImpedance curve(int channel, QVector<OneFreqImpedance> points)
{
    ChannelImpedance c;
    c.channel = channel;
    c.curve = points;
    return c;
}

const QPair<double, double> frequencyAxis(double low)
{
    return {low, 100000};
}

ProcessDataUseInfo groups(bool e0, bool e1, bool e2)
{
    ProcessDataUseInfo info;
    info.E0Direction = e0;
    info.E1Direction = e1;
    info.E2Direction = e2;
    return info;
}

// The window's connections between the panel and the view.
void connectPanel(Form_ProcessDataViewSet &panel, Form_ProcessDataGraph &view)
{
    QObject::connect(&panel, &Form_ProcessDataViewSet::signalProcessDataViewUseInfo, &view,
                     &Form_ProcessDataGraph::setProcessDataSelectedChannelsView);
    QObject::connect(&panel, &Form_ProcessDataViewSet::signalProcessDataViewParamChanged, &view,
                     &Form_ProcessDataGraph::setProcessDataYAxisView);
}

} // namespace

class TestProcessData : public QObject
{
    Q_OBJECT
private slots:
    void labels_data();
    void labels();
    void setUpAxes();
    void frequencyAxisLowEnd_data();
    void frequencyAxisLowEnd();
    void groupsDrawnAndCleared();
    void clearedCurvesStayCleared();
    void limitsAndLogarithmicLowerBound();
    void panelDrivesTheView();
};

void TestProcessData::labels_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("10000") << 10000.0 << " 10K ";
    QTest::newRow("999999") << 999999.0 << " 999.999K ";
    QTest::newRow("1000000") << 1000000.0 << " 1M ";
    QTest::newRow("2500000") << 2500000.0 << " 2.5M ";
    QTest::newRow("100000") << 100000.0 << " 100K ";
    QTest::newRow("9999") << 9999.0 << "9999";
    QTest::newRow("45") << 45.0 << "45";
    QTest::newRow("0.5") << 0.5 << "0.5";
    QTest::newRow("0.01") << 0.01 << "0.01";
    QTest::newRow("-90") << -90.0 << "-90";
}

void TestProcessData::labels()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    Form_ProcessDataGraph view;
    Form_ProcessDataGraph::KScaleDraw draw;
    const QwtText label = draw.label(value);
    QCOMPARE(label.text(), text);
    QCOMPARE(label.font().family(), QString("SIMSUN"));
    QCOMPARE(label.font().pixelSize(), 16);
}

void TestProcessData::setUpAxes()
{
    Form_ProcessDataGraph view;
    struct Axis
    {
        int column;
        int axis;
        double first;
        double second;
        bool logarithmic;
        QString title;
    };
    const QList<Axis> axes = {
        {Apparent, QwtPlot::xBottom, 1, 10000, true, "视电阻率(Ω·m)"},
        {Apparent, QwtPlot::yLeft, 1, 100000, true, "频率(Hz)"},
        {Phase, QwtPlot::xBottom, 90, 0, false, "相位(°)"},
        {Phase, QwtPlot::yLeft, 1, 100000, true, ""},
        {Coherence, QwtPlot::xBottom, 1, 0, false, "相干度"},
        {Coherence, QwtPlot::yLeft, 1, 100000, true, ""},
        {True, QwtPlot::xBottom, 1, 10000, true, "真电阻率(Ω·m)"},
        {True, QwtPlot::yLeft, 1000, 0, false, "反演深度(m)"},
    };
    for (const Axis &a : axes) {
        QwtPlot *plot = plotOf(view, a.column);
        QCOMPARE(range(view, a.column, a.axis), qMakePair(a.first, a.second));
        QCOMPARE(dynamic_cast<QwtLogScaleEngine *>(plot->axisScaleEngine(a.axis)) != nullptr, a.logarithmic);
        QVERIFY(dynamic_cast<Form_ProcessDataGraph::KScaleDraw *>(plot->axisScaleDraw(a.axis)));
        const QString title = plot->axisTitle(a.axis).text();
        QCOMPARE(title.isEmpty(), a.title.isEmpty());
        if (!a.title.isEmpty())
            QCOMPARE(title, "<p style=\"font-family:Microsoft Yahei;font-size:14px;\">" + a.title + "</p>");
    }
    const QList<int> stretches = {35, 15, 15, 35};
    auto *layout = static_cast<QGridLayout *>(view.findChild<PlotMatrix *>()->layout());
    for (int column = Apparent; column <= True; ++column)
        QCOMPARE(layout->columnStretch(column), stretches.at(column));

    // Toggling before any curve keeps these axes and draws nothing.
    view.setProcessDataSelectedChannelsView(groups(true, true, true));
    QCOMPARE(drawnGroups(view), QList<int>{});
    QCOMPARE(range(view, True, QwtPlot::yLeft), qMakePair(1000.0, 0.0));
    QCOMPARE(range(view, Apparent, QwtPlot::xBottom), qMakePair(1.0, 10000.0));
}

void TestProcessData::frequencyAxisLowEnd_data()
{
    QTest::addColumn<QVector<OneFreqImpedance>>("points");
    QTest::addColumn<double>("low");
    QTest::newRow("0.05") << QVector<OneFreqImpedance>{point(0.05, 10), point(10, 10)} << 0.01;
    QTest::newRow("0.1") << QVector<OneFreqImpedance>{point(0.1, 10)} << 0.1;
    QTest::newRow("0.99") << QVector<OneFreqImpedance>{point(0.99, 10)} << 0.1;
    QTest::newRow("1") << QVector<OneFreqImpedance>{point(1, 10)} << 1.0;
    QTest::newRow("zero resistivity left out")
        << QVector<OneFreqImpedance>{point(0.001, 0), point(5, 10), point(0.002, -3), point(0.003, qQNaN())} << 1.0;
    QTest::newRow("empty curve") << QVector<OneFreqImpedance>{} << 1.0;
}

void TestProcessData::frequencyAxisLowEnd()
{
    QFETCH(QVector<OneFreqImpedance>, points);
    QFETCH(double, low);
    Form_ProcessDataGraph view;
    view.setProcessData({curve(1, points)}, 10000, 1, 10000, 1, 1000);
    for (int column = Apparent; column <= Coherence; ++column)
        QCOMPARE(range(view, column, QwtPlot::yLeft), frequencyAxis(low));
    for (QwtPlotCurve *c : curvesOf(view, Apparent)) {
        for (size_t i = 0; i < c->dataSize(); ++i)
            QVERIFY(c->sample(int(i)).x() > 0);
    }
}

void TestProcessData::groupsDrawnAndCleared()
{
    Form_ProcessDataGraph view;
    view.setProcessData({curve(0, {point(0.05, 10)}), curve(2, {point(5, 20, 300)}), curve(7, {point(1, 1)})}, 10000,
                        1, 10000, 1, 1000);
    QCOMPARE(drawnGroups(view), (QList<int>{QwtSymbol::Diamond, QwtSymbol::Cross}));
    QCOMPARE(drawnGroups(view, True), (QList<int>{QwtSymbol::Diamond, QwtSymbol::Cross}));
    const QwtPlotCurve *e2Depth = curvesOf(view, True).last();
    QCOMPARE(e2Depth->sample(0), QPointF(40, 300));
    QCOMPARE(curvesOf(view, Phase).first()->sample(0), QPointF(45, 0.05));
    QCOMPARE(curvesOf(view, Coherence).first()->sample(0), QPointF(0.9, 0.05));

    // Hiding E0 raises the frequency axes to the remaining group.
    view.setProcessDataSelectedChannelsView(groups(false, true, true));
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Cross});
    QCOMPARE(range(view, Apparent, QwtPlot::yLeft), frequencyAxis(1));

    // A list with only E1 replaces what was kept before, whatever the flags were.
    view.setProcessData({curve(1, {point(2, 3)})}, 10000, 1, 10000, 1, 1000);
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Rect});
    view.setProcessDataSelectedChannelsView(groups(true, true, true));
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Rect});

    view.clearProcessDataCurves();
    for (int column = Apparent; column <= True; ++column)
        QVERIFY(curvesOf(view, column).isEmpty());
}

void TestProcessData::clearedCurvesStayCleared()
{
    Form_ProcessDataGraph view;
    Form_ProcessDataViewSet panel;
    connectPanel(panel, view);
    view.setProcessData({curve(0, {point(0.05, 10), point(2, 3)}), curve(2, {point(4, 5)})}, 10000, 1, 10000, 1,
                        1000);
    panel.setProcessDataViewUseInfo(groups(true, false, true));
    view.clearProcessDataCurves();
    QCOMPARE(range(view, Apparent, QwtPlot::yLeft), frequencyAxis(1));

    // No later change on the panel brings the previous station back.
    panel.findChild<QLineEdit *>("lineEdit_TrueResistivityDeep")->setText("2500");
    QCOMPARE(drawnGroups(view), QList<int>{});
    panel.findChild<QCheckBox *>("checkBox_E0Direction")->setChecked(false);
    panel.findChild<QCheckBox *>("checkBox_E0Direction")->setChecked(true);
    view.setProcessDataSelectedChannelsView(groups(true, true, true));
    for (int column = Apparent; column <= True; ++column)
        QCOMPARE(drawnGroups(view, column), QList<int>{});
    QCOMPARE(range(view, Apparent, QwtPlot::yLeft), frequencyAxis(1));
    QCOMPARE(range(view, True, QwtPlot::yLeft), qMakePair(2500.0, 0.0));

    view.setProcessData({curve(1, {point(2, 3)})}, 10000, 1, 10000, 1, 1000);
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Rect});
}

void TestProcessData::limitsAndLogarithmicLowerBound()
{
    Form_ProcessDataGraph view;
    view.setProcessDataYAxisView(5000, 10, 20000, 2, 300);
    QCOMPARE(range(view, Apparent, QwtPlot::xBottom), qMakePair(10.0, 5000.0));
    QCOMPARE(range(view, True, QwtPlot::xBottom), qMakePair(2.0, 20000.0));
    QCOMPARE(range(view, True, QwtPlot::yLeft), qMakePair(300.0, 0.0));

    // An emptied minimum edit gives 0, which a logarithmic axis cannot start at.
    view.setProcessDataYAxisView(5000, 0, 20000, -1, 300);
    QCOMPARE(range(view, Apparent, QwtPlot::xBottom), qMakePair(10.0, 5000.0));
    QCOMPARE(range(view, True, QwtPlot::xBottom), qMakePair(2.0, 20000.0));

    view.setProcessData({curve(0, {point(3, 3)})}, 10000, 0, 10000, 0, 1000);
    QCOMPARE(range(view, Apparent, QwtPlot::xBottom), qMakePair(10.0, 10000.0));
    view.setProcessData({curve(0, {point(3, 3)})}, 10000, 1, 10000, 1, 1000);
    QCOMPARE(range(view, Apparent, QwtPlot::xBottom), qMakePair(1.0, 10000.0));
    QCOMPARE(range(view, True, QwtPlot::yLeft), qMakePair(1000.0, 0.0));
}

void TestProcessData::panelDrivesTheView()
{
    Form_ProcessDataGraph view;
    Form_ProcessDataViewSet panel;
    connectPanel(panel, view);
    view.setProcessData({curve(0, {point(2, 3)}), curve(1, {point(4, 5)})}, 10000, 1, 10000, 1, 1000);
    panel.setProcessDataViewUseInfo(groups(true, true, false));

    panel.findChild<QCheckBox *>("checkBox_E0Direction")->setChecked(false);
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Rect});
    panel.findChild<QLineEdit *>("lineEdit_TrueResistivityDeep")->setText("2500");
    QCOMPARE(range(view, True, QwtPlot::yLeft), qMakePair(2500.0, 0.0));
    QCOMPARE(drawnGroups(view), QList<int>{QwtSymbol::Rect});
}

QTEST_MAIN(TestProcessData)
#include "tst_process_data.moc"
