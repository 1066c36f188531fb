#ifndef FORM_STATIONINFO_H
#define FORM_STATIONINFO_H

#include "common/SampleInfo.h"

#include <QWidget>

class Ui_Form_StationInfo;

// Read-only panel describing the station or the recording in view. It never reads the project
// or the instrument: the main window hands it everything it shows.
class Form_StationInfo : public QWidget
{
    Q_OBJECT
public:
    explicit Form_StationInfo(QWidget *parent = nullptr);
    ~Form_StationInfo() override;

    // A station: the sampling rows are hidden. A machineID of 0 keeps the instrument shown.
    void setStation(int machineID, int lineNum, double stationNum);
    // A recording: its station, observation mode and task, with the sampling rows shown.
    void setSampleInfo(const SampleInfo &info);
    void showWatchMachineType(int mode);
    // Placeholders in every value but the observation mode; visibility stays.
    void clearInfo();

private:
    void resetSamplingRows();
    void setSamplingRowsVisible(bool visible);

    Ui_Form_StationInfo *ui;
};

#endif // FORM_STATIONINFO_H
