#include "mainwindow/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow *window = new MainWindow();
    window->show();
    const int result = app.exec();
    delete window;
    return result;
}
