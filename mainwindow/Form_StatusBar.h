#ifndef FORM_STATUSBAR_H
#define FORM_STATUSBAR_H

#include "common/MachineStatus.h"

#include <QWidget>

class QLabel;
class QTimer;
class Ui_Form_StatusBar;

// The panel of the main window's status bar: project and network lamps, the instrument's last
// status report, its clock and the progress of the group being sampled. It also keeps the
// program-wide clock offset machineTimeOffset. It shows only what it is handed, besides its clock.
class Form_StatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit Form_StatusBar(QWidget *parent = nullptr);
    ~Form_StatusBar() override;

    void setProjectOpened(bool opened);
    // Shows the instrument's labels only while connected; a disconnection also hides the progress.
    void setNetworkConnected(bool connected);
    void setMachineStatus(MachineStatus status);
    // Online group of the given length and rate: the bar restarts at 0. show false hides the bar.
    void startSampleProgress(qint64 seconds, bool show, int sampleRate);
    // The group's data have arrived: 100 %.
    void finishSampleProgress();

public slots:
    void onProgressOneSecondTimeOut();
    void onTimeChanged();

private:
    static void showLamp(QLabel *lamp, const QString &icon, const QString &toolTip);
    static void showValue(QLabel *label, const QString &text, bool alarm);

    Ui_Form_StatusBar *ui;
    QTimer *clockTimer;
    QTimer *progressTimer;
    int progressCount = 0;
    int progressTotal = 0;
};

#endif // FORM_STATUSBAR_H
