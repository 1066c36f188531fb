#ifndef FRAMELESSHELPER_P_H
#define FRAMELESSHELPER_P_H

#include "shell/chrome/NativeWindowHelper.h"
#include "shell/chrome/NativeWindowTester.h"

#include <QPointer>
#include <QSet>
#include <QWidget>

class FramelessHelperPrivate : public NativeWindowTester
{
public:
    explicit FramelessHelperPrivate(QWidget *window);

    QMargins resizeMargins() const override;
    QMargins maximizedMargins() const override;
    bool hitTest(const QPoint &pos) const override;

    double scaleFactor() const;

    QWidget *window;
    // Owned by the window's native window; gone when that window is re-created.
    QPointer<NativeWindowHelper> nativeHelper;
    QMargins resizeBorders;
    QMargins maximizedBorders;
    int titleBarHeight = 0;
    QSet<QWidget *> includedWidgets;
    QSet<QWidget *> excludedWidgets;
    bool maximized = false;

private:
    QList<QWidget *> widgetsAt(const QPoint &pos) const;
};

#endif // FRAMELESSHELPER_P_H
