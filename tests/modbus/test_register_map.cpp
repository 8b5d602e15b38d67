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
