#include "mainwindow/StatusBarRules.h"

#include <QtTest>

#include <limits>

// The edges of the status bar's rules that a status report or a task rarely reaches.
class TestPanelRules : public QObject
{
    Q_OBJECT
private slots:
    void progressTotal_data();
    void progressTotal();
    void progressPercent_data();
    void progressPercent();
    void instrumentClock_data();
    void instrumentClock();
};

void TestPanelRules::progressTotal_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("total");
    QTest::newRow("250 Hz") << 900 << 250 << 922;
    QTest::newRow("10001 Hz is low") << 60 << 10001 << 82;
    QTest::newRow("10002 Hz is high") << 60 << 10002 << 70;
    QTest::newRow("277780 Hz") << 2 << 277780 << 12;
}

void TestPanelRules::progressTotal()
{
    QFETCH(int, seconds);
    QFETCH(int, rate);
    QFETCH(int, total);
    QCOMPARE(sampleProgressTotal(seconds, rate), total);
}

void TestPanelRules::progressPercent_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("percent");
    QTest::newRow("start") << 0 << 82 << 0;
    QTest::newRow("truncated") << 1 << 3 << 33;
    QTest::newRow("one before the end") << 81 << 82 << 98;
    QTest::newRow("at the total") << 82 << 82 << 99;
    QTest::newRow("past the total") << 83 << 82 << 99;
    QTest::newRow("no total") << 1 << 0 << 99;
    QTest::newRow("negative total") << 1 << -5 << 99;
}

void TestPanelRules::progressPercent()
{
    QFETCH(int, count);
    QFETCH(int, total);
    QFETCH(int, percent);
    QCOMPARE(sampleProgressPercent(count, total), percent);
}

void TestPanelRules::instrumentClock_data()
{
    QTest::addColumn<QTime>("pcTime");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("three days and 5 s ahead") << QTime(12, 0) << 3 * 86400 + 5 << "12:00:05"
                                              << "仪器比当前操作电脑快了259205秒";
    QTest::newRow("largest lag") << QTime(0, 0) << std::numeric_limits<qint32>::min() << "20:45:52"
                                 << "仪器比当前操作电脑慢了2147483648秒";
}

void TestPanelRules::instrumentClock()
{
    QFETCH(QTime, pcTime);
    QFETCH(int, offset);
    QFETCH(QString, shown);
    QFETCH(QString, toolTip);
    QCOMPARE(instrumentTimeText(pcTime, offset), shown);
    QCOMPARE(clockOffsetToolTip(offset), toolTip);
}

QTEST_MAIN(TestPanelRules)
#include "tst_panelrules.moc"
