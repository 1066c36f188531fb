#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The screenshot tool draws both views with synthetic data; neither picture may come out blank.
class TestViewshots : public QObject
{
    Q_OBJECT
private slots:
    void bothViewsAreDrawn();
};

void TestViewshots::bothViewsAreDrawn()
{
    QTemporaryDir out;
    QProcess tool;
    tool.start(VIEWSHOTS_TOOL, {out.path()});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(tool.exitCode(), 0);
    for (const QString name : {"timeseries.png", "impedance.png"}) {
        const QImage image(out.filePath(name));
        QCOMPARE(image.size(), QSize(1200, 680));
        int coloured = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2)
                coloured += image.pixelColor(x, y).hsvSaturation() > 128 ? 1 : 0;
        }
        QVERIFY2(coloured > 500, qPrintable(name + ": " + QString::number(coloured)));
    }
}

QTEST_MAIN(TestViewshots)
#include "tst_viewshots.moc"
