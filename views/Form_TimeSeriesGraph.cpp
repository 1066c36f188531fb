#include "views/Form_TimeSeriesGraph.h"

#include "common/Global_Constants.h"
#include "views/EnvelopeCurve.h"
#include "views/PageSeriesData.h"
#include "views/PlotDecor.h"
#include "views/PlotMatrix.h"
#include "views/ThinnedScaleDraw.h"

#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QtEndian>
#include <cmath>
#include <limits>
#include <qwt_plot.h>
#include <qwt_plot_textlabel.h>
#include <qwt_scale_engine.h>
#include <qwt_text.h>

namespace {

// Rates up to this bound are recorded with the 32-bit converter, faster ones with the 24-bit one.
const int lowRateBound = 10001;
const double lowRateMilliVoltPerCount = 2500.0 / 2147483647.0;
const double highRateMilliVoltPerCount = 3000.0 / 8388608.0;
// Channel tags in the order they are looked for in a file name.
const QStringList channelTags = {"E0", "E1", "E2", "Hx", "Hy"};

// A display length from the list; any other positive length becomes the largest entry below it.
int listedViewSize(int viewSize)
{
    int listed = viewSizeList.first();
    for (int entry : viewSizeList) {
        if (entry <= viewSize)
            listed = entry;
    }
    return listed;
}

// The grid row of the channel a file name carries, or -1.
int channelRowOfFile(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(QLatin1String(".ats"), Qt::CaseInsensitive))
        name.chop(4);
    for (const QString &tag : channelTags) {
        if (name.contains(tag))
            return channelRowNames.indexOf(tag);
    }
    return -1;
}

QString axisTitle(int row)
{
    return QString("<p style=\"font-family:SIMSUN;font-size:16px;\">%1(mV)</p>").arg(channelRowNames.at(row));
}

} // namespace

Form_TimeSeriesGraph::Form_TimeSeriesGraph(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    plotMatrix = new PlotMatrix(ChannelRowCount, 1);
    layout->addWidget(plotMatrix);
    layout->addWidget(new QLabel("采样时间(S)"), 0, Qt::AlignHCenter);
    scrollBar = new QScrollBar(Qt::Horizontal, this);
    layout->addWidget(scrollBar);
    connect(scrollBar, &QScrollBar::valueChanged, this, &Form_TimeSeriesGraph::graphTimeSeriesBlock);
    initPlotMatrix();
}

Form_TimeSeriesGraph::~Form_TimeSeriesGraph()
{
    // Items still attached leave their plots; detached ones have no other owner.
    for (EnvelopeCurve *curve : curves)
        delete curve;
    delete rateLabel;
}

void Form_TimeSeriesGraph::initPlotMatrix()
{
    for (int row = 0; row < ChannelRowCount; ++row) {
        QwtPlot *plot = plotMatrix->cellPlot(row, 0);
        plots[row] = plot;
        curves[row] = new EnvelopeCurve;
        curves[row]->setPen(Qt::blue, 0, Qt::SolidLine);
        decoratePlot(plot);
        plot->setAxisScaleDraw(QwtPlot::xBottom, new ThinnedScaleDraw);
        plot->setAxisScaleDraw(QwtPlot::yLeft, new ThinnedScaleDraw);
        plot->setAxisScaleEngine(QwtPlot::xBottom, new QwtLinearScaleEngine);
        plot->setAxisScale(QwtPlot::xBottom, 0, 5);
        plot->setAxisScaleEngine(QwtPlot::yLeft, new QwtLinearScaleEngine);
        plot->setAxisScale(QwtPlot::yLeft, -3000, 3000);
        plot->setAxisMaxMajor(QwtPlot::yLeft, 5);
        plot->setAxisMaxMinor(QwtPlot::yLeft, 5);
        plot->setAxisTitle(QwtPlot::yLeft, QwtText(axisTitle(row), QwtText::RichText));
    }
    const int stretches[ChannelRowCount] = {19, 19, 19, 19, 24};
    for (int row = 0; row < ChannelRowCount; ++row)
        plotMatrix->setRowStretch(row, stretches[row]);
    scrollBar->setVisible(true);
    scrollBar->setEnabled(false);
    scrollBar->setPageStep(0);
    rateLabel = new QwtPlotTextLabel;
    plotMatrix->relayoutAxes();
}

void Form_TimeSeriesGraph::setTimeSeriesData(int sampleRate, qint64 sampleTime, int startTime,
                                             QList<QFile *> channelFiles, int viewSize, bool zeroDrift,
                                             int yViewMode, double YAxisMax, double YAxisMin)
{
    Q_UNUSED(startTime)
    // A recording that cannot be drawn leaves no other recording's samples on show.
    clearTimeSeriesGraph();
    if (sampleRate <= 0 || channelFiles.isEmpty() || viewSize <= 0)
        return;
    this->sampleRate = sampleRate;
    dataIndex = 0;
    // In double: rate and duration from a file may be any values.
    totalSamples = int(qMin<double>(double(sampleRate) * double(qMax<qint64>(sampleTime, 0)),
                                    std::numeric_limits<int>::max()));
    for (QFile *file : channelFiles)
        this->channelFiles << QPointer<QFile>(file);
    this->zeroDrift = zeroDrift;
    this->YAxisMax = YAxisMax;
    fftSize = listedViewSize(viewSize);
    this->YAxisMin = YAxisMin;
    this->yViewMode = yViewMode;
    mVScale = sampleRate <= lowRateBound ? lowRateMilliVoltPerCount : highRateMilliVoltPerCount;
    graphTimeSeriesBlock(0);
}

void Form_TimeSeriesGraph::graphTimeSeriesBlock(int dataIndex)
{
    if (channelFiles.isEmpty() || dataIndex < 0)
        return;
    for (EnvelopeCurve *curve : curves)
        curve->detach();
    this->dataIndex = dataIndex;
    ChannelsUseInfo found;
    int first = dataIndex;
    int last = dataIndex + fftSize - 1;
    if (dataIndex + fftSize >= totalSamples) {
        first = qMax(totalSamples - fftSize, 0);
        last = totalSamples - 1;
    }
    for (const QPointer<QFile> &file : qAsConst(channelFiles))
        showChannelData(file.data(), first, last, &found);
    updateScrollBar();
    recordedChannels = found;
    showRows(selectedChannels);
}

void Form_TimeSeriesGraph::updateScrollBar()
{
    const bool paged = fftSize < totalSamples;
    const int maximum = paged ? totalSamples - fftSize : totalSamples;
    scrollBar->setPageStep(paged ? fftSize : 0);
    scrollBar->setVisible(true);
    scrollBar->setEnabled(true);
    // The block is drawn already: a value clamped by the new range must not draw another one,
    // nor overwrite the start just drawn.
    const QSignalBlocker blocker(scrollBar);
    scrollBar->setRange(0, maximum);
    scrollBar->setValue(dataIndex);
    dataIndex = scrollBar->value();
}

QVector<double> Form_TimeSeriesGraph::readATS(QFile *atsFile, int min, int max)
{
    QVector<double> samples;
    if (!atsFile || min < 0 || max < min)
        return samples;
    QFile file(atsFile->fileName());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(min) * 4))
        return samples;
    // A file shorter than the window gives the samples it holds.
    const QByteArray bytes = file.read((qint64(max) - min + 1) * 4);
    const int count = bytes.size() / 4;
    samples.resize(count);
    const uchar *raw = reinterpret_cast<const uchar *>(bytes.constData());
    for (int k = 0; k < count; ++k)
        samples[k] = mVScale * qFromLittleEndian<qint32>(raw + 4 * k);
    return samples;
}

void Form_TimeSeriesGraph::showChannelData(QFile *atsfile, int min, int max, ChannelsUseInfo *useInfo)
{
    if (!atsfile || !QFile::exists(atsfile->fileName()))
        return;
    const int row = channelRowOfFile(atsfile->fileName());
    if (row < 0)
        return;
    QVector<double> samples = readATS(atsfile, min, max);
    if (samples.isEmpty())
        return;
    channelRowFlag(*useInfo, row) = true;
    drawWindow(row, min, std::move(samples));
}

void Form_TimeSeriesGraph::drawWindow(int row, int min, QVector<double> samples)
{
    if (zeroDrift) {
        double sum = 0;
        for (double value : qAsConst(samples))
            sum += value;
        const double offset = std::trunc(sum / samples.size());
        for (double &value : samples)
            value -= offset;
    }
    auto *page = new PageSeriesData(min, sampleRate, samples);
    QwtPlot *plot = plots[row];
    curves[row]->setData(page);
    curves[row]->attach(plot);
    plot->setAxisScale(QwtPlot::xBottom, page->sample(0).x(), page->sample(page->size() - 1).x());
    scaleYAxis(plot, page->lowest(), page->highest());
    plot->replot();
}

void Form_TimeSeriesGraph::scaleYAxis(QwtPlot *plot, double lo, double hi)
{
    if (yViewMode == 1) {
        plot->setAxisScale(QwtPlot::yLeft, std::floor(YAxisMin), std::ceil(YAxisMax));
        return;
    }
    if (yViewMode != 0)
        return;
    // A nearly flat window gets a fixed span, which autoscaling would blow up to noise.
    if (hi - lo < 2)
        plot->setAxisScale(QwtPlot::yLeft, std::floor(lo - 0.5), std::ceil(hi + 0.5));
    else
        plot->setAxisAutoScale(QwtPlot::yLeft);
}

void Form_TimeSeriesGraph::setSelectedChannelsDisplay(ChannelsUseInfo channelsUseInfo)
{
    selectedChannels = channelsUseInfo;
    showRows(channelsUseInfo);
}

// The selected rows, less those the recording on show does not have.
void Form_TimeSeriesGraph::showRows(ChannelsUseInfo channelsUseInfo)
{
    for (int row = 0; row < ChannelRowCount && !channelFiles.isEmpty(); ++row) {
        if (!channelRowFlag(recordedChannels, row))
            channelRowFlag(channelsUseInfo, row) = false;
    }
    int shown = 0;
    int lastShown = -1;
    for (int row = 0; row < ChannelRowCount; ++row) {
        const bool on = channelRowFlag(channelsUseInfo, row);
        plots[row]->setVisible(on);
        if (on) {
            ++shown;
            lastShown = row;
        }
    }
    for (int row = 0; row < ChannelRowCount; ++row) {
        int stretch = 1;
        if (channelRowFlag(channelsUseInfo, row))
            stretch = shown == 1 ? 1000 : 96 / shown + (row == lastShown ? 4 : 0);
        plotMatrix->setRowStretch(row, stretch);
    }
    // A rate is shown only with the recording it belongs to.
    if (shown >= 1 && !channelFiles.isEmpty()) {
        QwtText text(QString("%1Hz").arg(sampleRate));
        text.setRenderFlags(Qt::AlignLeft | Qt::AlignBottom);
        rateLabel->setText(text);
        rateLabel->attach(plots[lastShown]);
    } else {
        rateLabel->detach();
    }
    plotMatrix->relayoutAxes();
}

void Form_TimeSeriesGraph::setTimeSeriesChannelsView(int fftSize, int yViewMode, double YAxisMax, double YAxisMin,
                                                     bool zeroDrift)
{
    if (channelFiles.isEmpty())
        return;
    if (fftSize > 0)
        this->fftSize = listedViewSize(fftSize);
    this->yViewMode = yViewMode;
    this->YAxisMax = YAxisMax;
    this->YAxisMin = YAxisMin;
    this->zeroDrift = zeroDrift;
    graphTimeSeriesBlock(scrollBar->value());
    plotMatrix->relayoutAxes();
}

void Form_TimeSeriesGraph::clearTimeSeriesGraph()
{
    rateLabel->detach();
    for (int row = ChannelRowCount - 1; row >= 0; --row) {
        curves[row]->detach();
        curves[row]->setSamples(QVector<QPointF>());
        plots[row]->setAxisScale(QwtPlot::xBottom, 0, 5);
        plots[row]->setAxisScale(QwtPlot::yLeft, -3000, 3000);
        plots[row]->replot();
    }
    scrollBar->setVisible(true);
    scrollBar->setEnabled(false);
    scrollBar->setPageStep(0);
    const QSignalBlocker blocker(scrollBar);
    scrollBar->setValue(0);
    channelFiles.clear();
}
