#include "AtsFixture.h"
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/PlotMatrix.h"
#include "views/ThinnedScaleDraw.h"

#include <QtTest>
#include <qwt_plot.h>
#include <qwt_scale_widget.h>

namespace {

OneFreqImpedance point(double frequency, double apparent)
{
    OneFreqImpedance p;
    p.frequency = frequency;
    p.coherence = 0.8;
    p.apparentResistivity = apparent;
    p.phase = 45;
    p.trueResistivity = apparent;
    p.inversionDepth = 500;
    return p;
}

QStringList drawnTexts(const ThinnedScaleDraw *draw, const QFont &font)
{
    QStringList texts;
    for (double value : draw->drawnLabels(font))
        texts << draw->label(value).text().trimmed();
    return texts;
}

int darkPixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.valid(x, y) && qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return count;
}

void showAt(QWidget &view, QSize size)
{
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
}

} // namespace

// Sizes: the smallest the window lets the views have, what they get in the window at 1050 x 650
// and at 1200 x 680, those window sizes themselves, and a large screen's.
class TestAxisLabels : public QObject
{
    Q_OBJECT
private slots:
    void labelsStandClear_data();
    void labelsStandClear();
    void thinningKeepsEveryLabelThatFits();
};

// Both resistivity axes end at 10K (drawn with blanks around it) or at 1000 (without); the time
// series has fixed limits or limits that the scale engine puts on labelled ticks at both ends.
void TestAxisLabels::labelsStandClear_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("resistivityMax");
    QTest::addColumn<int>("yViewMode");
    const QList<QSize> sizes = {QSize(600, 500),  QSize(749, 569),  QSize(788, 599),
                                QSize(1050, 650), QSize(1200, 680), QSize(1900, 1000)};
    for (const QSize size : sizes) {
        const QString name = QString("%1x%2").arg(size.width()).arg(size.height());
        QTest::newRow(qPrintable(name + " 10K fixed")) << size << 10000.0 << 1;
        QTest::newRow(qPrintable(name + " 1000 automatic")) << size << 1000.0 << 0;
    }
}

void TestAxisLabels::labelsStandClear()
{
    QFETCH(QSize, size);
    QFETCH(double, resistivityMax);
    QFETCH(int, yViewMode);
    Form_ProcessDataGraph impedance;
    impedance.setProcessData({{0, {point(0.05, 20), point(300, 200)}}, {2, {point(2, 3000)}}}, resistivityMax, 1,
                             resistivityMax, 1, 1000);
    showAt(impedance, size);
    QStringList crowded = impedance.findChild<PlotMatrix *>()->crowdedTickLabels();
    QVERIFY2(crowded.isEmpty(), qPrintable(crowded.join("; ")));

    AtsFixture fixture;
    for (const QString name : {"Hx", "Hy", "E0", "E1", "E2"})
        fixture.add("r_" + name + ".ats", rampCounts(8192));
    Form_TimeSeriesGraph timeSeries;
    timeSeries.setTimeSeriesData(4000, 2, 0, fixture.files(), 8192, false, yViewMode, 2500, -2500);
    showAt(timeSeries, size);
    crowded = timeSeries.findChild<PlotMatrix *>()->crowdedTickLabels();
    QVERIFY2(crowded.isEmpty(), qPrintable(crowded.join("; ")));
}

void TestAxisLabels::thinningKeepsEveryLabelThatFits()
{
    Form_ProcessDataGraph view;
    showAt(view, QSize(1900, 1000));
    QwtPlot *apparent = view.findChild<PlotMatrix *>()->cellPlot(0, 0);
    const auto *draw = dynamic_cast<const ThinnedScaleDraw *>(apparent->axisScaleDraw(QwtPlot::xBottom));
    QVERIFY(draw);
    const QFont font = apparent->axisWidget(QwtPlot::xBottom)->font();
    QCOMPARE(drawnTexts(draw, font), (QStringList{"1", "10", "100", "1000", "10K"}));

    view.resize(600, 500);
    QTRY_COMPARE(drawnTexts(draw, font), (QStringList{"1", "100", "10K"}));

    // What is left out is not drawn: no ink where "10" would stand, some where "100" stands.
    const QImage axis = apparent->axisWidget(QwtPlot::xBottom)->grab().toImage();
    QCOMPARE(darkPixels(axis, draw->boundingLabelRect(font, 10)), 0);
    QVERIFY(darkPixels(axis, draw->boundingLabelRect(font, 100)) > 0);
}

QTEST_MAIN(TestAxisLabels)
#include "tst_axis_labels.moc"
