#include "presets.h"

#include "modbus/register_map.h"

namespace ops {

std::optional<Preset> presetOf(int Index)
{
    // alarm high, alarm low, hysteresis, correction, control mode, baud, address,
    // voltage high, voltage low, display high, display low
    static constexpr std::array<Preset, 3> presets{{
        {800, 0, 0, 0, 1, 9600, 1, 50000, 0, 1000, 0}, // 水分控制器
        {500, 0, 0, 0, 1, 9600, 1, 50000, 0, 1000, 0}, // 雨雪控制器
        {140, 0, 0, 0, 1, 9600, 1, 50000, 0, 140, 0},  // 风速控制器
    }};
    if (Index < 0 || Index >= static_cast<int>(presets.size()))
        return std::nullopt;
    return presets[static_cast<std::size_t>(Index)];
}

void cmdDefaultSet_Click(Form &form, int Index)
{
    const auto preset = presetOf(Index);
    if (!preset)
        return;
    for (int i = 0; i < kPresetFields; ++i) {
        const Field field = valueField(modbus::kFirstWritableField + i);
        form.setText(field, QString::number((*preset)[static_cast<std::size_t>(i)]));
        form.setAwaitsWrite(field, true);
    }
}

} // namespace ops
