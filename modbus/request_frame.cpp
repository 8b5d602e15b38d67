#include "request_frame.h"

namespace modbus {

RequestFrame requestFrame(std::uint8_t station, std::uint8_t function, std::uint16_t address,
                          std::uint16_t value)
{
    RequestFrame frame{station,
                       function,
                       static_cast<std::uint8_t>(address >> 8),
                       static_cast<std::uint8_t>(address & 0xFF),
                       static_cast<std::uint8_t>(value >> 8),
                       static_cast<std::uint8_t>(value & 0xFF),
                       0,
                       0};
    const CrcBytes crc = Crc16(frame, 5);
    frame[6] = crc.hiByte;
    frame[7] = crc.loByte;
    return frame;
}

} // namespace modbus
