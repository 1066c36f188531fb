// amt-viewshots OUTPUT_FOLDER
// Draws a synthetic five-channel recording in the time-series view and three synthetic
// impedance curves in the impedance view, and saves each view as a PNG file.
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_TimeSeriesGraph.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtMath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int sampleRate = 4000;
const int seconds = 2;

// One channel: a sine of its own frequency and amplitude, a slow drift and one spike.
bool writeChannel(const QString &path, int channel)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const double countsPerMillivolt = 2147483647.0 / 2500.0;
    const int total = sampleRate * seconds;
    QByteArray bytes(total * 4, Qt::Uninitialized);
    for (int k = 0; k < total; ++k) {
        const double t = double(k) / sampleRate;
        double mv = (400 + 300 * channel) * qSin(2 * M_PI * (3 + 2 * channel) * t) + 150 * t;
        if (k == 1000 + 97 * channel)
            mv = 2200;
        qToLittleEndian<qint32>(qint32(mv * countsPerMillivolt), bytes.data() + 4 * k);
    }
    return file.write(bytes) == bytes.size();
}

QList<ChannelImpedance> syntheticCurves()
{
    QList<ChannelImpedance> curves;
    for (int channel = 0; channel < 3; ++channel) {
        ChannelImpedance curve;
        curve.channel = channel;
        for (double f = 0.05; f < 90000; f *= 1.6) {
            OneFreqImpedance point;
            point.frequency = f;
            point.apparentResistivity = 100 * (channel + 1) * (1 + 0.5 * qSin(qLn(f)));
            point.phase = 45 + 15 * qCos(qLn(f) + channel);
            point.coherence = 0.6 + 0.3 * qSin(qLn(f) * 0.7 + channel);
            point.trueResistivity = point.apparentResistivity * 1.3;
            point.inversionDepth = 503 * qSqrt(point.apparentResistivity / f) / 10;
            curve.curve << point;
        }
        curves << curve;
    }
    return curves;
}

// Pixels drawn in a colour (curves and symbols), as opposed to white, grey and black.
int colouredPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.hsvSaturation() > 128)
                ++count;
        }
    }
    return count;
}

bool save(QWidget &view, const QString &path)
{
    view.resize(1200, 680);
    view.show();
    QApplication::processEvents();
    const QImage image = view.grab().toImage();
    const int coloured = colouredPixels(image);
    const bool saved = image.save(path, "PNG");
    std::printf("%s %s (%dx%d, %d coloured pixels)\n", saved ? "wrote" : "could not write", qPrintable(path),
                image.width(), image.height(), coloured);
    return saved && coloured > 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: amt-viewshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir data;
    std::vector<std::unique_ptr<QFile>> files;
    const QStringList names = {"Hx", "Hy", "E0", "E1", "E2"};
    for (int channel = 0; channel < names.size(); ++channel) {
        const QString path = data.filePath(QString("L1_Station12.5_%1.ats").arg(names.at(channel)));
        if (!writeChannel(path, channel))
            return 1;
        files.push_back(std::make_unique<QFile>(path));
    }
    QList<QFile *> channelFiles;
    for (const auto &file : files)
        channelFiles << file.get();

    Form_TimeSeriesGraph timeSeries;
    timeSeries.setTimeSeriesData(sampleRate, seconds, 0, channelFiles, 8192, false, 1, 2500, -2500);
    Form_ProcessDataGraph impedance;
    impedance.setProcessData(syntheticCurves(), 10000, 1, 10000, 1, 1000);
    const bool saved = save(timeSeries, out.filePath("timeseries.png")) && save(impedance, out.filePath("impedance.png"));
    return saved ? 0 : 1;
}
