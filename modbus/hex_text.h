#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace modbus {

// Exactly two capital hex digits: 15 -> "0F", 255 -> "FF".
[[nodiscard]] std::string FormatHex(std::uint8_t bb);

// Sent-frame text: each byte's two digits followed by one blank ("FA 03 ... 81 ").
[[nodiscard]] std::string sentFrameText(std::span<const std::uint8_t> bytes);

// Received-frame text: one blank before each byte's two digits (" 02 03 ...").
[[nodiscard]] std::string receivedFrameText(std::span<const std::uint8_t> bytes);

} // namespace modbus
