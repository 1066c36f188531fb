#ifndef QTMATERIALSNACKBAR_P_H
#define QTMATERIALSNACKBAR_P_H

#include <QColor>
#include <QStringList>

class QtMaterialSnackbar;
class QtMaterialSnackbarStateMachine;

class QtMaterialSnackbarPrivate
{
public:
    explicit QtMaterialSnackbarPrivate(QtMaterialSnackbar *owner);

    void init();

    QtMaterialSnackbar *const owner;
    QtMaterialSnackbarStateMachine *stateMachine = nullptr;
    QColor backgroundColor;
    QColor textColor;
    qreal backgroundOpacity = 0.9;
    QStringList messages; // the head is on show, or about to show
    int autoHideDuration = 2000;
    int boxWidth = 300;
    bool clickToDismiss = false;
    bool useThemeColors = true;
};

#endif // QTMATERIALSNACKBAR_P_H
