#include "shell/chrome/QtMaterialSnackbar.h"
#include "shell/chrome/QtMaterialSnackbar_p.h"

#include "shell/chrome/QtMaterialSnackbarStateMachine.h"
#include "shell/chrome/QtMaterialStateTransitionEvent.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

namespace {

constexpr int textFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

// Callers on other threads (background tasks) are served later on the widget's own thread.
template<class Call>
bool repostFromOtherThread(QObject *target, Call call)
{
    if (QThread::currentThread() == target->thread())
        return false;
    QMetaObject::invokeMethod(target, std::move(call), Qt::QueuedConnection);
    return true;
}

} // namespace

QtMaterialSnackbarPrivate::QtMaterialSnackbarPrivate(QtMaterialSnackbar *owner)
    : owner(owner)
{
}

void QtMaterialSnackbarPrivate::init()
{
    stateMachine = new QtMaterialSnackbarStateMachine(owner);
    backgroundOpacity = 0.9;
    autoHideDuration = 2000;
    boxWidth = 300;
    clickToDismiss = false;
    useThemeColors = true;

    // Clicks go through to the window beneath.
    owner->setAttribute(Qt::WA_TransparentForMouseEvents);

    QFont font(QStringLiteral("Microsoft Yahei"));
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::PreferAntialias);
    owner->setFont(font);

    stateMachine->start();
    QCoreApplication::processEvents();
}

QtMaterialSnackbar::QtMaterialSnackbar(QWidget *parent)
    : QtMaterialOverlayWidget(parent)
    , d_ptr(new QtMaterialSnackbarPrivate(this))
{
    d_func()->init();
}

QtMaterialSnackbar::~QtMaterialSnackbar() = default;

void QtMaterialSnackbar::setAutoHideDuration(int duration)
{
    Q_D(QtMaterialSnackbar);
    d->autoHideDuration = duration;
}

int QtMaterialSnackbar::autoHideDuration() const
{
    Q_D(const QtMaterialSnackbar);
    return d->autoHideDuration;
}

void QtMaterialSnackbar::setUseThemeColors(bool value)
{
    Q_D(QtMaterialSnackbar);
    if (d->useThemeColors == value)
        return;
    d->useThemeColors = value;
    update();
}

bool QtMaterialSnackbar::useThemeColors() const
{
    Q_D(const QtMaterialSnackbar);
    return d->useThemeColors;
}

void QtMaterialSnackbar::setBackgroundColor(const QColor &color)
{
    Q_D(QtMaterialSnackbar);
    d->backgroundColor = color;
    d->useThemeColors = false;
    update();
}

QColor QtMaterialSnackbar::backgroundColor() const
{
    Q_D(const QtMaterialSnackbar);
    if (d->useThemeColors || !d->backgroundColor.isValid())
        return QColor(0, 0, 0, 222);
    return d->backgroundColor;
}

void QtMaterialSnackbar::setBackgroundOpacity(qreal opacity)
{
    Q_D(QtMaterialSnackbar);
    d->backgroundOpacity = opacity;
    update();
}

qreal QtMaterialSnackbar::backgroundOpacity() const
{
    Q_D(const QtMaterialSnackbar);
    return d->backgroundOpacity;
}

void QtMaterialSnackbar::setTextColor(const QColor &color)
{
    Q_D(QtMaterialSnackbar);
    d->textColor = color;
    d->useThemeColors = false;
    update();
}

QColor QtMaterialSnackbar::textColor() const
{
    Q_D(const QtMaterialSnackbar);
    if (d->useThemeColors || !d->textColor.isValid())
        return QColor(Qt::white);
    return d->textColor;
}

void QtMaterialSnackbar::setFontSize(qreal size)
{
    QFont f(font());
    f.setPointSizeF(size);
    setFont(f);
    update();
}

qreal QtMaterialSnackbar::fontSize() const
{
    return font().pointSizeF();
}

void QtMaterialSnackbar::setBoxWidth(int width)
{
    Q_D(QtMaterialSnackbar);
    d->boxWidth = width;
    update();
}

int QtMaterialSnackbar::boxWidth() const
{
    Q_D(const QtMaterialSnackbar);
    return d->boxWidth;
}

void QtMaterialSnackbar::setClickToDismissMode(bool value)
{
    Q_D(QtMaterialSnackbar);
    d->clickToDismiss = value;
}

bool QtMaterialSnackbar::clickToDismissMode() const
{
    Q_D(const QtMaterialSnackbar);
    return d->clickToDismiss;
}

// A message equal to the last one queued is dropped.
QStringList QtMaterialSnackbar::messages() const
{
    Q_D(const QtMaterialSnackbar);
    return d->messages;
}

void QtMaterialSnackbar::addMessage(const QString &message)
{
    if (repostFromOtherThread(this, [this, message] { addMessage(message); }))
        return;
    Q_D(QtMaterialSnackbar);
    if (!d->messages.isEmpty() && d->messages.last() == message)
        return;
    d->messages.append(message);
    d->stateMachine->postEvent(new QtMaterialStateTransitionEvent(ShowRequested));
    raise();
}

// The message goes next in line, and the one on show leaves at once.
void QtMaterialSnackbar::addInstantMessage(const QString &message)
{
    if (repostFromOtherThread(this, [this, message] { addInstantMessage(message); }))
        return;
    Q_D(QtMaterialSnackbar);
    if (d->messages.isEmpty())
        d->messages.append(message);
    else
        d->messages.insert(1, message);
    d->stateMachine->progress();
}

void QtMaterialSnackbar::dequeue()
{
    Q_D(QtMaterialSnackbar);
    if (d->messages.isEmpty())
        return;
    d->messages.removeFirst();
    d->stateMachine->postEvent(new QtMaterialStateTransitionEvent(d->messages.isEmpty() ? QueueEmpty : QueueNotEmpty));
}

void QtMaterialSnackbar::paintEvent(QPaintEvent *)
{
    Q_D(QtMaterialSnackbar);
    if (d->messages.isEmpty())
        return;
    const QString message = d->messages.first();

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setBrush(QBrush(backgroundColor(), Qt::SolidPattern));
    painter.setOpacity(d->backgroundOpacity);

    const QRect layout(0, 0, d->boxWidth, 40);
    QRect text = painter.boundingRect(layout, textFlags, message);
    const QRect box = text.united(layout).adjusted(-10, -10, 10, 20);

    // Offset 0: the box sits on the bottom edge, its rounded lower corners below it; 1: out of sight.
    painter.translate((width() - box.width() + 20) / 2, (height() + 10) - box.height() * (1 - d->stateMachine->offset()));
    text.moveCenter(box.center());

    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRect(box.topLeft(), QSize(box.width(), box.height() + 4)), 4, 4, Qt::AbsoluteSize);
    painter.setPen(textColor());
    painter.drawText(text, textFlags, message);
}
