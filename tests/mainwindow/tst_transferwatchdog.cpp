#include "mainwindow/TransferWatchdog.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

// The watch of a transfer: a stall is an interval without progress, counted from the start.
class TestTransferWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void stallsWithoutProgress();
    void progressAndFeedKeepItQuiet_data();
    void progressAndFeedKeepItQuiet();
    void stopEndsTheWatch();
    void lateCheckIsNoStall();
};

// No progress: a stall per interval, numbered from the start; a new start counts afresh.
void TestTransferWatchdog::stallsWithoutProgress()
{
    TransferWatchdog watchdog([] { return qint64(7); });
    watchdog.setInterval(100);
    QSignalSpy stalls(&watchdog, &TransferWatchdog::stalled);
    watchdog.start();
    QVERIFY(stalls.wait(5000));
    QVERIFY(stalls.size() == 2 || stalls.wait(5000));
    QCOMPARE(stalls.at(0).at(0).toInt(), 1);
    QCOMPARE(stalls.at(1).at(0).toInt(), 2);
    QVERIFY(watchdog.isActive());

    stalls.clear();
    watchdog.start();
    QVERIFY(stalls.wait(5000));
    QCOMPARE(stalls.first().first().toInt(), 1);
}

// For several intervals either the count moves or the watch is fed: no stall; once both stop,
// the first stall comes.
void TestTransferWatchdog::progressAndFeedKeepItQuiet_data()
{
    QTest::addColumn<bool>("moving");
    QTest::addColumn<bool>("fed");
    QTest::newRow("bytes arrive") << true << false;
    QTest::newRow("fed") << false << true;
}

void TestTransferWatchdog::progressAndFeedKeepItQuiet()
{
    QFETCH(bool, moving);
    QFETCH(bool, fed);
    qint64 bytes = 0;
    TransferWatchdog watchdog([&bytes] { return bytes; });
    watchdog.setInterval(100);
    QSignalSpy stalls(&watchdog, &TransferWatchdog::stalled);
    QTimer activity;
    QObject::connect(&activity, &QTimer::timeout, [&] {
        if (moving)
            bytes += 100;
        if (fed)
            watchdog.feed();
    });
    activity.start(10);
    watchdog.start();
    QElapsedTimer elapsed;
    elapsed.start();
    QTRY_VERIFY_WITH_TIMEOUT(elapsed.elapsed() > 600, 5000);
    QCOMPARE(stalls.size(), 0);

    activity.stop();
    QVERIFY(stalls.wait(5000));
    QCOMPARE(stalls.first().first().toInt(), 1);
}

void TestTransferWatchdog::stopEndsTheWatch()
{
    TransferWatchdog watchdog([] { return qint64(0); });
    watchdog.setInterval(20);
    QSignalSpy stalls(&watchdog, &TransferWatchdog::stalled);
    watchdog.start();
    watchdog.stop();
    // A block that comes after the end does not start the watch again.
    watchdog.feed();
    QVERIFY(!watchdog.isActive());
    QVERIFY(!stalls.wait(200));
}

// The event loop held up for longer than the interval: bytes may be waiting unread, so the
// late check is no stall; the next one on time is.
void TestTransferWatchdog::lateCheckIsNoStall()
{
    TransferWatchdog watchdog([] { return qint64(0); });
    watchdog.setInterval(50);
    QSignalSpy stalls(&watchdog, &TransferWatchdog::stalled);
    watchdog.start();
    QThread::msleep(200);
    QCoreApplication::processEvents();
    QCOMPARE(stalls.size(), 0);
    QVERIFY(stalls.wait(5000));
    QCOMPARE(stalls.first().first().toInt(), 1);
}

QTEST_GUILESS_MAIN(TestTransferWatchdog)
#include "tst_transferwatchdog.moc"
