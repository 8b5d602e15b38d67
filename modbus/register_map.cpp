#include "register_map.h"
#include "translatable.h"

#include <algorithm>

namespace modbus {

const std::array<RegisterRow, kValueFieldCount> &registerMap()
{
    // Top to bottom as the window shows them; the row's field index is its position.
    static const std::array<RegisterRow, kValueFieldCount> rows{{
        {.field = 0,
         .captionLabel = 2,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "测量值"),
         .readRegister = 0,
         .rule = DisplayRule::Tenths,
         .key = "measured_value"},
        {.field = 1,
         .captionLabel = 1,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "原始电压值"),
         .readRegister = 1,
         .rule = DisplayRule::Unsigned,
         .key = "raw_voltage"},
        {.field = 2,
         .captionLabel = 8,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "报警状态"),
         .readRegister = 2,
         .rule = DisplayRule::Unsigned,
         .key = "alarm_status"},
        {.field = 3,
         .captionLabel = 11,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "报警高值"),
         .readRegister = 3,
         .rule = DisplayRule::Signed,
         .setButton = 0,
         .setButtonVisible = true,
         .writeRegister = 0x0A00,
         .twosComplement = true,
         .hintLabel = 13,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：1到999"),
         .key = "alarm_high",
         .minimum = 1,
         .maximum = 999},
        {.field = 4,
         .captionLabel = 4,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "报警低值"),
         .readRegister = 4,
         .rule = DisplayRule::Signed,
         .setButton = 1,
         .setButtonVisible = true,
         .writeRegister = 0x0A02,
         .twosComplement = true,
         .hintLabel = 14,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0到999"),
         .key = "alarm_low",
         .minimum = 0,
         .maximum = 999},
        {.field = 5,
         .captionLabel = 13,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "控制回差"),
         .readRegister = 5,
         .rule = DisplayRule::Signed,
         .setButton = 2,
         .setButtonVisible = true,
         .writeRegister = 0x0A04,
         .twosComplement = true,
         .hintLabel = 4,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0到999"),
         .key = "hysteresis",
         .minimum = 0,
         .maximum = 999},
        {.field = 6,
         .captionLabel = 0,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "校 正 值"),
         .readRegister = 6,
         .rule = DisplayRule::Signed,
         .setButton = 3,
         .setButtonVisible = true,
         .writeRegister = 0x0A06,
         .twosComplement = true,
         .hintLabel = 1,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：-99到99"),
         .key = "calibration",
         .minimum = -99,
         .maximum = 99},
        {.field = 7,
         .captionLabel = 10,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "控制模式"),
         .readRegister = 7,
         .rule = DisplayRule::Unsigned,
         .setButton = 4,
         .setButtonVisible = true,
         .writeRegister = 0x0A08,
         .check = WriteCheck::ControlMode,
         .hintLabel = 5,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "1-正常控制模式 2-反向超限控制"),
         .key = "control_mode",
         .minimum = 1,
         .maximum = 2},
        {.field = 8,
         .captionLabel = 7,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "波特率"),
         .readRegister = 8,
         .rule = DisplayRule::Unsigned,
         .setButton = 5,
         .setButtonVisible = true,
         .writeRegister = 0x0A0A,
         .check = WriteCheck::BaudRate,
         .hintLabel = 3,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值:2400,4800,9600,19200,38400"),
         .key = "baud_rate",
         .unit = "bit/s",
         .minimum = 2400,
         .maximum = 38400,
         .allowed = kBaudRates},
        {.field = 9,
         .captionLabel = 16,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "设备地址"),
         .readRegister = 9,
         .rule = DisplayRule::Unsigned,
         .setButton = 6,
         .setButtonVisible = false,
         .writeRegister = 0x0A0C,
         .key = "address",
         .minimum = 1,
         .maximum = 247},
        {.field = 10,
         .captionLabel = 6,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "电压高值"),
         .readRegister = 10,
         .rule = DisplayRule::Unsigned,
         .setButton = 7,
         .setButtonVisible = true,
         .writeRegister = 0x0A0E,
         .hintLabel = 8,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0-50000"),
         .key = "voltage_high",
         .minimum = 0,
         .maximum = 50000},
        {.field = 11,
         .captionLabel = 5,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "电压低值"),
         .readRegister = 11,
         .rule = DisplayRule::Unsigned,
         .setButton = 8,
         .setButtonVisible = true,
         .writeRegister = 0x0A10,
         .hintLabel = 9,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0-10000"),
         .key = "voltage_low",
         .minimum = 0,
         .maximum = 10000},
        {.field = 12,
         .captionLabel = 12,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "显示高值"),
         .readRegister = 12,
         .rule = DisplayRule::Unsigned,
         .setButton = 9,
         .setButtonVisible = true,
         .writeRegister = 0x0A12,
         .hintLabel = 10,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0-65535"),
         .key = "display_high",
         .minimum = 0,
         .maximum = 65535},
        {.field = 13,
         .captionLabel = 9,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "显示低值"),
         .readRegister = 13,
         .rule = DisplayRule::Unsigned,
         .setButton = 10,
         .setButtonVisible = true,
         .writeRegister = 0x0A14,
         .hintLabel = 11,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：0-999"),
         .key = "display_low",
         .minimum = 0,
         .maximum = 999},
        {.field = 14,
         .captionLabel = 17,
         .caption = RX904_TRANSLATE_NOOP("RegisterMap", "输入电压"),
         .readRegister = 14,
         .rule = DisplayRule::Unsigned,
         .setButton = 11,
         .setButtonVisible = true,
         .writeRegister = 0x0A16,
         .hintLabel = 12,
         .hint = RX904_TRANSLATE_NOOP("RegisterMap", "值范围为：2,5"),
         .key = "input_voltage",
         .unit = "V",
         .minimum = 2,
         .maximum = 5,
         .allowed = kInputVoltages},
    }};
    return rows;
}

const RegisterRow &rowOfSetButton(int index)
{
    return registerMap().at(static_cast<std::size_t>(index + kFirstWritableField));
}

namespace {

// Blanks inside a caption only align it in the window: "校 正 值" is "校正值".
std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    for (const char c : text) {
        if (c != ' ')
            kept += c;
    }
    return kept;
}

} // namespace

const RegisterRow *findRow(std::string_view captionOrKey)
{
    const std::string wanted = withoutBlanks(captionOrKey);
    if (wanted.empty())
        return nullptr;
    for (const RegisterRow &row : registerMap()) {
        if (captionOrKey == row.key || wanted == withoutBlanks(row.caption))
            return &row;
    }
    return nullptr;
}

const RegisterRow *rowWrittenAt(std::uint16_t address)
{
    for (const RegisterRow &row : registerMap()) {
        if (row.setButton >= 0 && row.writeRegister == address)
            return &row;
    }
    return nullptr;
}

bool inRange(const RegisterRow &row, long long value)
{
    if (row.setButton < 0 || value < row.minimum || value > row.maximum)
        return false;
    return row.allowed.empty() || std::ranges::find(row.allowed, value) != row.allowed.end();
}

namespace {

// The value a rule reads from a register: tenths for the measured value, two's complement for
// the signed rows. A register that reads 0xFFFF is zero in every field, the signed ones
// included.
long ruledValue(DisplayRule rule, std::uint16_t raw)
{
    const long value = (raw == 0xFFFF) ? 0 : raw;
    switch (rule) {
    case DisplayRule::Tenths:
        // The device's measured value wraps at 65535, not 65536: raw 65534 is -0.1.
        return value > 20000 ? value - 65535 : value;
    case DisplayRule::Signed:
        return value > 32768 ? value - 65536 : value;
    case DisplayRule::Unsigned:
        break;
    }
    return value;
}

} // namespace

std::string displayText(DisplayRule rule, std::uint16_t raw)
{
    const long value = ruledValue(rule, raw);
    if (rule != DisplayRule::Tenths)
        return std::to_string(value);
    const long magnitude = value < 0 ? -value : value;
    // Appended one part at a time: GCC 12 at -O3 takes `"-" + std::string` for an overlapping
    // copy (-Wrestrict, GCC bug 105651) and fails the Release build.
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    text += '.';
    text += std::to_string(magnitude % 10);
    return text;
}

double fieldValue(int field, std::uint16_t raw)
{
    const DisplayRule rule = registerMap().at(static_cast<std::size_t>(field)).rule;
    const auto value = static_cast<double>(ruledValue(rule, raw));
    return rule == DisplayRule::Tenths ? value / 10.0 : value;
}

std::string fieldText(int field, std::uint16_t raw)
{
    return displayText(registerMap().at(static_cast<std::size_t>(field)).rule, raw);
}

} // namespace modbus
