#ifndef NATIVEMESSAGEPUMP_H
#define NATIVEMESSAGEPUMP_H

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWindow>

class QMouseEvent;

// Turns the mouse, activation, screen and DPI events of a frameless window into the
// window messages that the native event filters see, and carries out the system's part
// of the answers: moving and resizing from the hit test (through the window manager, or by
// hand where it offers none), the resize cursors, and maximizing by a double click on the caption.
class NativeMessagePump : public QObject
{
    Q_OBJECT
public:
    NativeMessagePump(QWindow *window, QObject *parent);
    ~NativeMessagePump() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Drag { None, Pending, Manual }; // None also while the window manager drags

    bool send(quint32 message, quint64 wParam, qint64 lParam, long *result) const;
    long hitTest(const QPoint &globalPos) const;
    bool mousePress(QMouseEvent *event);
    bool mouseMove(QMouseEvent *event);
    bool mouseRelease();
    void beginDrag(const QPoint &globalPos);
    bool mouseDoubleClick(QMouseEvent *event);
    void dragTo(const QPoint &globalPos);
    QRect resizedGeometry(const QPoint &delta) const;
    void showCursorFor(long code);
    void restoreCursor();
    void watchScreen(QScreen *screen);
    void checkDpi();
    int screenDpi() const;

    QPointer<QWindow> window;
    QPointer<QScreen> screen;
    Drag drag = Drag::None;
    long dragCode = 0;
    QPoint pressPos;
    QRect pressGeometry;
    int lastDpi = 0;
    bool cursorOverridden = false;
};

#endif // NATIVEMESSAGEPUMP_H
