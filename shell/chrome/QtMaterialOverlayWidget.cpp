#include "shell/chrome/QtMaterialOverlayWidget.h"

#include <QEvent>

QtMaterialOverlayWidget::QtMaterialOverlayWidget(QWidget *parent)
    : QWidget(parent)
{
    // The geometry follows from the parent's first move or resize.
    if (parent)
        parent->installEventFilter(this);
}

bool QtMaterialOverlayWidget::event(QEvent *event)
{
    if (parent()) {
        if (event->type() == QEvent::ParentChange) {
            parent()->installEventFilter(this);
            setGeometry(overlayGeometry());
        } else if (event->type() == QEvent::ParentAboutToChange) {
            parent()->removeEventFilter(this);
        }
    }
    return QWidget::event(event);
}

bool QtMaterialOverlayWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        setGeometry(overlayGeometry());
    return QWidget::eventFilter(watched, event);
}

QRect QtMaterialOverlayWidget::overlayGeometry() const
{
    const QWidget *widget = parentWidget();
    return widget ? widget->rect() : QRect();
}
