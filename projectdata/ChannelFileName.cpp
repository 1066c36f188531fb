#include "projectdata/ChannelFileName.h"

#include "common/Global_Constants.h"
#include "projectdata/StationNumberText.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QStringList tagOrder = {QStringLiteral("Hx"), QStringLiteral("Hy"), QStringLiteral("E0"), QStringLiteral("E1"),
                              QStringLiteral("E2")};

QString modeText(int mode)
{
    return mode >= 0 && mode < watchMachineModeList.size() ? watchMachineModeList.at(mode) : QString::number(mode);
}

} // namespace

namespace ChannelFileName {

QString tempName(const SampleInfo &block, const QString &channelName, int groupIndex, int copy)
{
    const QString group = copy > 0 ? QStringLiteral("%1-%2").arg(groupIndex).arg(copy) : QString::number(groupIndex);
    return QStringLiteral("%1_%2_Line%3_Station%4_%5_%6Hz_%7.ats")
        .arg(block.MachineID)
        .arg(modeText(block.WatchMachineMode))
        .arg(block.LineNum)
        .arg(StationNumberText::text(block.StationNum), channelName)
        .arg(block.ctrlParam.SampleRate)
        .arg(group);
}

int channelTag(const QString &name)
{
    for (int i = 0; i < tagOrder.size(); ++i) {
        if (name.contains(tagOrder.at(i)))
            return i;
    }
    return -1;
}

int pathSlot(int tag)
{
    return tag < 0 || tag >= tagOrder.size() ? -1 : channelNameList.indexOf(tagOrder.at(tag));
}

QString withStation(const QString &fileName, double stationNum)
{
    QStringList parts = fileName.split(QLatin1Char('_'));
    for (QString &part : parts) {
        if (part.contains(QLatin1String("Station")))
            part = QStringLiteral("Station") + StationNumberText::text(stationNum);
    }
    return parts.join(QLatin1Char('_'));
}

QString savedName(const QString &tempFileName, int n)
{
    const QString name = QFileInfo(tempFileName).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    const int cut = stem.lastIndexOf(QLatin1Char('_'));
    const QString base = cut < 0 ? QString() : stem.left(cut);
    return n > 0 ? base + QStringLiteral("_%1.ats").arg(n) : base + QStringLiteral(".ats");
}

} // namespace ChannelFileName
