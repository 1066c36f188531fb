#ifndef FORM_TIMESERIESVIEWSET_H
#define FORM_TIMESERIESVIEWSET_H

#include "common/ChannelsUseInfo.h"

#include <QWidget>

class QCheckBox;
class Ui_Form_TimeSeriesViewSet;

// Settings of the time-series view: shown channels, display length, y-axis mode and limits,
// zero drift. Every change is announced at once.
class Form_TimeSeriesViewSet : public QWidget
{
    Q_OBJECT

public:
    explicit Form_TimeSeriesViewSet(QWidget *parent = nullptr);
    ~Form_TimeSeriesViewSet() override;

    void setChannelsUseInfo(ChannelsUseInfo *channelsUseInfo);
    void setWatchMachineType(int machineType);
    void setMaxViewSize(int maxViewSize);
    void resetViewSet();
    bool getTimeSeriesViewSetInfo(int *viewSize, int *yViewMode, double *YAxisMin, double *YAxisMax,
                                  bool *zeroDrift);

signals:
    void signalInputChannelsView(ChannelsUseInfo channelsUseInfo);
    void signalSelectTimeSeriesChannels(int viewSize, int yViewMode, double YAxisMax, double YAxisMin,
                                        bool zeroDrift);

public slots:
    void onCheckBoxsStateChanged(int state);
    void onComboBoxYViewModeCurrentIndexChanged(int index);
    void onComboBoxViewSizeCurrentIndexChanged(int index);
    void onTimeseriesViewSetInfoChanged();

private:
    QCheckBox *channelBox(int row) const;
    void enableAndTickAllChannels();
    void selectViewSize(int viewSize);

    Ui_Form_TimeSeriesViewSet *ui = nullptr;
    ChannelsUseInfo channelsUseInfo;
    int viewSize = 2048;
    int yViewMode = 1;
    double YAxisMin = -2500;
    double YAxisMax = 2500;
    bool zeroDrift = false;
    bool signalBlocked = true;
    int maxViewSize = 262144;
};

#endif // FORM_TIMESERIESVIEWSET_H
