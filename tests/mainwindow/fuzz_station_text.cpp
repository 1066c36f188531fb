// libFuzzer target for the station configuration text the instrument sends during a read-back
// (built and run by scripts/fuzz). Whatever the text holds, every sensor name that comes out
// must be a plain label, and a project holding none of the station wants every group.
#include "common/Global_Constants.h"
#include "mainwindow/ReadBackGroups.h"
#include "mainwindow/StationConfigText.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool plainLabel(const QString &name)
{
    return !name.isEmpty() && !name.contains('/') && !name.contains('\\') && !name.contains("..");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const GainTables gains{lowRateGainCodeList, lowRateGainList, highRateGainCodeList, highRateGainList};
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const StationConfigText text = parseStationConfigText(input, gains);
    for (const SampleInfo &group : text.station.sampleInfoList) {
        const ChannelInputsConfig &in = group.inputs;
        for (const QString &name : {in.HxInputNum, in.HyInputNum, in.E0InputNum, in.E1InputNum, in.E2InputNum})
            require(name.isEmpty() || plainLabel(name));
        require(!text.rejection.isEmpty() || sampleRateList.contains(group.ctrlParam.SampleRate));
    }
    ReadBackGroups groups;
    groups.start(text.station.sampleInfoList, {});
    require(groups.wantedCount() == text.station.sampleInfoList.size());
    return 0;
}
