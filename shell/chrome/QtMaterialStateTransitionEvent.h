#ifndef QTMATERIALSTATETRANSITIONEVENT_H
#define QTMATERIALSTATETRANSITIONEVENT_H

#include <QEvent>

enum SnackbarTransitionKind {
    ShowRequested = 1,
    ProgressRequested = 2,
    QueueEmpty = 3,
    QueueNotEmpty = 4,
};

// Posted to the snackbar's state machine to drive it from the queue.
class QtMaterialStateTransitionEvent : public QEvent
{
public:
    static constexpr QEvent::Type eventType = QEvent::Type(QEvent::User + 1);

    explicit QtMaterialStateTransitionEvent(SnackbarTransitionKind kind)
        : QEvent(eventType)
        , kind(kind)
    {
    }
    ~QtMaterialStateTransitionEvent() override = default;

    const SnackbarTransitionKind kind;
};

#endif // QTMATERIALSTATETRANSITIONEVENT_H
