#include "views/PlotMatrix.h"

#include <QGridLayout>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>

namespace {

bool drawn(const QwtPlot *plot, int axis)
{
    const QwtAbstractScaleDraw *draw = plot->axisScaleDraw(axis);
    const bool labels = draw->hasComponent(QwtAbstractScaleDraw::Labels);
    // The three parts are switched together.
    if (draw->hasComponent(QwtAbstractScaleDraw::Backbone) != labels ||
        draw->hasComponent(QwtAbstractScaleDraw::Ticks) != labels)
        return false;
    return labels;
}

// Per cell, row-major: "L" left, "R" right, "B" bottom, "T" top scale drawn, "-" not.
QStringList componentTable(const PlotMatrix &grid)
{
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QwtPlot *plot = grid.cellPlot(row, column);
            QString cell;
            cell += drawn(plot, QwtPlot::yLeft) ? 'L' : '-';
            cell += drawn(plot, QwtPlot::yRight) ? 'R' : '-';
            cell += drawn(plot, QwtPlot::xBottom) ? 'B' : '-';
            cell += drawn(plot, QwtPlot::xTop) ? 'T' : '-';
            cells << cell;
        }
    }
    return cells;
}

} // namespace

class TestPlotMatrix : public QObject
{
    Q_OBJECT
private slots:
    void components_data();
    void components();
    void cellsAndStretches();
    void axisAreasLineUp();
    void columnFollowsOneXDivision();
};

void TestPlotMatrix::components_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("rightAndTop");
    QTest::addColumn<int>("hiddenRow");
    QTest::addColumn<QStringList>("table");
    QTest::newRow("5x1 before shown") << 5 << 1 << false << -1
                                      << QStringList{"L---", "L---", "L---", "L---", "L-B-"};
    QTest::newRow("1x4") << 1 << 4 << false << -1 << QStringList{"L-B-", "--B-", "--B-", "L-B-"};
    QTest::newRow("2x5") << 2 << 5 << false << -1
                         << QStringList{"L---", "----", "----", "L---", "----",
                                        "L-B-", "--B-", "--B-", "L-B-", "--B-"};
    QTest::newRow("2x2 all four axes") << 2 << 2 << true << -1 << QStringList{"L--T", "-R-T", "L-B-", "-RB-"};
    QTest::newRow("3x1 lowest row hidden") << 3 << 1 << false << 2 << QStringList{"L---", "L-B-", "L---"};
}

void TestPlotMatrix::components()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, rightAndTop);
    QFETCH(int, hiddenRow);
    QFETCH(QStringList, table);
    PlotMatrix grid(rows, columns);
    grid.setAxisShown(QwtPlot::yRight, rightAndTop);
    grid.setAxisShown(QwtPlot::xTop, rightAndTop);
    if (hiddenRow >= 0) {
        grid.show();
        grid.cellPlot(hiddenRow, 0)->hide();
        grid.relayoutAxes();
    }
    QCOMPARE(componentTable(grid), table);
    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis)
        QVERIFY(grid.cellPlot(0, 0)->axisEnabled(axis));
}

void TestPlotMatrix::cellsAndStretches()
{
    PlotMatrix grid(2, 3);
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.columnCount(), 3);
    QVERIFY(grid.cellPlot(1, 2));
    QVERIFY(grid.cellPlot(0, 1) != grid.cellPlot(1, 1));
    QVERIFY(!grid.cellPlot(2, 0));
    QVERIFY(!grid.cellPlot(-1, 0));
    QCOMPARE(grid.cellPlot(1, 2)->sizeHint(), grid.cellPlot(1, 2)->minimumSizeHint());
    grid.setColumnStretch(2, 35);
    QCOMPARE(static_cast<QGridLayout *>(grid.layout())->columnStretch(2), 35);
    QVERIFY(!grid.isAxisShown(7));
    grid.setAxisShown(7, true);
    QVERIFY(!grid.isAxisShown(-1));

    grid.setCellAxisScale(QwtPlot::xBottom, 1, 10, 20);
    QCOMPARE(grid.cellPlot(0, 1)->axisScaleDiv(QwtPlot::xBottom).upperBound(), 20.0);
    grid.setCellAxisScale(QwtPlot::yLeft, 1, -4, 4);
    QCOMPARE(grid.cellPlot(1, 0)->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -4.0);
    grid.setCellAxisScale(QwtPlot::yLeft, 5, -4, 4);
}

void TestPlotMatrix::axisAreasLineUp()
{
    PlotMatrix grid(3, 1);
    grid.cellPlot(0, 0)->setAxisScale(QwtPlot::yLeft, -300000, 300000);
    grid.cellPlot(1, 0)->setAxisScale(QwtPlot::yLeft, 0, 1);
    grid.resize(400, 600);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.relayoutAxes();
    const double wide = grid.cellPlot(0, 0)->axisScaleDraw(QwtPlot::yLeft)->minimumExtent();
    QVERIFY(wide > 0);
    for (int row = 1; row < 3; ++row)
        QCOMPARE(grid.cellPlot(row, 0)->axisScaleDraw(QwtPlot::yLeft)->minimumExtent(), wide);
    QTRY_COMPARE(grid.cellPlot(1, 0)->canvas()->geometry().left(), grid.cellPlot(0, 0)->canvas()->geometry().left());
}

void TestPlotMatrix::columnFollowsOneXDivision()
{
    PlotMatrix grid(3, 2);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QwtPlot *source = grid.cellPlot(1, 1);
    source->setAxisScale(QwtPlot::xBottom, 3, 7);
    source->replot();
    for (int row = 0; row < 3; ++row)
        QTRY_COMPARE(grid.cellPlot(row, 1)->axisScaleDiv(QwtPlot::xBottom).upperBound(), 7.0);
    // Other columns and y divisions are not passed on.
    QVERIFY(grid.cellPlot(0, 0)->axisScaleDiv(QwtPlot::xBottom).upperBound() != 7.0);
    source->setAxisScale(QwtPlot::yLeft, -9, 9);
    source->replot();
    QCoreApplication::processEvents();
    QVERIFY(grid.cellPlot(0, 1)->axisScaleDiv(QwtPlot::yLeft).upperBound() != 9.0);
}

QTEST_MAIN(TestPlotMatrix)
#include "tst_plot_matrix.moc"
