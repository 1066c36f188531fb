#include "shell/chrome/QtMaterialSnackbar.h"
#include "shell/chrome/QtMaterialSnackbarStateMachine.h"
#include "shell/chrome/QtMaterialSnackbar_p.h"

#include <QPushButton>
#include <QState>
#include <QThread>
#include <QtTest>

namespace {

class SnackbarProbe : public QtMaterialSnackbar
{
public:
    using QtMaterialSnackbar::QtMaterialSnackbar;
    QStringList queue() const { return d_ptr->messages; }
    qreal offset() const { return d_ptr->stateMachine->offset(); }
    // hidden, visible, leaving
    QState *state(int index) const
    {
        return d_ptr->stateMachine->findChildren<QState *>(QString(), Qt::FindDirectChildrenOnly).at(index);
    }
};

// An 800 x 600 white window with a snackbar over it that records each message as it comes fully up.
struct Screen
{
    QWidget window;
    SnackbarProbe *snackbar;
    QStringList shown;

    Screen()
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, Qt::white);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        snackbar = new SnackbarProbe(&window);
        window.resize(800, 600);
        window.show();
        QObject::connect(snackbar->state(1), &QState::propertiesAssigned, [this] { shown << snackbar->queue().first(); });
    }

    bool isIdle() const { return snackbar->queue().isEmpty() && snackbar->offset() == 1.0; }
};

bool isBox(QRgb pixel)
{
    return qRed(pixel) < 128;
}

// The rows and columns the box covers on the grabbed window.
QRect boxOn(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isBox(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

class TestSnackbar : public QObject
{
    Q_OBJECT
private slots:
    void lastEntryDuplicateDropped();
    void messageShownAgainAfterLeaving();
    void instantMessageGoesNext();
    void instantMessageOnIdleSnackbar();
    void timing();
    void painting_data();
    void painting();
    void followsParentResize();
    void clicksPassThrough();
    void messagesFromWorkerThread();
};

void TestSnackbar::lastEntryDuplicateDropped()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(60000);
    screen.snackbar->addMessage("A");
    screen.snackbar->addMessage("A");
    QCOMPARE(screen.snackbar->queue(), QStringList{"A"});
    QTRY_COMPARE(screen.shown, QStringList{"A"});
    screen.snackbar->addMessage("A"); // A is up, alone in the queue
    screen.snackbar->addMessage("B");
    screen.snackbar->addMessage("A");
    QCOMPARE(screen.snackbar->queue(), (QStringList{"A", "B", "A"}));
}

void TestSnackbar::messageShownAgainAfterLeaving()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(50);
    screen.snackbar->addMessage("A");
    QTRY_VERIFY(!screen.shown.isEmpty() && screen.isIdle());
    screen.snackbar->addMessage("A");
    QTRY_VERIFY(screen.shown.size() == 2 && screen.isIdle());
    QCOMPARE(screen.shown, (QStringList{"A", "A"}));
}

// The message on show leaves at once (its own timer would run for a minute), the instant one follows.
void TestSnackbar::instantMessageGoesNext()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(60000);
    screen.snackbar->addMessage("A");
    screen.snackbar->addMessage("B");
    QTRY_COMPARE(screen.shown, QStringList{"A"});

    screen.snackbar->setAutoHideDuration(50);
    screen.snackbar->addInstantMessage("M");
    QCOMPARE(screen.snackbar->queue(), (QStringList{"A", "M", "B"}));
    QTRY_VERIFY(screen.isIdle());
    QCOMPARE(screen.shown, (QStringList{"A", "M", "B"}));
}

void TestSnackbar::instantMessageOnIdleSnackbar()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(50);
    screen.snackbar->addInstantMessage("M");
    QTRY_VERIFY(!screen.shown.isEmpty() && screen.isIdle());
    QCOMPARE(screen.shown, QStringList{"M"});
}

// Up in 300 ms, stays the auto-hide duration, gone 300 ms later. Lower bounds only:
// a slow machine may take longer, never less.
void TestSnackbar::timing()
{
    Screen screen;
    QCOMPARE(screen.snackbar->autoHideDuration(), 2000);
    screen.snackbar->setAutoHideDuration(400);
    QElapsedTimer clock;
    qint64 up = -1;
    qint64 leaving = -1;
    qint64 gone = -1;
    connect(screen.snackbar->state(1), &QState::propertiesAssigned, [&] { up = clock.elapsed(); });
    connect(screen.snackbar->state(2), &QState::entered, [&] { leaving = clock.elapsed(); });
    connect(screen.snackbar->state(2), &QState::propertiesAssigned, [&] { gone = clock.elapsed(); });

    clock.start();
    screen.snackbar->addMessage("A");
    QTRY_VERIFY(up >= 0);
    QCOMPARE(screen.snackbar->offset(), 0.0);
    QTRY_VERIFY(gone >= 0);
    QCOMPARE(screen.snackbar->offset(), 1.0);
    QTRY_VERIFY(screen.isIdle());

    QVERIFY2(up >= 300, qPrintable(QString::number(up)));
    QVERIFY2(leaving - up >= 380, qPrintable(QString::number(leaving - up))); // coarse timers fire up to 5 % early
    QVERIFY2(gone - leaving >= 300, qPrintable(QString::number(gone - leaving)));
}

void TestSnackbar::painting_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("taller");
    QTest::newRow("one line") << QString("采样完成") << false;
    // The first line is wider than the box and wraps within it.
    QTest::newRow("two lines, wrapped")
        << QString("/野外数据/二零二五年测区/第一测线/第二测点/AMT-01.HMT\n工程已经打开！") << true;
}

// Fully up: a box of the text's height plus 30, at least 70, 320 wide, centred, flush on the bottom edge.
void TestSnackbar::painting()
{
    QFETCH(QString, message);
    QFETCH(bool, taller);

    Screen screen;
    screen.snackbar->setAutoHideDuration(60000);
    screen.snackbar->addMessage(message);
    QTRY_COMPARE(screen.shown.size(), 1);

    const QRect text = QFontMetrics(screen.snackbar->font())
                           .boundingRect(QRect(0, 0, 300, 40), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, message);
    const int height = qMax(text.height(), 40) + 30;
    QCOMPARE(height > 70, taller);

    const QImage image = screen.window.grab().toImage();
    QCOMPARE(boxOn(image), QRect(240, 600 - height, 320, height));
    // Black at alpha 222 and opacity 0.9 over white.
    const QRgb fill = image.pixel(245, 597);
    QVERIFY2(qAbs(qRed(fill) - 55) <= 3 && qRed(fill) == qGreen(fill) && qGreen(fill) == qBlue(fill),
             qPrintable(QColor(fill).name()));
    // Rounded on top, square at the bottom edge.
    QVERIFY(!isBox(image.pixel(240, 600 - height)));
    QVERIFY(isBox(image.pixel(240, 599)));
}

void TestSnackbar::followsParentResize()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(60000);
    screen.snackbar->addMessage("A");
    QTRY_COMPARE(screen.shown.size(), 1);
    screen.window.resize(600, 400);
    QCOMPARE(screen.snackbar->geometry(), QRect(0, 0, 600, 400));
    QCOMPARE(boxOn(screen.window.grab().toImage()), QRect(140, 330, 320, 70));
}

void TestSnackbar::clicksPassThrough()
{
    Screen screen;
    auto *button = new QPushButton("beneath", &screen.window);
    button->setGeometry(300, 540, 200, 60);
    button->show();
    screen.snackbar->setAutoHideDuration(60000);
    screen.snackbar->addMessage("A");
    QTRY_COMPARE(screen.shown.size(), 1);
    QVERIFY(QTest::qWaitForWindowExposed(&screen.window));

    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::mouseClick(screen.window.windowHandle(), Qt::LeftButton, {}, QPoint(400, 570));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(screen.snackbar->queue(), QStringList{"A"});
    QCOMPARE(screen.snackbar->offset(), 0.0);
}

// Background tasks send notices; the widget work happens on the GUI thread.
void TestSnackbar::messagesFromWorkerThread()
{
    Screen screen;
    screen.snackbar->setAutoHideDuration(50);
    QList<QThread *> raisedOn;
    struct RaiseSpy : QObject
    {
        QList<QThread *> *threads;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::ZOrderChange)
                threads->append(QThread::currentThread());
            return false;
        }
    } spy;
    spy.threads = &raisedOn;
    screen.snackbar->installEventFilter(&spy);
    (new QWidget(&screen.window))->show(); // a sibling above the snackbar, so raising it reorders

    QScopedPointer<QThread> worker(QThread::create([&screen] {
        screen.snackbar->addMessage("线1点2数据采集命令下发！");
        screen.snackbar->addInstantMessage("采样完成");
    }));
    worker->start();
    QVERIFY(worker->wait(5000));
    QVERIFY(screen.snackbar->queue().isEmpty()); // nothing ran on the worker

    // The instant message cut the first one short before it was fully up.
    QTRY_VERIFY(!screen.shown.isEmpty() && screen.isIdle());
    QCOMPARE(screen.shown, QStringList{"采样完成"});
    QCOMPARE(raisedOn, QList<QThread *>{QThread::currentThread()});
}

QTEST_MAIN(TestSnackbar)
#include "tst_snackbar.moc"
