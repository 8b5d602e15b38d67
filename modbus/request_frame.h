#pragma once
#include "crc16.h"

#include <array>
#include <cstdint>

namespace modbus {

// Every request the tool sends: station, function, two 16-bit words high byte first,
// then the CRC of bytes 0..5 low byte first.
inline constexpr int kRequestLength = 8;
using RequestFrame = std::array<std::uint8_t, kRequestLength>;

[[nodiscard]] RequestFrame requestFrame(std::uint8_t station, std::uint8_t function,
                                        std::uint16_t address, std::uint16_t value);

// Answer length of a function 03 read of n registers: header 3, data 2n, CRC 2.
[[nodiscard]] constexpr int readAnswerLength(int registers)
{
    return 2 * registers + 5;
}

// The echo of a function 06 write is the 8-byte request itself.
inline constexpr int kWriteAnswerLength = kRequestLength;

} // namespace modbus
