#ifndef RUNSPLITTER_H
#define RUNSPLITTER_H

#include "common/StationSampleInfo.h"

#include <QList>

// One recording, or the part of one, saved at one station.
struct RunPiece
{
    SampleInfo info;    // StationNum is the piece's station
    bool rename = false; // saved under its station's number, its curves as channel 0
};

// Which stations a temporary recording of a run is saved at, by its observation mode.
namespace RunSplitter {

// The pieces in station order (S, S + step, S + 2 step); none when no rule saves the recording.
QList<RunPiece> split(const SampleInfo &recording, const StationSampleInfo &record, double step);

} // namespace RunSplitter

#endif // RUNSPLITTER_H
