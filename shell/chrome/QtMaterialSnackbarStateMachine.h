#ifndef QTMATERIALSNACKBARSTATEMACHINE_H
#define QTMATERIALSNACKBARSTATEMACHINE_H

#include <QStateMachine>
#include <QTimer>

class QtMaterialSnackbar;

// Slides the snackbar's box in and out by animating offset, and runs the display timer.
// States: hidden (offset 1), visible (offset 0), leaving (offset 1).
class QtMaterialSnackbarStateMachine : public QStateMachine
{
    Q_OBJECT
    Q_PROPERTY(qreal offset WRITE setOffset READ offset)
public:
    explicit QtMaterialSnackbarStateMachine(QtMaterialSnackbar *parent);

    void setOffset(qreal offset);
    qreal offset() const;

public slots:
    void progress();
    void snackbarShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QtMaterialSnackbar *const snackbar;
    QTimer autoHideTimer;
    qreal boxOffset = 1.0; // 1: out of sight below the bottom edge, 0: fully up
};

#endif // QTMATERIALSNACKBARSTATEMACHINE_H
