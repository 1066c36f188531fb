// libFuzzer target for the instrument's storage texts (built and run by scripts/fuzz): the
// project list and the storage listing, split at the input's first NUL byte, go to the parsers,
// to the deletion request with some of it checked, and to the read-back dialog as they
// arrive from the instrument. (The deletion dialog's tree view costs milliseconds a listing, too
// slow to fuzz; it builds its tree from the same parser.)
#include "dialogs/DeviceListing.h"
#include "dialogs/Dialog_ExportData.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Check states that cycle through unchecked, partly and fully checked, so that every way of
// building the deletion request is taken.
QList<DeviceListing::CheckedProject> someChecked(const QList<DeviceListing::ProjectEntry>& projects)
{
    QList<DeviceListing::CheckedProject> checked;
    int turn = 0;
    for (const DeviceListing::ProjectEntry& project : projects) {
        DeviceListing::CheckedProject entry{project.id, ++turn % 3, {}};
        for (const DeviceListing::LineEntry& line : project.lines) {
            DeviceListing::CheckedLine lineEntry{line.number, ++turn % 3, {}};
            for (const DeviceListing::StationEntry& station : line.stations)
                lineEntry.stations.append({station.number, ++turn % 3});
            entry.lines.append(lineEntry);
        }
        checked.append(entry);
    }
    return checked;
}

void parse(const QByteArray& names, const QByteArray& listing)
{
    const DeviceListing::ProjectNames projectNames = DeviceListing::parseProjectNameList(names);
    require(projectNames.nameById.size() <= projectNames.ids.size());
    const auto projects = DeviceListing::parseStorageListing(listing, projectNames.nameById, "AMTNone");
    DeviceListing::buildDeleteRequest(someChecked(projects));
    for (const DeviceProjectInfo& project : DeviceListing::toReadBackRecords(projects)) {
        for (const DeviceLineInfo& line : project.lines) {
            for (double station : line.stations)
                require(!DeviceListing::formatStationNumber(station).isEmpty());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Dialog_ExportData readBack;
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    const int split = input.indexOf('\0');
    QByteArray names = split < 0 ? input : input.left(split);
    QByteArray listing = split < 0 ? QByteArray() : input.mid(split + 1);

    parse(names, listing);
    readBack.parseProjectNameList(&names);
    readBack.parseDeviceFileList(&listing);
    return 0;
}
