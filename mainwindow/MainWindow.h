#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QDateTime>
#include <QMainWindow>

#include <memory>

class FramelessHelper;
class Form_StationInfo;
class Form_StatusBar;
class Form_SystemInfo;
class QToolButton;
class QtMaterialSnackbar;
class ToolBarStateMachine;
class Ui_MainWindow;

// The program's frameless main window: title band, the three button pages, the panels and the
// tool-bar states.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

signals:
    // Phases of the work; they drive the tool-bar states only.
    void projOpened();
    void sampleOver();
    void sampleStart();
    void samplStoped();
    void preSampleStart();
    void preSampleOver();
    void offlineSampleStart();
    void offlineSampleOver();

public slots:
    void setIconBtn(QToolButton *button);
    void updateMaximizeButton(bool maximized);
    QDateTime buildDateTime() const;

private:
    void initForm();
    void initTabBar();
    void initTitleBand();
    void initStateMachine();
    void initLeftProjectManageWidget();
    void initLeftSystemConfig();
    void initLeftSampleTask();
    void setWorkState(int state);

    std::unique_ptr<Ui_MainWindow> ui;
    bool developerMode = false;
    int workState = 0; // WorkState once construction has finished
    Form_StationInfo *formStationInfo = nullptr;
    Form_StatusBar *formStatusBar = nullptr;
    Form_SystemInfo *formSystemInfo = nullptr;
    ToolBarStateMachine *toolBarStates = nullptr;
    QtMaterialSnackbar *snackbar = nullptr;
    FramelessHelper *framelessHelper = nullptr;
};

#endif // MAINWINDOW_H
