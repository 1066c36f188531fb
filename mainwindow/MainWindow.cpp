#include "mainwindow/MainWindow.h"

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName("MainWindow");
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
}
