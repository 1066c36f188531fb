// amt-viewshots OUTPUT_FOLDER [WIDTHxHEIGHT ...]
// Draws a synthetic five-channel recording in the time-series view and three synthetic
// impedance curves in the impedance view, at each size given (by default 1050x650, the main
// window's smallest, and 1200x680), and saves each view as "timeseries-WIDTHxHEIGHT.png" and
// "impedance-WIDTHxHEIGHT.png" (resistivity axes up to 1000, whose end labels are not padded).
// Everything is drawn under the program's style sheet, in the theme of the screen that holds a
// window of that size; the sensor and task dialogs are drawn in that theme too (see
// DialogShots.h, NAME being WIDTHxHEIGHT). Fails when a picture has no curve, when two tick
// labels, of one axis or of neighbouring plots, stand closer than a blank, or when a dialog cuts
// a text, and names those labels and texts.
#include "DialogShots.h"

#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/PlotMatrix.h"

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

bool save(QWidget &view, const QString &name, QSize size, const QDir &out)
{
    view.resize(size);
    view.show();
    QApplication::processEvents();
    const QImage image = view.grab().toImage();
    const int coloured = colouredPixels(image);
    const QString path = out.filePath(QString("%1-%2x%3.png").arg(name).arg(size.width()).arg(size.height()));
    const bool saved = image.save(path, "PNG");
    std::printf("%s %s (%dx%d, %d coloured pixels)\n", saved ? "wrote" : "could not write", qPrintable(path),
                image.width(), image.height(), coloured);
    const QStringList crowded = view.findChild<PlotMatrix *>()->crowdedTickLabels();
    for (const QString &labels : crowded)
        std::printf("labels too close in %s: %s\n", qPrintable(path), qPrintable(labels));
    return saved && coloured > 0 && crowded.isEmpty();
}

// A window of this size, with its frame and a task bar, needs a screen that much larger.
void applyStyleSheetFor(QSize windowSize)
{
    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    const QRect screen(QPoint(0, 0), windowSize + QSize(20, 80));
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(screen));
    qApp->setStyleSheet(preprocessor.process(QStringLiteral("style.css")));
}

QList<QSize> sizesOf(const QStringList &arguments)
{
    QList<QSize> sizes;
    for (const QString &argument : arguments) {
        const QStringList parts = argument.split('x');
        if (parts.size() == 2 && parts.at(0).toInt() > 0 && parts.at(1).toInt() > 0)
            sizes << QSize(parts.at(0).toInt(), parts.at(1).toInt());
        else
            std::fprintf(stderr, "not a size: %s\n", qPrintable(argument));
    }
    return sizes;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: amt-viewshots OUTPUT_FOLDER [WIDTHxHEIGHT ...]\n");
        return 2;
    }
    const QDir out(arguments.takeFirst());
    QList<QSize> sizes = {{1050, 650}, {1200, 680}};
    if (!arguments.isEmpty()) {
        sizes = sizesOf(arguments);
        if (sizes.size() != arguments.size())
            return 2;
    }
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
    impedance.setProcessData(syntheticCurves(), 1000, 1, 1000, 1, 1000);
    bool saved = true;
    for (const QSize size : sizes) {
        applyStyleSheetFor(size);
        saved = save(timeSeries, "timeseries", size, out) && saved;
        saved = save(impedance, "impedance", size, out) && saved;
        const QString name = QString("%1x%2").arg(size.width()).arg(size.height());
        saved = saveSensorDialog(out, name) && saved;
        saved = saveTaskDialog(out, name) && saved;
    }
    return saved ? 0 : 1;
}
