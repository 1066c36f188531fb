#include "projectdata/RunSplitter.h"

#include "projectdata/ChannelFileName.h"

#include <QFileInfo>

namespace {

// Channel bits in the order of ChannelFileName::channelTag.
enum : unsigned { Hx = 1, Hy = 2, E0 = 4, E1 = 8, E2 = 16, Magnetic = Hx | Hy };

unsigned recordedChannels(const CtrlParam &p)
{
    return (p.HxChannelIsUse ? Hx : 0u) | (p.HyChannelIsUse ? Hy : 0u) | (p.E0ChannelIsUse ? E0 : 0u)
           | (p.E1ChannelIsUse ? E1 : 0u) | (p.E2ChannelIsUse ? E2 : 0u);
}

// The channel sets of the pieces, station by station.
QList<unsigned> scalarPieces(unsigned recorded)
{
    QList<unsigned> pieces;
    for (unsigned electric : {E0, E1, E2}) {
        if (recorded & electric)
            pieces << ((recorded & Magnetic) | electric);
    }
    return pieces;
}

QList<unsigned> multipolarityPieces(unsigned recorded)
{
    switch (recorded) {
    case Hx | E1:
    case Hy | E0:
    case Hy | E2:
        return {recorded};
    case Hx | Hy | E0 | E1:
        return {Hy | E0, Hx | E1};
    case Hx | Hy | E1 | E2:
        return {Hx | E1, Hy | E2};
    case Hx | Hy | E0 | E1 | E2:
        return {Hy | E0, Hy | E2, Hx | E1};
    default:
        return {};
    }
}

unsigned curveBit(int channel)
{
    return channel >= 0 && channel < 3 ? E0 << channel : 0u;
}

unsigned fileBit(const QFile *file)
{
    const int tag = file ? ChannelFileName::channelTag(QFileInfo(file->fileName()).completeBaseName()) : -1;
    return tag < 0 ? 0u : 1u << tag;
}

RunPiece pieceOf(const SampleInfo &recording, unsigned channels, double station)
{
    RunPiece piece{recording, true};
    SampleInfo &info = piece.info;
    info.StationNum = station;
    info.channelFiles.clear();
    info.impedance.clear();
    CtrlParam &p = info.ctrlParam;
    p.HxChannelIsUse = p.HyChannelIsUse = p.E0ChannelIsUse = p.E1ChannelIsUse = p.E2ChannelIsUse = false;
    for (QFile *file : recording.channelFiles) {
        const unsigned bit = fileBit(file);
        if (!(bit & channels))
            continue;
        info.channelFiles.append(file);
        p.HxChannelIsUse |= bit == Hx;
        p.HyChannelIsUse |= bit == Hy;
        p.E0ChannelIsUse |= bit == E0;
        p.E1ChannelIsUse |= bit == E1;
        p.E2ChannelIsUse |= bit == E2;
    }
    for (const ChannelImpedance &curve : recording.impedance) {
        if (curveBit(curve.channel) & channels)
            info.impedance.append(curve);
    }
    return piece;
}

bool sameStation(const SampleInfo &recording, const StationSampleInfo &record)
{
    return recording.MachineID == record.MachineID && recording.LineNum == record.LineNum
           && recording.StationNum == record.StationNum;
}

} // namespace

namespace RunSplitter {

QList<RunPiece> split(const SampleInfo &recording, const StationSampleInfo &record, double step)
{
    const int mode = recording.WatchMachineMode;
    if (mode == 1 || mode == 2 || mode == 3 || mode == 5) {
        if (!sameStation(recording, record))
            return {};
        RunPiece whole{recording, false};
        whole.info.StationNum = record.StationNum;
        return {whole};
    }
    if (mode != 0 && mode != 4)
        return {};
    const unsigned recorded = recordedChannels(recording.ctrlParam);
    const QList<unsigned> sets = mode == 0 ? scalarPieces(recorded) : multipolarityPieces(recorded);
    QList<RunPiece> pieces;
    for (int k = 0; k < sets.size(); ++k)
        pieces << pieceOf(recording, sets.at(k), record.StationNum + k * step);
    return pieces;
}

} // namespace RunSplitter
