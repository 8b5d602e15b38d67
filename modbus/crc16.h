#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace modbus {

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final xor.
// Frames carry the low byte first.
[[nodiscard]] std::uint16_t Crc16(std::span<const std::uint8_t> bytes);

// Appends the CRC-16/MODBUS of the bytes so far, low byte first, making them a frame.
void appendCrc(std::vector<std::uint8_t> &frame);

} // namespace modbus
