#include "request_frame.h"

#include "crc16.h"

#include <algorithm>
#include <vector>

namespace modbus {

RequestFrame requestFrame(std::uint8_t station, std::uint8_t function, std::uint16_t address,
                          std::uint16_t value)
{
    std::vector<std::uint8_t> bytes{station,
                                    function,
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF),
                                    static_cast<std::uint8_t>(value >> 8),
                                    static_cast<std::uint8_t>(value & 0xFF)};
    appendCrc(bytes);
    RequestFrame frame{};
    std::ranges::copy(bytes, frame.begin());
    return frame;
}

RequestFrame readRequest(std::uint8_t station, std::uint16_t start, std::uint16_t count,
                         std::uint8_t function)
{
    return requestFrame(station, function, start, count);
}

RequestFrame writeRequest(std::uint8_t station, std::uint16_t address, std::uint16_t value)
{
    return requestFrame(station, kFunctionWriteSingle, address, value);
}

RequestFrame deviceInfoRequest(std::uint8_t station)
{
    return requestFrame(station, kFunctionDeviceInfo, 0, 5);
}

} // namespace modbus
