#include "bench/MedianReporter.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/PlotMatrix.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtEndian>
#include <QtMath>
#include <cstdio>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <vector>

namespace {

const int pageSamples = 262144;
const int sampleRate = 4000;
const int seconds = 4 * pageSamples / sampleRate; // four pages and a bit
const int channelCount = 5;
const QStringList channelNames = {"Hx", "Hy", "E0", "E1", "E2"};

// Five channel files of noisy sines, written once for all benchmarks.
class Recording
{
public:
    Recording()
    {
        const int total = sampleRate * seconds;
        for (int channel = 0; channel < channelCount; ++channel) {
            auto file = std::make_unique<QFile>(dir.filePath(QString("B_%1.ats").arg(channelNames.at(channel))));
            QByteArray bytes(total * 4, Qt::Uninitialized);
            for (int k = 0; k < total; ++k) {
                const double wave = qSin(k * 0.001 * (channel + 1)) * 4.0e8 + ((qint64(k) * 7919) % 1000) * 2.0e5;
                qToLittleEndian<qint32>(qint32(wave), bytes.data() + 4 * k);
            }
            if (file->open(QIODevice::WriteOnly)) {
                file->write(bytes);
                file->close();
            }
            files.push_back(std::move(file));
        }
    }

    QList<QFile *> list() const
    {
        QList<QFile *> result;
        for (const auto &file : files)
            result << file.get();
        return result;
    }

    int totalSamples() const { return sampleRate * seconds; }

private:
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QFile>> files;
};

Recording &recording()
{
    static Recording instance;
    return instance;
}

// The next page's first sample, wrapping round at the end of the recording.
int nextPage(int first)
{
    first += pageSamples;
    return first + pageSamples > recording().totalSamples() ? 0 : first;
}

void BM_ViewPageFlip(benchmark::State &state)
{
    Form_TimeSeriesGraph view;
    view.resize(1200, 680);
    view.show();
    view.setTimeSeriesData(sampleRate, seconds, 0, recording().list(), pageSamples, false, 0, 2500, -2500);
    QApplication::processEvents();
    auto *scrollBar = view.findChild<QScrollBar *>();
    int first = 0;
    for (auto _ : state) {
        first = nextPage(first);
        scrollBar->setValue(first);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ViewPageFlip)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

QVector<double> readWindow(QFile *file, int first)
{
    QVector<double> values(pageSamples);
    QFile own(file->fileName());
    if (!own.open(QIODevice::ReadOnly) || !own.seek(qint64(first) * 4))
        return values;
    const QByteArray bytes = own.read(qint64(pageSamples) * 4);
    const auto *raw = reinterpret_cast<const uchar *>(bytes.constData());
    for (int k = 0; k < bytes.size() / 4; ++k)
        values[k] = qFromLittleEndian<qint32>(raw + 4 * k) * (2500.0 / 2147483647.0);
    return values;
}

// Reference: the same grid and page with plain curves that hand every point to the painter.
void BM_PlainCurvePageFlip(benchmark::State &state)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new PlotMatrix(channelCount, 1);
    layout->addWidget(grid);
    std::vector<QwtPlotCurve *> curves;
    for (int row = 0; row < channelCount; ++row) {
        curves.push_back(new QwtPlotCurve);
        curves.back()->setPen(Qt::blue, 0, Qt::SolidLine);
        curves.back()->attach(grid->cellPlot(row, 0));
    }
    window.resize(1200, 680);
    window.show();
    QApplication::processEvents();
    const QList<QFile *> files = recording().list();
    QVector<double> x(pageSamples);
    int first = 0;
    for (auto _ : state) {
        first = nextPage(first);
        for (int k = 0; k < pageSamples; ++k)
            x[k] = double(first + k) / sampleRate;
        for (int row = 0; row < channelCount; ++row) {
            QwtPlot *plot = grid->cellPlot(row, 0);
            curves[row]->setSamples(x, readWindow(files.at(row), first));
            plot->setAxisScale(QwtPlot::xBottom, x.first(), x.last());
            plot->replot();
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PlainCurvePageFlip)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    recording();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double view = reporter.at("BM_ViewPageFlip");
    const double plain = reporter.at("BM_PlainCurvePageFlip");
    if (view > 0 && plain > 0)
        std::printf("Page flip, 5 x %d samples at 1200 x 680 (median CPU time): view %.1f ms (target 50 ms), "
                    "plain curves %.1f ms\n",
                    pageSamples, view * 1e3, plain * 1e3);
    return 0;
}
