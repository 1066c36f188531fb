#include "mainwindow/ErrorWordRules.h"

#include "common/MachineErrorCode.h"

namespace {

constexpr uint32_t startBlockingBits = AMT_ERR_POWER | AMT_ERR_TEMPERATURE | AMT_ERR_STORAGE_FULL;

const QString errorTitle = QStringLiteral("仪器出错");

struct BitRow
{
    uint32_t bit;
    ErrorBoxKind kind;
    const char *text;
    ErrorFollowUp followUp;
    bool onlyWhenNew; // shown only when the bit is not sticky yet
};

// In the order the bits are handled; the sampling bit's reaction depends on the connection and
// the GPS (samplingStep).
const BitRow bitRows[] = {
    {AMT_ERR_STM32, ErrorBoxKind::Critical, "STM32出错！点确认后仪器会重启，请仪器重启完后再连接网络！",
     ErrorFollowUp::Restart, false},
    {AMT_ERR_POWER, ErrorBoxKind::Critical, "电源故障！请检查电源电压，并更换电源！仪器采集功能关闭！",
     ErrorFollowUp::None, true},
    {AMT_ERR_TEMPERATURE, ErrorBoxKind::Critical,
     "仪器温度过高！请在仪器按下关机按钮后让仪器适当降温再开始操作仪器！仪器采集功能将关闭！", ErrorFollowUp::None,
     true},
    {AMT_ERR_STORAGE_FULL, ErrorBoxKind::Critical,
     "仪器存储空间不足！仪器采集功能将关闭！请点击内存管理按钮删除不需要的仪器数据释放存储空间！",
     ErrorFollowUp::None, true},
    {AMT_ERR_BAD_COMMAND, ErrorBoxKind::Critical, "接收到错误指令！", ErrorFollowUp::None, false},
    {AMT_ERR_SAMPLING, ErrorBoxKind::RestartQuestion, "采样出错！是否需要重启仪器？", ErrorFollowUp::RestartOrClear,
     false},
    {AMT_ERR_TRANSFER, ErrorBoxKind::Critical, "数据传输过程出错！", ErrorFollowUp::None, false},
    {AMT_ERR_SAMPLING_STOPPED, ErrorBoxKind::Warning, "仪器已经停止采样！", ErrorFollowUp::None, false},
    {AMT_ERR_STATION_CONFIG, ErrorBoxKind::Critical, "点号配置文件错误！", ErrorFollowUp::None, false},
    {AMT_ERR_SELF_CHECK, ErrorBoxKind::Critical, "仪器自检错误！点确认后仪器会重启，请仪器重启完后再连接网络！",
     ErrorFollowUp::Restart, false},
};

ErrorReactionStep stepOf(const BitRow &row, uint32_t stickyBits)
{
    ErrorReactionStep step;
    step.bit = row.bit;
    step.showsBox = !(row.onlyWhenNew && (stickyBits & row.bit));
    step.kind = row.kind;
    step.title = row.kind == ErrorBoxKind::Warning ? QStringLiteral("提醒") : errorTitle;
    step.text = QString::fromUtf8(row.text);
    step.followUp = row.followUp;
    return step;
}

// Without a GPS lock the flags are cleared without asking.
ErrorReactionStep samplingStep(const BitRow &row, int gpsStatus)
{
    ErrorReactionStep step = stepOf(row, 0);
    if (gpsStatus == 1)
        return step;
    step.showsBox = false;
    step.followUp = ErrorFollowUp::ClearFlags;
    return step;
}

} // namespace

ErrorWordReaction errorWordReaction(uint32_t word, uint32_t stickyBits, bool connected, int gpsStatus)
{
    ErrorWordReaction reaction;
    reaction.stickyBits = stickyBits;
    reaction.disableStart = (word & startBlockingBits) != 0;
    for (const BitRow &row : bitRows) {
        if (!(word & row.bit))
            continue;
        if (row.bit != AMT_ERR_SAMPLING) {
            reaction.steps.append(stepOf(row, stickyBits));
            continue;
        }
        // A sampling error of a connection that is gone ends the handling: later bits are not
        // handled and the sticky bits stay as they were.
        if (!connected)
            return reaction;
        reaction.steps.append(samplingStep(row, gpsStatus));
    }
    reaction.stickyBits = word & ~transientErrorBits;
    return reaction;
}

StatusErrorBits statusErrorBits(uint32_t stickyBits, const MachineStatus &status)
{
    if (status.batteryVoltage > 10)
        stickyBits &= ~uint32_t(AMT_ERR_POWER);
    if (status.diskSpace > 10)
        stickyBits &= ~uint32_t(AMT_ERR_STORAGE_FULL);
    if (status.temperature1 <= 75 && status.temperature2 <= 80)
        stickyBits &= ~uint32_t(AMT_ERR_TEMPERATURE);
    return {stickyBits, (stickyBits & startBlockingBits) == 0};
}
