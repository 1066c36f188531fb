#include "shell/chrome/FramelessHelper.h"
#include "shell/chrome/FramelessHelper_p.h"

#include <QEvent>

namespace {

// The walk down the widget tree stops at this many widgets, the window included.
constexpr int maxWalkDepth = 32;

QWidget *directChildAt(QWidget *parent, const QPoint &pos)
{
    QWidget *child = parent->childAt(pos);
    while (child && child->parentWidget() != parent)
        child = child->parentWidget();
    return child;
}

} // namespace

FramelessHelperPrivate::FramelessHelperPrivate(QWidget *window)
    : window(window)
{
}

QMargins FramelessHelperPrivate::resizeMargins() const
{
    return resizeBorders;
}

QMargins FramelessHelperPrivate::maximizedMargins() const
{
    return maximizedBorders;
}

double FramelessHelperPrivate::scaleFactor() const
{
    return nativeHelper ? nativeHelper->scaleFactor() : 1.0;
}

// The window, then at each level the child under the point, down to the deepest one.
QList<QWidget *> FramelessHelperPrivate::widgetsAt(const QPoint &pos) const
{
    QList<QWidget *> widgets{window};
    QPoint point = pos;
    while (widgets.size() < maxWalkDepth) {
        QWidget *parent = widgets.last();
        QWidget *child = directChildAt(parent, point);
        if (!child)
            break;
        point = child->mapFrom(parent, point);
        widgets.append(child);
    }
    return widgets;
}

bool FramelessHelperPrivate::hitTest(const QPoint &pos) const
{
    const int bandHeight = int(titleBarHeight * scaleFactor());
    if (bandHeight == 0 || !window)
        return false;
    // A negative height makes the whole window the title band.
    if (bandHeight > 0 && pos.y() >= bandHeight)
        return false;

    const QList<QWidget *> widgets = widgetsAt(pos);
    // The deepest widget decides first; the window itself is not tested.
    for (int i = widgets.size() - 1; i > 0; --i) {
        QWidget *widget = widgets.at(i);
        if (includedWidgets.contains(widget))
            return true;
        if (excludedWidgets.contains(widget) || excludedWidgets.contains(widget->parentWidget()))
            return false;
    }
    return true;
}

FramelessHelper::FramelessHelper(QObject *parent)
    : QObject(parent)
    , d_ptr(new FramelessHelperPrivate(qobject_cast<QWidget *>(parent)))
{
    Q_D(FramelessHelper);
    Q_CHECK_PTR(d->window);
    d->window->installEventFilter(this);
}

// The native helper belongs to the native window, which may outlive this helper; it asks this
// helper's private part about the title band and margins, so it goes first.
FramelessHelper::~FramelessHelper()
{
    Q_D(FramelessHelper);
    delete d->nativeHelper;
}

void FramelessHelper::setResizeMargins(int left, int top, int right, int bottom)
{
    setResizeMargins(QMargins(left, top, right, bottom));
}

void FramelessHelper::setResizeMargins(const QMargins &margins)
{
    Q_D(FramelessHelper);
    d->resizeBorders = margins;
}

QMargins FramelessHelper::resizeMargins() const
{
    Q_D(const FramelessHelper);
    return d->resizeBorders;
}

void FramelessHelper::setMaximizedMargins(int left, int top, int right, int bottom)
{
    setMaximizedMargins(QMargins(left, top, right, bottom));
}

void FramelessHelper::setMaximizedMargins(const QMargins &margins)
{
    Q_D(FramelessHelper);
    d->maximizedBorders = margins;
}

QMargins FramelessHelper::maximizedMargins() const
{
    Q_D(const FramelessHelper);
    return d->maximizedBorders;
}

void FramelessHelper::setTitleBarHeight(int value)
{
    Q_D(FramelessHelper);
    if (value == d->titleBarHeight)
        return;
    d->titleBarHeight = value;
    emit titleBarHeightChanged(value);
}

int FramelessHelper::titleBarHeight() const
{
    Q_D(const FramelessHelper);
    return d->titleBarHeight;
}

double FramelessHelper::scaleFactor() const
{
    Q_D(const FramelessHelper);
    return d->scaleFactor();
}

bool FramelessHelper::isMaximized() const
{
    Q_D(const FramelessHelper);
    return d->maximized;
}

void FramelessHelper::addIncludedWidget(QWidget *widget)
{
    Q_D(FramelessHelper);
    d->includedWidgets.insert(widget);
}

void FramelessHelper::removeIncludedWidget(QWidget *widget)
{
    Q_D(FramelessHelper);
    d->includedWidgets.remove(widget);
}

void FramelessHelper::addExcludedWidget(QWidget *widget)
{
    Q_D(FramelessHelper);
    d->excludedWidgets.insert(widget);
}

void FramelessHelper::removeExcludedWidget(QWidget *widget)
{
    Q_D(FramelessHelper);
    d->excludedWidgets.remove(widget);
}

void FramelessHelper::triggerMinimizeButtonAction()
{
    Q_D(FramelessHelper);
    d->window->showMinimized();
}

void FramelessHelper::triggerMaximizeButtonAction()
{
    Q_D(FramelessHelper);
    if (d->window->windowState().testFlag(Qt::WindowMaximized))
        d->window->showNormal();
    else
        d->window->showMaximized();
}

void FramelessHelper::triggerCloseButtonAction()
{
    Q_D(FramelessHelper);
    d->window->close();
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    Q_D(FramelessHelper);
    if (watched != d->window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::WindowStateChange) {
        const bool maximized = d->window->windowState().testFlag(Qt::WindowMaximized);
        if (maximized != d->maximized) {
            d->maximized = maximized;
            emit maximizedChanged(maximized);
        }
    } else if (event->type() == QEvent::WinIdChange && !d->nativeHelper) {
        createNativeHelper();
    }
    return QObject::eventFilter(watched, event);
}

// Also runs again after the window's native window was re-created, which takes the old helper with it.
void FramelessHelper::createNativeHelper()
{
    Q_D(FramelessHelper);
    QWindow *nativeWindow = d->window->windowHandle();
    if (!nativeWindow)
        return;
    d->nativeHelper = new NativeWindowHelper(nativeWindow, d);
    connect(d->nativeHelper, &NativeWindowHelper::scaleFactorChanged, this, &FramelessHelper::scaleFactorChanged);
    if (!qFuzzyCompare(d->nativeHelper->scaleFactor(), 1.0))
        emit scaleFactorChanged(d->nativeHelper->scaleFactor());
}
