#include "crc16.h"

#include <algorithm>

namespace modbus {

std::uint16_t crc16(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1U) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001U)
                             : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

CrcBytes Crc16(std::span<const std::uint8_t> cmdstring, int lastIndex)
{
    const auto count = static_cast<std::size_t>(std::max(lastIndex + 1, 0));
    const std::uint16_t crc = crc16(cmdstring.first(std::min(count, cmdstring.size())));
    return {static_cast<std::uint8_t>(crc & 0xFFU), static_cast<std::uint8_t>(crc >> 8)};
}

} // namespace modbus
