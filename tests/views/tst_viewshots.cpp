#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The screenshot tool draws both views with synthetic data at the window's smallest size and at
// 1200 x 680, and the sensor and task dialogs in the theme of those windows; no picture may come
// out blank, and the tool fails when two tick labels stand too close or a dialog cuts a text.
class TestViewshots : public QObject
{
    Q_OBJECT
private slots:
    void bothViewsAreDrawn();
};

namespace {

int colouredPixels(const QImage &image)
{
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            coloured += image.pixelColor(x, y).hsvSaturation() > 128 ? 1 : 0;
    }
    return coloured;
}

} // namespace

void TestViewshots::bothViewsAreDrawn()
{
    QTemporaryDir out;
    QProcess tool;
    tool.start(VIEWSHOTS_TOOL, {out.path()});
    QVERIFY(tool.waitForFinished(120000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardOutput().constData());
    for (const QSize size : {QSize(1050, 650), QSize(1200, 680)}) {
        for (const QString view : {"timeseries", "impedance"}) {
            const QString name = QString("%1-%2x%3.png").arg(view).arg(size.width()).arg(size.height());
            const QImage image(out.filePath(name));
            QCOMPARE(image.size(), size);
            const int coloured = colouredPixels(image);
            QVERIFY2(coloured > 500, qPrintable(name + ": " + QString::number(coloured)));
        }
        // The dialogs at their own sizes, with their blue frames and ticked boxes.
        for (const QString dialog : {"sensors", "sensors-list", "tasks"}) {
            const QString name = QString("%1-%2x%3.png").arg(dialog).arg(size.width()).arg(size.height());
            const QImage image(out.filePath(name));
            QVERIFY2(image.width() > 150 && image.height() > 40, qPrintable(name));
            if (dialog != "sensors-list")
                QVERIFY2(colouredPixels(image) > 50, qPrintable(name));
        }
    }
}

QTEST_MAIN(TestViewshots)
#include "tst_viewshots.moc"
