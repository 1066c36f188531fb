#ifndef DIALOG_INPUTSSETTING_H
#define DIALOG_INPUTSSETTING_H

#include "common/ChannelInputsConfig.h"

#include <QDialog>

namespace Ui {
class Dialog_InputsSetting;
}
class QComboBox;

// Chooses the sensor of each channel among the calibration tables in "InputCalibration".
class Dialog_InputsSetting : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog_InputsSetting(QWidget *parent = nullptr);
    ~Dialog_InputsSetting() override;

    void refreshInputCalibrationList();
    void inputsSettingDialogShow();
    void setChannelInputsConfig(ChannelInputsConfig config);
    ChannelInputsConfig getChannelInputsConfig();

signals:
    void signalChannelInputsConfig(ChannelInputsConfig config);

private slots:
    void on_pushButton_Sure_clicked();
    void on_pushButton_Cancel_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void selectStoredNames();

    bool mayClose = false;
    Ui::Dialog_InputsSetting *ui;
    ChannelInputsConfig channelInputsConfig;
};

#endif // DIALOG_INPUTSSETTING_H
