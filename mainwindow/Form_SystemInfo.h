#ifndef FORM_SYSTEMINFO_H
#define FORM_SYSTEMINFO_H

#include "common/ChannelInputsConfig.h"
#include "common/StationNumAutoConfig.h"

#include <QWidget>

class Ui_Form_SystemInfo;

// The system configuration page's panel: the observation mode (changed only after the operator
// confirms), its wiring and channel pairings, the sensors and the station step.
class Form_SystemInfo : public QWidget
{
    Q_OBJECT
public:
    explicit Form_SystemInfo(QWidget *parent = nullptr);
    ~Form_SystemInfo() override;

    int watchMachineType() const;
    // Sets the mode without asking and announces it; a mode outside 0 to 5 is ignored.
    void setWatchMachineType(int mode);
    void setChannelInputsConfig(const ChannelInputsConfig &config);
    void setStationNumAutoConfig(const StationNumAutoConfig &config);
    // Description and pairings of a mode; a mode outside 0 to 5 changes nothing.
    void showWatchMachineDescription(int mode);

signals:
    void signalWactchMachineChanged(int mode);

public slots:
    void onSlotComboboxWatchMachineChanged(int index);
    // Offers modes 4 and 5 in the chooser's list only when ok. Call again after replacing its view.
    void setDeveloperMode(bool ok);

private:
    Ui_Form_SystemInfo *ui;
    int currentMode = 0; // last confirmed or set mode, apart from the chooser so a refusal can be undone
};

#endif // FORM_SYSTEMINFO_H
