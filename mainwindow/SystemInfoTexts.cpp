#include "mainwindow/SystemInfoTexts.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Form_SystemInfo", text);
}

} // namespace

QStringList systemInfoModeNames()
{
    return {tr("标量"), tr("矢量"), tr("共点多极化"), tr("双磁道共点多极化"), tr("多极化"), tr("水上实验")};
}

bool modeNeedsDeveloperMode(int mode)
{
    return mode == 4 || mode == 5;
}

std::optional<WatchMachineDescription> watchMachineDescription(int mode)
{
    switch (mode) {
    case 0:
        return WatchMachineDescription{
            tr("测量X方向，仅使用1根磁棒接Hx或Hy通道(只能选其一)垂直X方向，电场E0/E1/E2任选沿X方向放置，"
               "均与所选的磁棒配对，可同时测1~3个点。"),
            tr("与所选的磁棒配对"), tr("与所选的磁棒配对"), tr("与所选的磁棒配对")};
    case 1:
        return WatchMachineDescription{
            tr("测量X方向和Y方向，X/Y方向正交，磁场Hx/Hy必选，Hx为X方向，Hy为Y方向，电场E0/E1必选，"
               "E0为X方向，E1为Y方向，E2不可选，单次测量1个点。"),
            tr("与Hy配对"), tr("与Hx配对"), tr("不可选")};
    case 2:
        return WatchMachineDescription{
            tr("测量X方向，仅使用1根磁棒接Hx或Hy通道(只能选其一)垂直X方向，电场E0/E1/E2任选沿X方向放置，"
               "极距不同，均与所选的磁棒配对，单点测量。"),
            tr("可选,与所选的磁棒配对"), tr("可选,与所选的磁棒配对"), tr("可选,与所选的磁棒配对")};
    case 3:
        return WatchMachineDescription{
            tr("磁场Hx/Hy必选，Hx与测线方向一致，Hy与测线垂直，E0、E1、E2均与Hy配对，单次测量1个点。"),
            tr("可选，与Hy配对"), tr("可选，与Hy配对"), tr("可选，与Hy配对")};
    case 4:
        return WatchMachineDescription{
            tr("测量X方向，磁场Hx/Hy必选均在不同地方垂直X方向，电场E0/E1必选沿X方向放置，E0/Hy配对，"
               "E1/Hx配对，E2可选，E2/Hy配对，可测量1~3个点。"),
            tr("与Hy配对"), tr("与Hx配对"), tr("可选，与Hy配对")};
    case 5:
        return WatchMachineDescription{
            tr("测量X方向，Hy必选，Hy为Y方向，电场E0必选，E0为X方向，E1，E2可选，单次测量1个点，"
               "连续采集，水上拖曳。"),
            tr("与Hy配对"), tr("与Hx配对"), tr("不选")};
    default:
        return std::nullopt;
    }
}

QString autoStepText(bool enabled)
{
    return enabled ? tr("开启") : tr("关闭");
}
