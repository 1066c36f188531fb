// Impedance curves of recordings, computed on the global thread pool and shown on the GUI thread.
#include "projectdata/DataModel_Index.h"

#include "common/Global_Variables.h"
#include "projectdata/ImpedanceCurve.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QFile>
#include <memory>

namespace {

// The results of one station's recalculation as they come back, one task per recording.
struct StationRecalculation
{
    QList<ImpedanceCalculator::Result> results;
    int remaining = 0;
};

} // namespace

void DataModel_Index::setImpedanceCalculator(const ImpedanceCalculator *calculator)
{
    injectedCalculator = calculator;
}

const ImpedanceCalculator &DataModel_Index::calculator() const
{
    return injectedCalculator ? *injectedCalculator : defaultCalculator;
}

ImpedanceCalculator::Input DataModel_Index::calculationInput(const SampleInfo &recording) const
{
    return ImpedanceCalculator::inputOf(recording, inputCalibrationDir, appDirPath);
}

int DataModel_Index::pendingCalculationCount() const
{
    return tempSampleList.pendingCount();
}

void DataModel_Index::waitForCalculations()
{
    taskPool.waitForAll();
}

bool DataModel_Index::calcSampleImpedance(SampleInfo &recording)
{
    return applyImpedanceResult(recording, calculator().calculate(calculationInput(recording)));
}

// The GUI-thread half of a calculation: notices, then the curves or the time series instead.
bool DataModel_Index::applyImpedanceResult(SampleInfo &recording, const ImpedanceCalculator::Result &result)
{
    for (const QString &notice : result.notices)
        emit snackMessage(notice);
    if (result.curves.isEmpty()) {
        emit snackMessage(tr("当前采样率阻抗图计算失败"));
        emit showTimeSeries(recording);
        return false;
    }
    recording.impedance = result.curves;
    return true;
}

void DataModel_Index::showTempSampleData(int line, double station, bool calculate)
{
    if (!isCurrentTempSample(line, station))
        return;
    if (!calculate) {
        emit showTimeSeries(currentTempSample);
        pushCurrentTempSample();
        return;
    }
    // The recording leaves the current slot at once, so the next group's blocks are taken.
    const ImpedanceCalculator::Input input = calculationInput(currentTempSample);
    const quint64 id = tempSampleList.append(currentTempSample, true);
    resetCurrentTempSample();
    emit pendingCalculationsChanged(tempSampleList.pendingCount());
    const quint64 generation = tempGeneration;
    const ImpedanceCalculator *calc = &calculator();
    taskPool.start([this, calc, input, generation, id, line, station]() {
        const ImpedanceCalculator::Result result = calc->calculate(input);
        taskPool.post([this, generation, id, line, station, result]() {
            onTempImpedanceDone(generation, id, line, station, result);
        });
    });
}

void DataModel_Index::onTempImpedanceDone(quint64 generation, quint64 id, int line, double station,
                                          const ImpedanceCalculator::Result &result)
{
    const SampleInfo *entry = tempSampleList.find(id);
    if (generation != tempGeneration || !entry)
        return;
    SampleInfo recording = *entry;
    applyImpedanceResult(recording, result);
    tempSampleList.finish(id, recording.impedance);
    emit pendingCalculationsChanged(tempSampleList.pendingCount());
    showStationProcessData(line, station, -1);
}

bool DataModel_Index::showStationProcessData(int line, double station, int source)
{
    if (source == -1)
        return showMergedTempCurves(line, station);
    if (source == 1)
        return showStoredStationCurves(line, station);
    return true;
}

// The newest finished recording of each rate of the station counts.
bool DataModel_Index::showMergedTempCurves(int line, double station)
{
    QList<QVector<OneFreqImpedance>> byChannel[3];
    QList<int> rates;
    for (int i = tempSampleList.size() - 1; i >= 0; --i) {
        const SampleInfo &entry = tempSampleList.at(i);
        if (tempSampleList.isPending(i) || entry.LineNum != line || entry.StationNum != station
            || rates.contains(entry.ctrlParam.SampleRate))
            continue;
        rates.append(entry.ctrlParam.SampleRate);
        for (const ChannelImpedance &curve : entry.impedance) {
            if (curve.channel >= 0 && curve.channel < 3)
                byChannel[curve.channel].append(curve.curve);
        }
    }
    emit showProcessData(mergeTempImpedanceData(byChannel[0]), mergeTempImpedanceData(byChannel[1]),
                         mergeTempImpedanceData(byChannel[2]));
    return true;
}

bool DataModel_Index::showStoredStationCurves(int line, double station)
{
    bool found = false;
    HORM_CollectionItem<Data_Station> item = findStationByNumber(line, station, &found);
    if (!found)
        return false;
    HORM_Collection<Data_SampleData> *recordings = item.object->getREF_Data_SampleData();
    if (!recordings || recordings->count() == 0)
        return false;
    QStringList damaged;
    const bool shown = emitStationCurves(item.object, &damaged);
    if (!damaged.isEmpty())
        offerRecalculation(line, station, damaged);
    else if (!shown)
        startStationRecalculation(line, station);
    return true;
}

// Emits the station's merged curves; false, nothing emitted, when all three are empty and none
// was left out as damaged (the curves of another station are not left on show then).
bool DataModel_Index::emitStationCurves(Data_Station *station, QStringList *damaged)
{
    QVector<OneFreqImpedance> e0, e1, e2;
    station->getProcessData(e0, e1, e2, damaged);
    if (e0.isEmpty() && e1.isEmpty() && e2.isEmpty() && (!damaged || damaged->isEmpty()))
        return false;
    emit showProcessData(e0, e1, e2);
    return true;
}

void DataModel_Index::offerRecalculation(int line, double station, const QStringList &damaged)
{
    const QString text = tr("线%1点%2存储的阻抗数据已损坏，未显示：\n%3\n\n是否重新计算该测点的阻抗数据？")
                             .arg(line)
                             .arg(StationNumberText::text(station), damaged.join(QLatin1Char('\n')));
    if (OperatorPrompt::question(nullptr, tr("提示"), text))
        startStationRecalculation(line, station);
}

QVector<OneFreqImpedance> DataModel_Index::mergeTempImpedanceData(const QList<QVector<OneFreqImpedance>> &curves)
{
    return ImpedanceCurve::merge(curves);
}

// False past the last recording and for a recording whose "config.ini" row is damaged (damage
// then says why).
bool DataModel_Index::rebuildStoredSample(int line, double station, int recordingIndex, SampleInfo *out, int *rowId,
                                          QString *damage)
{
    bool found = false;
    HORM_CollectionItem<Data_Station> item = findStationByNumber(line, station, &found);
    HORM_Collection<Data_SampleData> *recordings = found ? item.object->getREF_Data_SampleData() : nullptr;
    if (!recordings || recordings->count() == 0 || !out)
        return false;
    HORM_CollectionItem<Data_SampleData> recording = recordings->at(recordingIndex);
    if (recording.isNull())
        return false;
    *out = recording.object->getSampleInfo();
    *damage = recording.object->rowDamage();
    if (!damage->isEmpty())
        return false;
    out->LineNum = line;
    out->StationNum = station;
    if (rowId)
        *rowId = recording.object->getID();
    return true;
}

bool DataModel_Index::reCalcSampleImpedance(int line, double station, int recordingIndex, SampleInfo *out)
{
    QString damage;
    if (rebuildStoredSample(line, station, recordingIndex, out, nullptr, &damage))
        return calcSampleImpedance(*out);
    if (!damage.isEmpty())
        emit snackMessage(damage);
    return false;
}

void DataModel_Index::reCalcStationImpedanceData()
{
    bool found = false;
    int lineName = 0;
    HORM_CollectionItem<Data_Station> station = findStation(selectedLineRow, selectedStationRow, &found, &lineName);
    if (!found) {
        emit snackMessage(tr("正在计算阻抗图"));
        return;
    }
    startStationRecalculation(lineName, station.object->getStationNum());
}

// Rebuilds the station's recordings here, computes them on the pool, one task per recording, and
// writes the curves back here once all have come back.
void DataModel_Index::startStationRecalculation(int line, double station)
{
    QString refusal;
    const quint64 operation = operations.begin(StationOperations::Calculation, line, station, &refusal);
    if (!operation) {
        emit snackMessage(refusal);
        return;
    }
    emit snackMessage(tr("正在计算阻抗图"));
    QList<int> rowIds;
    QList<SampleInfo> recordings;
    for (int e = 0;; ++e) {
        SampleInfo info;
        int rowId = 0;
        QString damage;
        if (!rebuildStoredSample(line, station, e, &info, &rowId, &damage)) {
            if (damage.isEmpty())
                break;
            // The stored curves stay as they are.
            operations.end(operation);
            emit snackMessage(damage);
            return;
        }
        rowIds.append(rowId);
        recordings.append(info);
    }
    const quint64 generation = projectGeneration;
    if (recordings.isEmpty()) {
        operations.end(operation);
        applyStationRecalculation(generation, line, station, rowIds, recordings, {});
        return;
    }
    auto state = std::make_shared<StationRecalculation>();
    for (int e = 0; e < recordings.size(); ++e)
        state->results.append(ImpedanceCalculator::Result());
    state->remaining = recordings.size();
    const ImpedanceCalculator *calc = &calculator();
    for (int e = 0; e < recordings.size(); ++e) {
        const ImpedanceCalculator::Input input = calculationInput(recordings.at(e));
        taskPool.start([=]() {
            const ImpedanceCalculator::Result result = calc->calculate(input);
            taskPool.post([=]() {
                state->results[e] = result;
                if (--state->remaining > 0)
                    return;
                operations.end(operation);
                applyStationRecalculation(generation, line, station, rowIds, recordings, state->results);
            });
        });
    }
}

void DataModel_Index::applyStationRecalculation(quint64 generation, int line, double station, const QList<int> &rowIds,
                                                const QList<SampleInfo> &recordings,
                                                const QList<ImpedanceCalculator::Result> &results)
{
    bool found = false;
    HORM_CollectionItem<Data_Station> item = findStationByNumber(line, station, &found);
    if (generation != projectGeneration || !found)
        return;
    HORM_Collection<Data_SampleData> *rows = item.object->getREF_Data_SampleData();
    store->transaction();
    bool complete = true;
    for (int e = 0; rows && e < recordings.size() && complete; ++e) {
        HORM_CollectionItem<Data_SampleData> row = rows->at(e);
        SampleInfo info = recordings.at(e);
        if (row.isNull() || row.object->getID() != rowIds.at(e) || !applyImpedanceResult(info, results.at(e)))
            break;
        complete = writeRecalculatedCurves(row.object, info);
    }
    store->commit();
    if (!complete)
        return;
    emitStationCurves(item.object);
    emit signalSelectStation(0, line, station);
}

// Rewrites the recording's curve rows in order and stores the curves beyond them as new rows;
// false, nothing written, when fewer curves came out than rows are stored.
bool DataModel_Index::writeRecalculatedCurves(Data_SampleData *recording, SampleInfo info)
{
    if ((info.WatchMachineMode == 0 || info.WatchMachineMode == 4) && !info.impedance.isEmpty())
        info.impedance[0].channel = 0;
    HORM_Collection<Data_ProcessData> *rows = recording->getREF_Data_ProcessData();
    const int stored = rows ? rows->count() : 0;
    if (info.impedance.size() < stored) {
        emit snackMessage(QStringLiteral("阻抗数量不符"));
        return false;
    }
    for (int i = 0; i < stored; ++i) {
        HORM_CollectionItem<Data_ProcessData> row = rows->at(i);
        if (row.isNull())
            continue;
        row.object->setSampleChannel(info.impedance.at(i).channel);
        row.object->setData_Impedance(ImpedanceCurve::encode(info.impedance.at(i).curve));
        row.object->updateRow();
    }
    recording->addProcessData(info.impedance.mid(stored));
    recording->updateRow();
    return true;
}
