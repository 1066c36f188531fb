#include "shell/chrome/QtMaterialStateTransition.h"

QtMaterialStateTransition::QtMaterialStateTransition(SnackbarTransitionKind kind)
    : kind(kind)
{
}

bool QtMaterialStateTransition::eventTest(QEvent *event)
{
    if (event->type() != QtMaterialStateTransitionEvent::eventType)
        return false;
    return static_cast<QtMaterialStateTransitionEvent *>(event)->kind == kind;
}

void QtMaterialStateTransition::onTransition(QEvent *)
{
}
