#ifndef TOOLBARSTATEMACHINE_H
#define TOOLBARSTATEMACHINE_H

#include "mainwindow/RunPhase.h"

#include <QObject>

class QWidget;

// Which tool buttons of the main window are shown or usable in each phase of the work. Each
// state gives every row its value, so nothing is carried over from the state passed through;
// the widgets are found under the window by object name. The window's run phase moves it
// (show), nothing else.
class ToolBarStateMachine : public QObject
{
    Q_OBJECT
public:
    explicit ToolBarStateMachine(QWidget *window);

    // The state shown so far is assigned once the event loop runs; until then the widgets keep
    // the form's values.
    void start();
    void show(RunPhase::Phase phase);
    // Object name of the state shown ("stateNoProject", ...); empty before the machine runs.
    QString currentStateName() const;

    static QString stateName(RunPhase::Phase phase);

private:
    void assign(RunPhase::Phase phase);
    QWidget *widget(const char *objectName) const;

    QWidget *window;
    RunPhase::Phase phase = RunPhase::NoProject;
    bool running = false;
};

#endif // TOOLBARSTATEMACHINE_H
