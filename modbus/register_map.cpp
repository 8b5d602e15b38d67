#include "register_map.h"

namespace modbus {

const std::array<RegisterRow, kValueFieldCount> &registerMap()
{
    using R = DisplayRule;
    using C = WriteCheck;
    static const std::array<RegisterRow, kValueFieldCount> rows{{
        {0, 2, "测量值", 0, R::Tenths, -1, false, 0, false, C::None, -1, ""},
        {1, 1, "原始电压值", 1, R::Unsigned, -1, false, 0, false, C::None, -1, ""},
        {2, 8, "报警状态", 2, R::Unsigned, -1, false, 0, false, C::None, -1, ""},
        {3, 11, "报警高值", 3, R::Signed, 0, true, 0x0A00, true, C::None, 13, "值范围为：1到999"},
        {4, 4, "报警低值", 4, R::Signed, 1, true, 0x0A02, true, C::None, 14, "值范围为：0到999"},
        {5, 13, "控制回差", 5, R::Signed, 2, true, 0x0A04, true, C::None, 4, "值范围为：0到999"},
        {6, 0, "校 正 值", 6, R::Signed, 3, true, 0x0A06, true, C::None, 1, "值范围为：-99到99"},
        {7, 10, "控制模式", 7, R::Unsigned, 4, true, 0x0A08, false, C::ControlMode, 5,
         "1-正常控制模式 2-反向超限控制"},
        {8, 7, "波特率", 8, R::Unsigned, 5, true, 0x0A0A, false, C::BaudRate, 3,
         "值:2400,4800,9600,19200,38400"},
        {9, 16, "设备地址", 9, R::Unsigned, 6, false, 0x0A0C, false, C::None, -1, ""},
        {10, 6, "电压高值", 10, R::Unsigned, 7, true, 0x0A0E, false, C::None, 8,
         "值范围为：0-50000"},
        {11, 5, "电压低值", 11, R::Unsigned, 8, true, 0x0A10, false, C::None, 9,
         "值范围为：0-10000"},
        {12, 12, "显示高值", 12, R::Unsigned, 9, true, 0x0A12, false, C::None, 10,
         "值范围为：0-65535"},
        {13, 9, "显示低值", 13, R::Unsigned, 10, true, 0x0A14, false, C::None, 11,
         "值范围为：0-999"},
        {14, 17, "输入电压", 14, R::Unsigned, 11, true, 0x0A16, false, C::None, 12,
         "值范围为：2,5"},
    }};
    return rows;
}

const RegisterRow &rowOfSetButton(int index)
{
    return registerMap().at(static_cast<std::size_t>(index + kFirstWritableField));
}

std::string displayText(DisplayRule rule, std::uint16_t raw)
{
    // A register that reads 0xFFFF shows zero in every field, the signed ones included.
    const long value = (raw == 0xFFFF) ? 0 : raw;
    switch (rule) {
    case DisplayRule::Tenths: {
        // The device's measured value wraps at 65535, not 65536: raw 65534 is -0.1.
        const long tenths = value > 20000 ? value - 65535 : value;
        const long magnitude = tenths < 0 ? -tenths : tenths;
        // Appended one part at a time: GCC 12 at -O3 takes `"-" + std::string` for an
        // overlapping copy (-Wrestrict, GCC bug 105651) and fails the Release build.
        std::string text = tenths < 0 ? "-" : "";
        text += std::to_string(magnitude / 10);
        text += '.';
        text += std::to_string(magnitude % 10);
        return text;
    }
    case DisplayRule::Signed:
        return std::to_string(value > 32768 ? value - 65536 : value);
    case DisplayRule::Unsigned:
        break;
    }
    return std::to_string(value);
}

std::string fieldText(int field, std::uint16_t raw)
{
    return displayText(registerMap().at(static_cast<std::size_t>(field)).rule, raw);
}

} // namespace modbus
