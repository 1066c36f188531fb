#ifndef TOOLBARCLICKGUARD_H
#define TOOLBARCLICKGUARD_H

#include <QObject>
#include <QTimer>

class QWidget;

// Swallows the mouse clicks that land on a tool button within the double-click interval after
// the tool bar changed: the second half of a double click must not press the button that has
// just taken the clicked one's place (a trial run after a save, a disconnect after a connect).
class ToolBarClickGuard : public QObject
{
    Q_OBJECT
public:
    // Watches every tool button ("tbtn...") under the window.
    explicit ToolBarClickGuard(QWidget *window);

    // The tool bar has just changed.
    void arm();
    bool armed() const { return quiet.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer quiet;
};

#endif // TOOLBARCLICKGUARD_H
