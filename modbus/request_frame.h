#pragma once
#include <array>
#include <cstdint>

namespace modbus {

inline constexpr std::uint8_t kFunctionReadHolding = 0x03;
inline constexpr std::uint8_t kFunctionWriteSingle = 0x06;
inline constexpr std::uint8_t kFunctionDeviceInfo = 0x26;

// Every request the tool sends: station, function, two 16-bit words high byte first,
// then the CRC of bytes 0..5 low byte first. The length of its answer follows from the
// frame (modbus/exchange_judge.h).
inline constexpr int kRequestLength = 8;
using RequestFrame = std::array<std::uint8_t, kRequestLength>;

[[nodiscard]] RequestFrame requestFrame(std::uint8_t station, std::uint8_t function,
                                        std::uint16_t address, std::uint16_t value);

// A read of count registers from start. The query sends the function code the operator
// gives and reads the answer as registers whatever it is.
[[nodiscard]] RequestFrame readRequest(std::uint8_t station, std::uint16_t start,
                                       std::uint16_t count,
                                       std::uint8_t function = kFunctionReadHolding);

// A function 06 write of one register; the device echoes the 8-byte request.
[[nodiscard]] RequestFrame writeRequest(std::uint8_t station, std::uint16_t address,
                                        std::uint16_t value);

// The identification request; its answer carries 11 characters in bytes 3..13 of 16.
inline constexpr int kDeviceInfoLength = 11;
inline constexpr int kDeviceInfoAnswerLength = 16;
[[nodiscard]] RequestFrame deviceInfoRequest(std::uint8_t station);

} // namespace modbus
