#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace modbus {

// How a register value is turned into the text of its value field.
enum class DisplayRule {
    Tenths,   // measured value: above 20000 counts as negative (minus 65535), one decimal
    Unsigned, // plain decimal
    Signed,   // 16-bit two's complement, except that 0x8000 stays 32768
};

// Extra check a parameter write makes before encoding the value.
enum class WriteCheck {
    None,
    ControlMode, // refuses values above 2
    BaudRate,    // only the five line speeds the device knows
};

// One row of the data and parameter group: read register, display, write path, hint.
struct RegisterRow
{
    int field;           // txtValue index 0..14
    int captionLabel;    // lblDanWei index of the row's name label
    const char *caption; // the row's name
    int readRegister;    // register a query from address 0 puts into the field
    DisplayRule rule;
    int setButton = -1;            // cmdSet index, -1 for display-only rows
    bool setButtonVisible = false; // the device-address row's button is hidden
    std::uint16_t writeRegister = 0;
    bool twosComplement = false; // negative values are written as 65536 + value
    WriteCheck check = WriteCheck::None;
    int hintLabel = -1; // Label2 index of the red range hint, -1 for none
    const char *hint = "";
    // The row's name in files and on command lines that must not depend on a language.
    const char *key = "";
    const char *unit = "";
    // The documented range of a writable row, in the value as shown (signed rows below 0).
    long long minimum = 0;
    long long maximum = 0;
    std::span<const int> allowed{}; // when not empty, only these values
};

inline constexpr int kValueFieldCount = 15;
inline constexpr int kSetButtonCount = 12;
inline constexpr int kFirstWritableField = 3;

inline constexpr std::uint16_t kAddressRegister = 0x0B00;
inline constexpr std::uint8_t kAddressReadStation = 0xFA;

[[nodiscard]] const std::array<RegisterRow, kValueFieldCount> &registerMap();

// The row written by cmdSet(index); index must be 0..11.
[[nodiscard]] const RegisterRow &rowOfSetButton(int index);

// The row named by its caption (blanks inside it optional: "校正值") or its key.
[[nodiscard]] const RegisterRow *findRow(std::string_view captionOrKey);
// The writable row whose write register is address.
[[nodiscard]] const RegisterRow *rowWrittenAt(std::uint16_t address);

// Whether a writable row's documented range holds value; never for a display-only row.
[[nodiscard]] bool inRange(const RegisterRow &row, long long value);

// Text of a register value under a rule; 0xFFFF always shows as zero.
[[nodiscard]] std::string displayText(DisplayRule rule, std::uint16_t raw);

// Text of a register value in value field f (0..14).
[[nodiscard]] std::string fieldText(int field, std::uint16_t raw);

// The number that text shows (the measured value in units, not tenths), for plotting.
[[nodiscard]] double fieldValue(int field, std::uint16_t raw);

// The five line speeds of the device and of the speed list.
inline constexpr std::array<int, 5> kBaudRates{2400, 4800, 9600, 19200, 38400};
// The input ranges of the device, in volts.
inline constexpr std::array<int, 2> kInputVoltages{2, 5};

} // namespace modbus
