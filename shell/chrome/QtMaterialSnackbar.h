#ifndef QTMATERIALSNACKBAR_H
#define QTMATERIALSNACKBAR_H

#include "shell/chrome/QtMaterialOverlayWidget.h"

#include <QScopedPointer>

class QtMaterialSnackbarPrivate;

// Short text notices over the parent window, one at a time: a dark box slides up from the
// bottom edge, stays for the auto-hide duration and slides down; further notices wait in a queue.
// addMessage and addInstantMessage may be called from any thread.
class QtMaterialSnackbar : public QtMaterialOverlayWidget
{
    Q_OBJECT
public:
    explicit QtMaterialSnackbar(QWidget *parent = nullptr);
    ~QtMaterialSnackbar() override;

    void setAutoHideDuration(int duration);
    int autoHideDuration() const;

    void setUseThemeColors(bool value);
    bool useThemeColors() const;

    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const;

    void setBackgroundOpacity(qreal opacity);
    qreal backgroundOpacity() const;

    void setTextColor(const QColor &color);
    QColor textColor() const;

    void setFontSize(qreal size);
    qreal fontSize() const;

    void setBoxWidth(int width);
    int boxWidth() const;

    void setClickToDismissMode(bool value);
    bool clickToDismissMode() const;

    // The notices on show or waiting, the one on show first.
    QStringList messages() const;

public slots:
    void addMessage(const QString &message);
    void addInstantMessage(const QString &message);
    void dequeue();

protected:
    void paintEvent(QPaintEvent *event) override;

    const QScopedPointer<QtMaterialSnackbarPrivate> d_ptr;

private:
    Q_DECLARE_PRIVATE(QtMaterialSnackbar)
};

#endif // QTMATERIALSNACKBAR_H
