#pragma once
#include <cstdint>
#include <span>

namespace modbus {

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final xor.
// Frames carry the low byte first.
[[nodiscard]] std::uint16_t crc16(std::span<const std::uint8_t> bytes);

// The two CRC bytes in wire order, named as the window variables that carry them:
// HiByte is the CRC's LOW-order byte (sent first), LoByte its high-order byte.
struct CrcBytes
{
    std::uint8_t hiByte = 0;
    std::uint8_t loByte = 0;
};

// CRC over bytes 0..lastIndex of a frame; lastIndex below 0 covers nothing (0xFFFF).
// Indexes beyond the frame are not read.
[[nodiscard]] CrcBytes Crc16(std::span<const std::uint8_t> cmdstring, int lastIndex);

} // namespace modbus
