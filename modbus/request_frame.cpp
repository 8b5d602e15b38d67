#include "request_frame.h"

#include "crc16.h"

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
    const std::uint16_t crc = Crc16(std::span(frame).first(6));
    frame[6] = static_cast<std::uint8_t>(crc & 0xFF);
    frame[7] = static_cast<std::uint8_t>(crc >> 8);
    return frame;
}

Request readRequest(std::uint8_t station, std::uint16_t start, std::uint16_t count,
                    std::uint8_t function)
{
    return {requestFrame(station, function, start, count), 3 + 2 * count + 2};
}

Request writeRequest(std::uint8_t station, std::uint16_t address, std::uint16_t value)
{
    return {requestFrame(station, kFunctionWriteSingle, address, value), kRequestLength};
}

Request deviceInfoRequest(std::uint8_t station)
{
    return {requestFrame(station, kFunctionDeviceInfo, 0, 5), kDeviceInfoAnswerLength};
}

} // namespace modbus
