#include "AtsFixture.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/Form_TimeSeriesViewSet.h"
#include "views/PlotMatrix.h"

#include <QComboBox>
#include <QCheckBox>
#include <QGridLayout>
#include <QScrollBar>
#include <QtTest>
#include <functional>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_textlabel.h>
#include <qwt_scale_draw.h>

namespace {

enum { Hx, Hy, E0, E1, E2 };

const double lowRateScale = 2500.0 / 2147483647.0;
const double highRateScale = 3000.0 / 8388608.0;

QwtPlot *plotOf(Form_TimeSeriesGraph &view, int row)
{
    return view.findChild<PlotMatrix *>()->cellPlot(row, 0);
}

QwtPlotCurve *curveOf(Form_TimeSeriesGraph &view, int row)
{
    const QwtPlotItemList items = plotOf(view, row)->itemList(QwtPlotItem::Rtti_PlotCurve);
    return items.isEmpty() ? nullptr : static_cast<QwtPlotCurve *>(items.first());
}

// Rows whose plot is not hidden.
QList<int> shownRows(Form_TimeSeriesGraph &view)
{
    QList<int> rows;
    for (int row = Hx; row <= E2; ++row) {
        if (!plotOf(view, row)->isHidden())
            rows << row;
    }
    return rows;
}

int firstSample(QwtPlotCurve *curve, int rate)
{
    return qRound(curve->sample(0).x() * rate);
}

int lastSample(QwtPlotCurve *curve, int rate)
{
    return qRound(curve->sample(int(curve->dataSize()) - 1).x() * rate);
}

QVector<qint32> countsOfMillivolts(const QList<double> &values, double scale)
{
    QVector<qint32> counts;
    for (double value : values)
        counts << qint32(qRound64(value / scale));
    return counts;
}

void show(Form_TimeSeriesGraph &view, int rate, int seconds, const QList<QFile *> &files, int viewSize = 2048,
          int yViewMode = 1, double max = 2500, double min = -2500, bool zeroDrift = false)
{
    view.setTimeSeriesData(rate, seconds, 0, files, viewSize, zeroDrift, yViewMode, max, min);
}

void connectAsTheWindowDoes(Form_TimeSeriesViewSet &panel, Form_TimeSeriesGraph &view)
{
    QObject::connect(&panel, &Form_TimeSeriesViewSet::signalInputChannelsView, &view,
                     &Form_TimeSeriesGraph::setSelectedChannelsDisplay);
    QObject::connect(&panel, &Form_TimeSeriesViewSet::signalSelectTimeSeriesChannels, &view,
                     &Form_TimeSeriesGraph::setTimeSeriesChannelsView);
}

int rowStretch(Form_TimeSeriesGraph &view, int row)
{
    return static_cast<QGridLayout *>(view.findChild<PlotMatrix *>()->layout())->rowStretch(row);
}

// Texts of the rate labels on all five plots.
QStringList rateLabels(Form_TimeSeriesGraph &view)
{
    QStringList texts;
    for (int row = Hx; row <= E2; ++row) {
        for (QwtPlotItem *item : plotOf(view, row)->itemList(QwtPlotItem::Rtti_PlotTextLabel))
            texts << static_cast<QwtPlotTextLabel *>(item)->text().text();
    }
    return texts;
}

bool xLabelsDrawn(Form_TimeSeriesGraph &view, int row)
{
    return plotOf(view, row)->axisScaleDraw(QwtPlot::xBottom)->hasComponent(QwtAbstractScaleDraw::Labels);
}

} // namespace

class TestTimeSeries : public QObject
{
    Q_OBJECT
private slots:
    void paging_data();
    void paging();
    void displayLengthSnapsAndZeroIsIgnored();
    void countsToMillivolts_data();
    void countsToMillivolts();
    void yAxis_data();
    void yAxis();
    void channelNaming_data();
    void channelNaming();
    void shortMissingEmptyAndUnopenableFiles();
    void callerFilesAreOnlyNamed();
    void stretchesRateLabelAndTimeAxis();
    void timeAxisUnderLowestPlotOnceShown();
    void clearingEmptiesTheView();
    void recordingShownAnewOpensAtFirstSample_data();
    void recordingShownAnewOpensAtFirstSample();
    void unreadableRecordingClearsThePrevious_data();
    void unreadableRecordingClearsThePrevious();
    void noRateLabelWithoutRecording();
    void spikeShowsOnALongPage();
    void panelDrivesTheView();
    void shownChannelsFollowTheBoxes();
};

void TestTimeSeries::paging_data()
{
    QTest::addColumn<int>("viewSize");
    QTest::addColumn<int>("scrollTo");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("pageStep");
    QTest::addColumn<int>("maximum");
    // 250 Hz for 10 s: 2500 samples.
    QTest::newRow("first page") << 2048 << 0 << 0 << 2047 << 2048 << 452;
    QTest::newRow("last page") << 2048 << 452 << 452 << 2499 << 2048 << 452;
    QTest::newRow("middle page") << 512 << 1000 << 1000 << 1511 << 512 << 1988;
    QTest::newRow("length above recording") << 4096 << 0 << 0 << 2499 << 0 << 2500;
    QTest::newRow("length above recording, scrolled") << 4096 << 300 << 0 << 2499 << 0 << 2500;
}

void TestTimeSeries::paging()
{
    QFETCH(int, viewSize);
    QFETCH(int, scrollTo);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, pageStep);
    QFETCH(int, maximum);
    AtsFixture fixture;
    fixture.add("L1_S1_Hx.ats", rampCounts(2500));
    Form_TimeSeriesGraph view;
    show(view, 250, 10, fixture.files(), viewSize);
    auto *scrollBar = view.findChild<QScrollBar *>();
    scrollBar->setValue(scrollTo);

    QwtPlotCurve *curve = curveOf(view, Hx);
    QVERIFY(curve);
    QCOMPARE(firstSample(curve, 250), first);
    QCOMPARE(lastSample(curve, 250), last);
    QCOMPARE(int(curve->dataSize()), last - first + 1);
    QCOMPARE(scrollBar->pageStep(), pageStep);
    QCOMPARE(scrollBar->maximum(), maximum);
    QVERIFY(scrollBar->isEnabled());
    const QwtScaleDiv x = plotOf(view, Hx)->axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(x.lowerBound(), first / 250.0);
    QCOMPARE(x.upperBound(), last / 250.0);
}

void TestTimeSeries::displayLengthSnapsAndZeroIsIgnored()
{
    AtsFixture fixture;
    fixture.add("Hx.ats", rampCounts(5000));
    Form_TimeSeriesGraph view;
    auto *scrollBar = view.findChild<QScrollBar *>();
    show(view, 250, 20, fixture.files(), 3000);
    QCOMPARE(scrollBar->pageStep(), 2048);

    const QList<QPair<int, int>> cases = {{0, 2048}, {1000, 512}, {10, 64}, {-5, 64}, {128, 128}};
    for (const auto &c : cases) {
        view.setTimeSeriesChannelsView(c.first, 1, 2500, -2500, false);
        QCOMPARE(int(curveOf(view, Hx)->dataSize()), c.second);
        QCOMPARE(scrollBar->pageStep(), c.second);
    }
}

void TestTimeSeries::countsToMillivolts_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<double>("millivolts");
    QTest::newRow("4000 Hz full scale") << 4000 << 2147483647 << 2500.0;
    QTest::newRow("10001 Hz full scale") << 10001 << 2147483647 << 2500.0;
    QTest::newRow("10001 Hz negative") << 10001 << -2147483647 << -2500.0;
    QTest::newRow("57800 Hz full scale") << 57800 << 8388608 << 3000.0;
    QTest::newRow("277780 Hz negative") << 277780 << -8388608 << -3000.0;
    QTest::newRow("250 Hz one count") << 250 << 1 << lowRateScale;
}

void TestTimeSeries::countsToMillivolts()
{
    QFETCH(int, rate);
    QFETCH(qint32, count);
    QFETCH(double, millivolts);
    AtsFixture fixture;
    fixture.add("E0.ats", QVector<qint32>(64, count));
    Form_TimeSeriesGraph view;
    show(view, rate, 1, fixture.files(), 64, 2);
    QwtPlotCurve *curve = curveOf(view, E0);
    QVERIFY(curve);
    QCOMPARE(curve->sample(0).y(), millivolts);
}

void TestTimeSeries::yAxis_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("min");
    QTest::addColumn<bool>("zeroDrift");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<bool>("autoScaled");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("firstY");
    const QList<double> flat = {0.3, 0.3, 0.3, 0.3};
    QTest::newRow("auto, flat") << 0 << 0.0 << 0.0 << false << flat << false << -1.0 << 1.0 << 0.3;
    QTest::newRow("auto, spread") << 0 << 0.0 << 0.0 << false << QList<double>{0.2, 5.0, 1.0, 2.0} << true
                                  << 0.0 << 0.0 << 0.2;
    QTest::newRow("fixed 2500") << 1 << 2500.0 << -2500.0 << false << flat << false << -2500.0 << 2500.0 << 0.3;
    QTest::newRow("fixed 0.5") << 1 << 0.5 << -0.5 << false << flat << false << -1.0 << 1.0 << 0.3;
    QTest::newRow("zero drift 10.7") << 0 << 0.0 << 0.0 << true << QList<double>{10.7, 10.7, 10.7, 10.7} << false
                                     << 0.0 << 2.0 << 0.7;
    QTest::newRow("zero drift -10.7") << 0 << 0.0 << 0.0 << true << QList<double>{-10.7, -10.7, -10.7, -10.7}
                                      << false << -2.0 << 0.0 << -0.7;
}

void TestTimeSeries::yAxis()
{
    QFETCH(int, mode);
    QFETCH(bool, autoScaled);
    QFETCH(QList<double>, values);
    QFETCH(double, max);
    QFETCH(double, min);
    QFETCH(bool, zeroDrift);
    QFETCH(double, firstY);
    QFETCH(double, low);
    QFETCH(double, high);
    AtsFixture fixture;
    QVector<qint32> counts = countsOfMillivolts(values, highRateScale);
    while (counts.size() < 64)
        counts += counts.mid(0, 4);
    fixture.add("E1.ats", counts);
    Form_TimeSeriesGraph view;
    show(view, 57800, 1, fixture.files(), 64, mode, max, min, zeroDrift);
    QwtPlot *plot = plotOf(view, E1);
    QCOMPARE(qAbs(curveOf(view, E1)->sample(0).y() - firstY) < 0.001, true);
    QCOMPARE(plot->axisAutoScale(QwtPlot::yLeft), autoScaled);
    if (autoScaled)
        return;
    QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound(), low);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).upperBound(), high);
}

void TestTimeSeries::channelNaming_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("fractional station") << "L1_Station12.5_Hx_1.ats" << QList<int>{Hx};
    QTest::newRow("E1 before Hx") << "TS_Hx_E1.ats" << QList<int>{E1};
    QTest::newRow("E2") << "run_E2.ats" << QList<int>{E2};
    QTest::newRow("Hy, no extension") << "run_Hy" << QList<int>{Hy};
    QTest::newRow("case matters") << "run_hx.ats" << QList<int>{};
    QTest::newRow("no channel") << "noise.ats" << QList<int>{};
}

void TestTimeSeries::channelNaming()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, rows);
    AtsFixture fixture;
    fixture.add(name, rampCounts(256));
    Form_TimeSeriesGraph view;
    show(view, 250, 1, fixture.files(), 256);
    QCOMPARE(shownRows(view), rows);
}

void TestTimeSeries::shortMissingEmptyAndUnopenableFiles()
{
    AtsFixture fixture;
    fixture.add("r_Hx.ats", rampCounts(2500));
    fixture.add("r_Hy.ats", rampCounts(100));
    fixture.add("r_E0.ats", {});
    QList<QFile *> files = fixture.files();
    QFile missing(fixture.path("r_E1.ats"));
    QVERIFY(QDir().mkdir(fixture.path("r_E2.ats")));
    QFile folder(fixture.path("r_E2.ats"));
    files << &missing << &folder;

    Form_TimeSeriesGraph view;
    show(view, 250, 10, files, 2048);
    QCOMPARE(shownRows(view), (QList<int>{Hx, Hy}));
    QCOMPARE(int(curveOf(view, Hx)->dataSize()), 2048);
    QCOMPARE(int(curveOf(view, Hy)->dataSize()), 100);
    QCOMPARE(lastSample(curveOf(view, Hy), 250), 99);

    // Nothing is read past the end of the short file.
    view.findChild<QScrollBar *>()->setValue(452);
    QCOMPARE(shownRows(view), QList<int>{Hx});

    // A recording of no samples draws nothing and pages nowhere.
    show(view, 250, 0, files, 2048);
    QCOMPARE(shownRows(view), QList<int>{});
    QCOMPARE(view.findChild<QScrollBar *>()->maximum(), 0);
}

void TestTimeSeries::callerFilesAreOnlyNamed()
{
    AtsFixture fixture;
    QFile *hx = fixture.add("Hx.ats", rampCounts(2500));
    QFile *hy = fixture.add("Hy.ats", rampCounts(2500));
    QVERIFY(hx->open(QIODevice::ReadOnly));
    QVERIFY(hx->seek(8));

    Form_TimeSeriesGraph view;
    show(view, 250, 10, fixture.files(), 512);
    QCOMPARE(firstSample(curveOf(view, Hx), 250), 0);
    QVERIFY(hx->isOpen());
    QCOMPARE(hx->pos(), qint64(8));
    QVERIFY(!hy->isOpen());

    // The caller deletes a file object while its recording is shown: that channel is dropped.
    fixture.remove(hy);
    view.findChild<QScrollBar *>()->setValue(600);
    QCOMPARE(shownRows(view), QList<int>{Hx});
    QCOMPARE(firstSample(curveOf(view, Hx), 250), 600);
}

void TestTimeSeries::stretchesRateLabelAndTimeAxis()
{
    AtsFixture fixture;
    fixture.add("a_E0.ats", rampCounts(4000));
    fixture.add("a_E1.ats", rampCounts(4000));
    Form_TimeSeriesGraph view;
    view.resize(800, 600);
    view.show();
    show(view, 4000, 1, fixture.files(), 2048);

    QCOMPARE(shownRows(view), (QList<int>{E0, E1}));
    const QList<int> stretches = {1, 1, 48, 52, 1};
    for (int row = Hx; row <= E2; ++row) {
        QCOMPARE(rowStretch(view, row), stretches.at(row));
        QCOMPARE(xLabelsDrawn(view, row), row == E1);
    }
    const QwtPlotItemList labels = plotOf(view, E1)->itemList(QwtPlotItem::Rtti_PlotTextLabel);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(static_cast<QwtPlotTextLabel *>(labels.first())->text().text(), QString("4000Hz"));

    // A channel hidden from the panel stays hidden on the next block drawn.
    ChannelsUseInfo onlyE0;
    onlyE0.E0ChannelIsUse = true;
    view.setSelectedChannelsDisplay(onlyE0);
    QCOMPARE(rowStretch(view, E0), 1000);
    QVERIFY(xLabelsDrawn(view, E0));
    view.findChild<QScrollBar *>()->setValue(100);
    QCOMPARE(shownRows(view), QList<int>{E0});
    QCOMPARE(rowStretch(view, E0), 1000);
}

void TestTimeSeries::timeAxisUnderLowestPlotOnceShown()
{
    Form_TimeSeriesGraph view;
    ChannelsUseInfo magnetic;
    magnetic.HxChannelIsUse = magnetic.HyChannelIsUse = true;
    view.setSelectedChannelsDisplay(magnetic);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int row = Hx; row <= E2; ++row)
        QCOMPARE(xLabelsDrawn(view, row), row == Hy);
}

void TestTimeSeries::clearingEmptiesTheView()
{
    AtsFixture fixture;
    fixture.add("Hx.ats", rampCounts(2500));
    Form_TimeSeriesGraph view;
    auto *scrollBar = view.findChild<QScrollBar *>();
    show(view, 250, 10, fixture.files(), 512, 0);
    scrollBar->setValue(100);
    view.clearTimeSeriesGraph();

    QVERIFY(!curveOf(view, Hx));
    QVERIFY(!scrollBar->isEnabled());
    QCOMPARE(scrollBar->pageStep(), 0);
    QCOMPARE(scrollBar->value(), 0);
    const QwtPlot *plot = plotOf(view, Hx);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 5.0);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -3000.0);
    QVERIFY(!plot->axisAutoScale(QwtPlot::yLeft));

    // Empty: settings and paging draw nothing.
    view.setTimeSeriesChannelsView(256, 1, 100, -100, false);
    view.graphTimeSeriesBlock(0);
    QVERIFY(!curveOf(view, Hx));
}

void TestTimeSeries::recordingShownAnewOpensAtFirstSample_data()
{
    QTest::addColumn<int>("firstSeconds");
    QTest::addColumn<int>("scrollTo");
    QTest::addColumn<bool>("clearBetween");
    QTest::addColumn<int>("secondSeconds");
    // 250 Hz; the second recording's last page would start at sample 452.
    QTest::newRow("shorter recording after a long one") << 100 << 20000 << false << 10;
    QTest::newRow("shorter recording after a clear") << 100 << 20000 << true << 10;
    QTest::newRow("same recording shown anew") << 10 << 300 << false << 10;
    QTest::newRow("longer recording after a short one") << 10 << 452 << false << 100;
}

void TestTimeSeries::recordingShownAnewOpensAtFirstSample()
{
    QFETCH(int, firstSeconds);
    QFETCH(int, scrollTo);
    QFETCH(bool, clearBetween);
    QFETCH(int, secondSeconds);
    AtsFixture first;
    first.add("long_Hx.ats", rampCounts(250 * firstSeconds));
    AtsFixture second;
    second.add("short_Hx.ats", rampCounts(250 * secondSeconds));
    Form_TimeSeriesGraph view;
    auto *scrollBar = view.findChild<QScrollBar *>();
    show(view, 250, firstSeconds, first.files());
    scrollBar->setValue(scrollTo);
    QCOMPARE(firstSample(curveOf(view, Hx), 250), scrollTo);
    if (clearBetween)
        view.clearTimeSeriesGraph();

    show(view, 250, secondSeconds, second.files());
    QCOMPARE(firstSample(curveOf(view, Hx), 250), 0);
    QCOMPARE(lastSample(curveOf(view, Hx), 250), 2047);
    QCOMPARE(scrollBar->value(), 0);
    QCOMPARE(scrollBar->maximum(), 250 * secondSeconds - 2048);
}

void TestTimeSeries::unreadableRecordingClearsThePrevious_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("files");
    QTest::newRow("rate 0") << 0 << true;
    QTest::newRow("negative rate") << -250 << true;
    QTest::newRow("no channel file") << 250 << false;
}

// The recording selected after another cannot be drawn: the other's samples are not left on show.
void TestTimeSeries::unreadableRecordingClearsThePrevious()
{
    QFETCH(int, rate);
    QFETCH(bool, files);
    AtsFixture previous;
    previous.add("previous_Hx.ats", rampCounts(2500));
    AtsFixture selected;
    selected.add("selected_Hx.ats", rampCounts(2500));
    Form_TimeSeriesGraph view;
    auto *scrollBar = view.findChild<QScrollBar *>();
    show(view, 250, 10, previous.files());
    QVERIFY(curveOf(view, Hx));

    show(view, rate, 10, files ? selected.files() : QList<QFile *>());
    QVERIFY(!curveOf(view, Hx));
    QVERIFY(!scrollBar->isEnabled());
    QCOMPARE(rateLabels(view), QStringList());
}

void TestTimeSeries::noRateLabelWithoutRecording()
{
    ChannelsUseInfo all;
    all.HxChannelIsUse = all.HyChannelIsUse = all.E0ChannelIsUse = all.E1ChannelIsUse = all.E2ChannelIsUse = true;
    Form_TimeSeriesGraph view;
    view.setSelectedChannelsDisplay(all);
    QCOMPARE(rateLabels(view), QStringList());

    AtsFixture fixture;
    fixture.add("a_E0.ats", rampCounts(4000));
    fixture.add("a_E1.ats", rampCounts(4000));
    show(view, 4000, 1, fixture.files());
    QCOMPARE(rateLabels(view), QStringList{"4000Hz"});

    // The window resets its panel after a clear, which shows the channels again.
    view.clearTimeSeriesGraph();
    QCOMPARE(rateLabels(view), QStringList());
    view.setSelectedChannelsDisplay(all);
    QCOMPARE(rateLabels(view), QStringList());
}

void TestTimeSeries::spikeShowsOnALongPage()
{
    const int samples = 262144;
    const int spikeAt = 131071;
    QVector<qint32> counts(samples, 0);
    counts[spikeAt] = qint32(2000 / lowRateScale);
    AtsFixture fixture;
    fixture.add("flat_E0.ats", counts);
    Form_TimeSeriesGraph view;
    view.resize(1200, 680);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    show(view, 4000, samples / 4000 + 1, fixture.files(), samples);

    const QImage image = plotOf(view, E0)->canvas()->grab().toImage();
    int topmostBlue = image.height();
    for (int y = 0; y < image.height() && topmostBlue == image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 255)) {
                topmostBlue = y;
                break;
            }
        }
    }
    // 2000 mV on an axis from -2500 to 2500 reaches a tenth of the way down.
    QVERIFY2(topmostBlue < image.height() * 0.2, qPrintable(QString::number(topmostBlue)));
}

void TestTimeSeries::panelDrivesTheView()
{
    AtsFixture fixture;
    fixture.add("Hx.ats", rampCounts(2500));
    fixture.add("E0.ats", rampCounts(2500));
    Form_TimeSeriesGraph view;
    Form_TimeSeriesViewSet panel;
    connectAsTheWindowDoes(panel, view);
    show(view, 250, 10, fixture.files());
    ChannelsUseInfo recorded;
    recorded.HxChannelIsUse = recorded.E0ChannelIsUse = true;
    panel.setChannelsUseInfo(&recorded);

    panel.findChild<QComboBox *>("comboBox_ViewSize")->setCurrentText("512");
    QCOMPARE(int(curveOf(view, Hx)->dataSize()), 512);
    panel.findChild<QComboBox *>("comboBox_YViewMode")->setCurrentIndex(0);
    // The ramp spans far less than 2 mV: the automatic axis hugs it.
    QCOMPARE(plotOf(view, Hx)->axisScaleDiv(QwtPlot::yLeft).upperBound(), 1.0);
    panel.findChild<QCheckBox *>("checkBox_Hx")->setChecked(false);
    QCOMPARE(shownRows(view), QList<int>{E0});
}

// The view shows what the boxes tick, through page turns and every other setting of the panel,
// as drawn at a size the window gives the view.
void TestTimeSeries::shownChannelsFollowTheBoxes()
{
    AtsFixture fixture;
    for (const QString name : {"Hx", "Hy", "E0", "E1"})
        fixture.add("r_" + name + ".ats", rampCounts(2500));
    Form_TimeSeriesGraph view;
    Form_TimeSeriesViewSet panel;
    connectAsTheWindowDoes(panel, view);
    view.resize(788, 599);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    show(view, 250, 10, fixture.files());
    ChannelsUseInfo recorded;
    recorded.HxChannelIsUse = recorded.HyChannelIsUse = recorded.E0ChannelIsUse = recorded.E1ChannelIsUse = true;
    panel.setChannelsUseInfo(&recorded);
    panel.findChild<QCheckBox *>("checkBox_E0")->setChecked(false);
    panel.findChild<QCheckBox *>("checkBox_Hy")->setChecked(false);
    const QList<int> ticked = {Hx, E1};

    auto *scrollBar = view.findChild<QScrollBar *>();
    const QList<std::function<void()>> changes = {
        [&] { scrollBar->setValue(300); },
        [&] { scrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd); },
        [&] { panel.findChild<QComboBox *>("comboBox_ViewSize")->setCurrentText("512"); },
        [&] { panel.findChild<QComboBox *>("comboBox_YViewMode")->setCurrentIndex(0); },
        [&] { panel.findChild<QCheckBox *>("checkBox_ZeroDrift")->setChecked(true); },
        [&] { view.graphTimeSeriesBlock(0); },
    };
    for (int change = 0; change < changes.size(); ++change) {
        changes.at(change)();
        QCoreApplication::processEvents();
        QVERIFY2(shownRows(view) == ticked, qPrintable(QString::number(change)));
        // Only the ticked plots take room: the two share the view's height.
        for (int row : ticked)
            QVERIFY2(plotOf(view, row)->height() > view.height() / 3, qPrintable(QString::number(change)));
    }

    panel.findChild<QCheckBox *>("checkBox_E0")->setChecked(true);
    scrollBar->setValue(0);
    QCOMPARE(shownRows(view), (QList<int>{Hx, E0, E1}));
}

QTEST_MAIN(TestTimeSeries)
#include "tst_time_series.moc"
