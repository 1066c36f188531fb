#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The impedance view draws its three groups in pure red, blue and magenta; nothing else of the
// styled window is painted in those colours.
bool curveColour(QRgb pixel)
{
    const QRgb colour = pixel | 0xff000000;
    return colour == QColor(Qt::red).rgb() || colour == QColor(Qt::blue).rgb() || colour == QColor(Qt::magenta).rgb();
}

} // namespace

// The demo tool runs the main job through the main window and grabs it with the curves shown.
class TestDemoshot : public QObject
{
    Q_OBJECT
private slots:
    void windowShowsTheRunsCurves();
};

void TestDemoshot::windowShowsTheRunsCurves()
{
    QTemporaryDir out;
    const QString png = out.filePath("demo-run.png");
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(DEMOSHOT_TOOL, {png});
    QVERIFY(tool.waitForFinished(280000));
    QCOMPARE(tool.exitCode(), 0);
    const QImage image(png);
    QCOMPARE(image.size(), QSize(1200, 680));
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            curvePixels += curveColour(image.pixel(x, y)) ? 1 : 0;
    }
    QVERIFY2(curvePixels > 1000, qPrintable(QString::number(curvePixels)));
}

QTEST_MAIN(TestDemoshot)
#include "tst_demoshot.moc"
