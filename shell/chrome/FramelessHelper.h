#ifndef FRAMELESSHELPER_H
#define FRAMELESSHELPER_H

#include <QMargins>
#include <QObject>
#include <QScopedPointer>

class QWidget;
class FramelessHelperPrivate;

// Makes a top-level widget without a native frame (Qt::FramelessWindowHint) move, resize,
// snap and maximize like a framed window. Lives as the window's child.
class FramelessHelper : public QObject
{
    Q_OBJECT
public:
    explicit FramelessHelper(QObject *parent);
    ~FramelessHelper() override;

    void setResizeMargins(int left, int top, int right, int bottom);
    void setResizeMargins(const QMargins &margins);
    QMargins resizeMargins() const;

    void setMaximizedMargins(int left, int top, int right, int bottom);
    void setMaximizedMargins(const QMargins &margins);
    QMargins maximizedMargins() const;

    int titleBarHeight() const;
    double scaleFactor() const;
    bool isMaximized() const;

    // Widgets whose area in the title band always drags the window.
    void addIncludedWidget(QWidget *widget);
    void removeIncludedWidget(QWidget *widget);
    // Widgets whose area (and their children's) in the title band never drags the window.
    void addExcludedWidget(QWidget *widget);
    void removeExcludedWidget(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void titleBarHeightChanged(int newValue);
    void scaleFactorChanged(double factor);
    void maximizedChanged(bool maximized);

public slots:
    void setTitleBarHeight(int value);
    void triggerMinimizeButtonAction();
    void triggerMaximizeButtonAction();
    void triggerCloseButtonAction();

private:
    void createNativeHelper();

    QScopedPointer<FramelessHelperPrivate> d_ptr;
    Q_DECLARE_PRIVATE(FramelessHelper)
};

#endif // FRAMELESSHELPER_H
