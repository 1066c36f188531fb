#ifndef QTMATERIALSTATETRANSITION_H
#define QTMATERIALSTATETRANSITION_H

#include "shell/chrome/QtMaterialStateTransitionEvent.h"

#include <QAbstractTransition>

// Fires on a QtMaterialStateTransitionEvent of its own kind.
class QtMaterialStateTransition : public QAbstractTransition
{
    Q_OBJECT
public:
    explicit QtMaterialStateTransition(SnackbarTransitionKind kind);

protected:
    bool eventTest(QEvent *event) override;
    void onTransition(QEvent *) override;

private:
    const SnackbarTransitionKind kind;
};

#endif // QTMATERIALSTATETRANSITION_H
