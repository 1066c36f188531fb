#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

class FramelessHelper;
class QtMaterialSnackbar;
class QWidget;

// The frameless main window: for now its title band only.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

private slots:
    void updateMaximizeButton(bool maximized);

private:
    QWidget *createAppBar();
    void initForm();

    QtMaterialSnackbar *snackbar;
    FramelessHelper *framelessHelper = nullptr;
};

#endif // MAINWINDOW_H
