#ifndef GUARDEDSIGNALTRANSITION_H
#define GUARDEDSIGNALTRANSITION_H

#include <QSignalTransition>

#include <functional>

// A signal transition taken only while its guard says yes.
class GuardedSignalTransition : public QSignalTransition
{
    Q_OBJECT
public:
    GuardedSignalTransition(const QObject *sender, const char *signal, std::function<bool()> guard,
                            QState *sourceState);

protected:
    bool eventTest(QEvent *event) override;

private:
    std::function<bool()> guard;
};

#endif // GUARDEDSIGNALTRANSITION_H
