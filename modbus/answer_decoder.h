#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace modbus {

// Kind of the last request sent; decides how the next answer is read.
enum CmdType : std::int16_t {
    kCmdQuery = 1,
    kCmdAddressChange = 5,
    kCmdAddressReadOrWrite = 6,
    kCmdDeviceInfo = 7,
};

struct FieldText
{
    int field;
    std::string text;
};

// Registers of a read answer (byte 2 = byte count, register k in bytes 3+2k, 4+2k) as
// field texts. Only registers whose two bytes both arrived are shown, only fields 0..14
// exist, and an answer without a byte count shows nothing.
[[nodiscard]] std::vector<FieldText> decodeQueryAnswer(std::span<const std::uint8_t> answer,
                                                       long long base);

// The address an address-change answer reports. A plain echo of the request (bytes 0..5
// repeated) carries the register's low byte in byte 3, so the new address is taken from
// the request instead; any other answer gives its byte 3. Nothing below 4 bytes.
[[nodiscard]] std::optional<std::uint8_t>
addressChangeResult(std::span<const std::uint8_t> answer, std::span<const std::uint8_t> request);

// The 11 identification characters of bytes 3..13, one character per byte (U+0000..U+00FF),
// as UTF-8; nothing when the answer is shorter than 14 bytes.
[[nodiscard]] std::optional<std::string> deviceInfoText(std::span<const std::uint8_t> answer);

} // namespace modbus
