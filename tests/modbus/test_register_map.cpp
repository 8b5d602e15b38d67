#include "modbus/register_map.h"

#include <gtest/gtest.h>

namespace {

struct DisplayCase
{
    int field;
    std::uint16_t raw;
    const char *text;
};

const DisplayCase kDisplayCases[] = {
    // measured value, tenths, wrapping at 65535 above 20000
    {0, 235, "23.5"},
    {0, 5, "0.5"},
    {0, 0, "0.0"},
    {0, 20000, "2000.0"},
    {0, 20001, "-4553.4"},
    {0, 30000, "-3553.5"},
    {0, 65534, "-0.1"},
    {0, 65535, "0.0"},
    {0, 10, "1.0"},
    // unsigned rows
    {1, 1, "1"},
    {2, 0, "0"},
    {8, 0x9600, "38400"},
    {8, 0x2580, "9600"},
    {12, 65534, "65534"},
    {12, 65535, "0"},
    {14, 5, "5"},
    // signed rows: two's complement, but 0x8000 stays 32768 and 0xFFFF shows 0
    {3, 800, "800"},
    {6, 0xFF9D, "-99"},
    {6, 65534, "-2"},
    {6, 65535, "0"},
    {5, 32768, "32768"},
    {4, 32769, "-32767"},
    {3, 0, "0"},
};

} // namespace

TEST(RegisterMap, DisplayRulesOfEachField)
{
    for (const auto &c : kDisplayCases)
        EXPECT_EQ(modbus::fieldText(c.field, c.raw), c.text)
            << "field " << c.field << " raw " << c.raw;
}

TEST(RegisterMap, WriteButtonsReachEverySecondRegisterFrom0x0A00)
{
    const auto &rows = modbus::registerMap();
    for (int button = 0; button < modbus::kSetButtonCount; ++button) {
        const auto &row = modbus::rowOfSetButton(button);
        EXPECT_EQ(row.field, button + 3);
        EXPECT_EQ(row.setButton, button);
        EXPECT_EQ(row.writeRegister, 0x0A00 + 2 * button);
        EXPECT_EQ(row.writeRegister, 0x0A00 + 2 * button);
        EXPECT_EQ(row.twosComplement, button <= 3) << button;
        EXPECT_EQ(row.setButtonVisible, button != 6) << button;
    }
    for (int field = 0; field < 3; ++field)
        EXPECT_EQ(rows[static_cast<std::size_t>(field)].setButton, -1);
    for (int field = 0; field < modbus::kValueFieldCount; ++field)
        EXPECT_EQ(rows[static_cast<std::size_t>(field)].readRegister, field);
    EXPECT_EQ(modbus::rowOfSetButton(4).check, modbus::WriteCheck::ControlMode);
    EXPECT_EQ(modbus::rowOfSetButton(5).check, modbus::WriteCheck::BaudRate);
}

namespace {

struct RangeCase
{
    const char *name; // caption or key
    long long value;
    bool inRange;
};

// The documented ranges at their edges; the allowed sets between them.
const RangeCase kRangeCases[] = {
    {"报警高值", 1, true},         {"alarm_high", 0, false},       {"alarm_high", 999, true},
    {"报警低值", 1000, false},     {"校正值", -99, true},          {"calibration", -100, false},
    {"control_mode", 0, false},    {"控制模式", 2, true},          {"baud_rate", 19200, true},
    {"波特率", 9601, false},       {"voltage_high", 50001, false}, {"电压低值", 10000, true},
    {"display_high", 65535, true}, {"input_voltage", 3, false},    {"输入电压", 5, true},
    {"address", 247, true},        {"设备地址", 248, false},       {"measured_value", 0, false},
};

} // namespace

TEST(RegisterMap, DocumentedRangesByCaptionOrKey)
{
    for (const auto &c : kRangeCases) {
        const modbus::RegisterRow *row = modbus::findRow(c.name);
        ASSERT_NE(row, nullptr) << c.name;
        EXPECT_EQ(modbus::inRange(*row, c.value), c.inRange) << c.name << " " << c.value;
    }
    EXPECT_EQ(modbus::findRow("校 正 值"), modbus::findRow("calibration"));
    EXPECT_EQ(modbus::findRow(""), nullptr);
    EXPECT_EQ(modbus::rowWrittenAt(0x0A00), modbus::findRow("alarm_high"));
    EXPECT_EQ(modbus::rowWrittenAt(0x0A01), nullptr);
    for (const auto &row : modbus::registerMap())
        EXPECT_EQ(modbus::findRow(row.key), &row) << row.key;
}
