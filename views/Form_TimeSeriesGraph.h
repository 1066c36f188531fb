#ifndef FORM_TIMESERIESGRAPH_H
#define FORM_TIMESERIESGRAPH_H

#include "common/ChannelsUseInfo.h"
#include "views/ChannelRows.h"

#include <QFile>
#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>

class EnvelopeCurve;
class PlotMatrix;
class QScrollBar;
class QwtPlot;
class QwtPlotTextLabel;

// One recording as time series: a plot per channel (Hx, Hy, E0, E1, E2 from the top), in
// millivolts over seconds, paged by a scroll bar one display length at a time. The channel
// files are read again for every page; no samples are kept. A channel is shown while it is
// selected and, with a recording, while the recording has it.
class Form_TimeSeriesGraph : public QWidget
{
    Q_OBJECT

public:
    explicit Form_TimeSeriesGraph(QWidget *parent = nullptr);
    ~Form_TimeSeriesGraph() override;

    void clearTimeSeriesGraph();
    // startTime is the recording's start (seconds since the epoch); the view does not use it.
    void setTimeSeriesData(int sampleRate, qint64 sampleTime, int startTime, QList<QFile *> channelFiles, int viewSize,
                           bool zeroDrift, int yViewMode, double YAxisMax, double YAxisMin);

public slots:
    void setSelectedChannelsDisplay(ChannelsUseInfo channelsUseInfo);
    void setTimeSeriesChannelsView(int fftSize, int yViewMode, double YAxisMax, double YAxisMin, bool zeroDrift);
    void graphTimeSeriesBlock(int dataIndex);
    QVector<double> readATS(QFile *atsFile, int min, int max);
    void showChannelData(QFile *atsfile, int min, int max, ChannelsUseInfo *useInfo);

private:
    void initPlotMatrix();
    void drawWindow(int row, int min, QVector<double> samples);
    void scaleYAxis(QwtPlot *plot, double lo, double hi);
    void updateScrollBar();
    void showRows(ChannelsUseInfo rows);

    QwtPlot *plots[ChannelRowCount] = {};
    EnvelopeCurve *curves[ChannelRowCount] = {};
    int sampleRate = 0;
    int totalSamples = 0;
    int dataIndex = 0;
    // Only the paths are used: each read opens a file of its own.
    QList<QPointer<QFile>> channelFiles;
    ChannelsUseInfo selectedChannels = allChannels();
    ChannelsUseInfo recordedChannels;
    int fftSize = 2048;
    int yViewMode = 1;
    double YAxisMax = 2500;
    double YAxisMin = -2500;
    double mVScale = 0;
    bool zeroDrift = false;
    QwtPlotTextLabel *rateLabel = nullptr;
    PlotMatrix *plotMatrix = nullptr;
    QScrollBar *scrollBar = nullptr;
};

#endif // FORM_TIMESERIESGRAPH_H
