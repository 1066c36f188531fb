#ifndef QTMATERIALOVERLAYWIDGET_H
#define QTMATERIALOVERLAYWIDGET_H

#include <QWidget>

// A widget that always covers its whole parent and follows the parent's moves and resizes.
class QtMaterialOverlayWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QtMaterialOverlayWidget(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual QRect overlayGeometry() const;
};

#endif // QTMATERIALOVERLAYWIDGET_H
