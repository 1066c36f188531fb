#include "shell/chrome/QtMaterialSnackbarStateMachine.h"

#include "shell/chrome/QtMaterialSnackbar.h"
#include "shell/chrome/QtMaterialStateTransition.h"

#include <QPropertyAnimation>

namespace {

void addKindTransition(QState *from, SnackbarTransitionKind kind, QState *to)
{
    auto *transition = new QtMaterialStateTransition(kind);
    transition->setTargetState(to);
    from->addTransition(transition);
}

} // namespace

QtMaterialSnackbarStateMachine::QtMaterialSnackbarStateMachine(QtMaterialSnackbar *parent)
    : QStateMachine(parent)
    , snackbar(parent)
{
    autoHideTimer.setSingleShot(true);
    connect(&autoHideTimer, &QTimer::timeout, this, &QtMaterialSnackbarStateMachine::progress);

    auto *hidden = new QState;
    auto *visible = new QState;
    auto *leaving = new QState;
    addState(hidden);
    addState(visible);
    addState(leaving);
    setInitialState(hidden);

    hidden->assignProperty(this, "offset", 1.0);
    visible->assignProperty(this, "offset", 0.0);
    leaving->assignProperty(this, "offset", 1.0);

    auto *animation = new QPropertyAnimation(this, "offset", this);
    animation->setDuration(300);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    addDefaultAnimation(animation);

    addKindTransition(hidden, ShowRequested, visible);
    addKindTransition(hidden, ProgressRequested, visible);
    addKindTransition(visible, ProgressRequested, leaving);
    addKindTransition(leaving, QueueEmpty, hidden);
    addKindTransition(leaving, QueueNotEmpty, visible);

    // propertiesAssigned: the slide has finished.
    connect(visible, &QState::propertiesAssigned, this, &QtMaterialSnackbarStateMachine::snackbarShown);
    connect(leaving, &QState::propertiesAssigned, snackbar, &QtMaterialSnackbar::dequeue);

    snackbar->installEventFilter(this);
}

void QtMaterialSnackbarStateMachine::setOffset(qreal offset)
{
    boxOffset = offset;
    snackbar->update();
}

qreal QtMaterialSnackbarStateMachine::offset() const
{
    return boxOffset;
}

void QtMaterialSnackbarStateMachine::progress()
{
    autoHideTimer.stop();
    postEvent(new QtMaterialStateTransitionEvent(ProgressRequested));
    if (snackbar->clickToDismissMode())
        snackbar->setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void QtMaterialSnackbarStateMachine::snackbarShown()
{
    autoHideTimer.start(snackbar->autoHideDuration());
    if (snackbar->clickToDismissMode())
        snackbar->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

bool QtMaterialSnackbarStateMachine::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && snackbar->clickToDismissMode())
        progress();
    return QStateMachine::eventFilter(watched, event);
}
