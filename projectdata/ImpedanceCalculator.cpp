#include "projectdata/ImpedanceCalculator.h"

#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/LibCagniard.h"
#include "common/CalibrationFiles.h"
#include "common/PlainFileName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

const int windowLength = 16384;
const int maxWindows = 30;

enum Channel { Hx, Hy, E0, E1, E2, ChannelCount };

QString tr(const char *text)
{
    return QCoreApplication::translate("DataModel_Index", text);
}

// The last file of the list whose name holds each channel's tag.
QStringList channelFilesByTag(const QStringList &paths)
{
    static const char *tags[ChannelCount] = {"Hx", "Hy", "E0", "E1", "E2"};
    QStringList files;
    for (int c = 0; c < ChannelCount; ++c)
        files << QString();
    for (const QString &path : paths) {
        const QString name = QFileInfo(path).fileName();
        for (int c = 0; c < ChannelCount; ++c) {
            if (name.contains(QLatin1String(tags[c])))
                files[c] = path;
        }
    }
    return files;
}

// The table of the name in the folder whatever the case of ".txt"; the expected path when missing.
QString tablePath(const QString &folder, const QString &name)
{
    const QString found = CalibrationFiles::tablePath(folder, name);
    return found.isEmpty() ? folder + name + QStringLiteral(".txt") : found;
}

struct CurveFiles
{
    QString eSensorName, hSensorName;
    QString eFile, hFile, eSensor, hSensor, eGain, hGain;
};

CurveFiles curveFiles(const ImpedanceCalculator::Input &input, const QStringList &files, int electric, int partner)
{
    const SampleInfo &r = input.recording;
    const QString eNames[3] = {r.inputs.E0InputNum, r.inputs.E1InputNum, r.inputs.E2InputNum};
    static const char *eGainNames[3] = {"Ex-", "Ey-", "Ex2-"};
    const QString gains = ImpedanceCalculator::gainFolder(input.appDir, r);
    CurveFiles f;
    f.eFile = files.at(E0 + electric);
    f.hFile = files.at(partner);
    f.eSensorName = eNames[electric];
    f.hSensorName = partner == Hx ? r.inputs.HxInputNum : r.inputs.HyInputNum;
    f.eSensor = tablePath(input.inputCalibrationDir, f.eSensorName);
    f.hSensor = tablePath(input.inputCalibrationDir, f.hSensorName);
    f.eGain = tablePath(gains, QLatin1String(eGainNames[electric]) + QString::number(r.ctrlParam.EGain));
    f.hGain = tablePath(gains, (partner == Hx ? QStringLiteral("Hx-") : QStringLiteral("Hy-"))
                                   + QString::number(r.ctrlParam.HGain));
    return f;
}

// The notice naming the missing channel files and tables, or an empty text when all six are there.
QString missingNotice(const CurveFiles &f)
{
    const QString paths[] = {f.eFile, f.hFile, f.eSensor, f.hSensor, f.eGain, f.hGain};
    QString list;
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path))
            list += QDir::toNativeSeparators(path) + tr(" 不存在") + (&path == &paths[5] ? "" : "\n");
    }
    return list.isEmpty() ? QString() : tr("增益文件缺失!\n%1").arg(list);
}

// The first of the four tables that gives no values at the window's bins, or an empty text.
QString unusableTable(const CurveFiles &f, double sampleRate)
{
    const std::pair<bool (*)(QList<SpectrumPoint> &, const QString &), QString> tables[] = {
        {readCalibrationTableIcms, f.eSensor}, {readCalibrationTableIcms, f.hSensor},
        {readCalibrationTable, f.eGain}, {readCalibrationTable, f.hGain}};
    for (const auto &table : tables) {
        QList<SpectrumPoint> points;
        BinTable bins;
        if (!table.first(points, table.second) || !interpolateAtBins(points, windowLength, sampleRate, bins))
            return table.second;
    }
    return QString();
}

double dipoleLength(const CtrlParam &p, int electric)
{
    const double lengths[3] = {p.E0PoleDistance, p.E1PoleDistance, p.E2PoleDistance};
    return lengths[electric];
}

QVector<OneFreqImpedance> computeCurve(const CtrlParam &p, const CurveFiles &f, int electric)
{
    const qint64 seconds = qint64(p.SampleTimeHour) * 3600 + qint64(p.SampleTimeMinute) * 60 + p.SampleTimeSecond;
    const double sampleCount = double(seconds) * p.SampleRate;
    LibCagniard lib;
    if (!lib.calcImpedance(f.eFile, f.hFile, double(p.SampleRate), sampleCount, dipoleLength(p, electric), f.eSensor,
                           f.hSensor, f.eGain, f.hGain, windowLength, maxWindows, false, 0, 0))
        return {};
    return lib.smoothImpedance();
}

} // namespace

ImpedanceCalculator::Input ImpedanceCalculator::inputOf(const SampleInfo &recording, const QString &inputCalibrationDir,
                                                        const QString &appDir)
{
    Input input{recording, {}, inputCalibrationDir, appDir};
    input.recording.channelFiles.clear();
    for (const QFile *file : recording.channelFiles) {
        if (file)
            input.channelPaths << file->fileName();
    }
    return input;
}

int ImpedanceCalculator::partnerOf(int mode, int electric, bool hasHx, bool hasHy)
{
    int wanted = -1;
    if (mode == 1 || mode == 4)
        wanted = electric == 1 ? Hx : Hy;
    else if (mode == 3)
        wanted = Hy;
    else if ((mode == 0 || mode == 2 || mode == 5) && hasHx != hasHy)
        wanted = hasHx ? Hx : Hy;
    if (wanted == Hx && hasHx)
        return Hx;
    if (wanted == Hy && hasHy)
        return Hy;
    return -1;
}

QString ImpedanceCalculator::gainFolder(const QString &appDir, const SampleInfo &recording)
{
    const CtrlParam &p = recording.ctrlParam;
    QString folder = appDir + QStringLiteral("/GainCalibration/") + QString::number(recording.MachineID);
    if (p.SampleRate > 10001)
        return folder + QStringLiteral("/High-H/");
    if (p.ElectrodeType == 0)
        return folder + QStringLiteral("/Low-H/");
    if (p.ElectrodeType == 1)
        return folder + QStringLiteral("/Low-L/");
    return folder;
}

ImpedanceCalculator::Result ImpedanceCalculator::calculate(const Input &input) const
{
    Result result;
    const QStringList files = channelFilesByTag(input.channelPaths);
    const bool hasHx = !files.at(Hx).isEmpty(), hasHy = !files.at(Hy).isEmpty();
    for (int electric = 0; electric < 3; ++electric) {
        if (files.at(E0 + electric).isEmpty())
            continue;
        const int partner = partnerOf(input.recording.WatchMachineMode, electric, hasHx, hasHy);
        if (partner < 0) {
            result.notices << tr("E%1 道没有对应的磁道记录，未计算阻抗").arg(electric);
            continue;
        }
        const CurveFiles f = curveFiles(input, files, electric, partner);
        // A sensor name from a file or the settings names a table inside the calibration folder.
        const QString sensor = firstUnplainName({f.eSensorName, f.hSensorName});
        if (!sensor.isEmpty()) {
            result.notices << tr("传感器名称“%1”不是校准文件夹中的文件名").arg(sensor);
            break;
        }
        const QString notice = missingNotice(f);
        if (!notice.isEmpty()) {
            result.notices << notice;
            break;
        }
        const QVector<OneFreqImpedance> curve = computeCurve(input.recording.ctrlParam, f, electric);
        if (curve.isEmpty()) {
            const QString table = unusableTable(f, input.recording.ctrlParam.SampleRate);
            if (!table.isEmpty())
                result.notices << tr("校准文件无法使用：%1").arg(QDir::toNativeSeparators(table));
            break;
        }
        result.curves.append({electric, curve});
    }
    return result;
}
