#include "answer_decoder.h"

#include "register_map.h"
#include "request_frame.h"

#include <algorithm>
#include <cmath>

namespace modbus {

std::vector<FieldText> decodeQueryAnswer(std::span<const std::uint8_t> answer, long long base)
{
    std::vector<FieldText> fields;
    if (answer.size() < 3)
        return fields;
    const std::size_t byteCount = answer[2];
    long long k = 0;
    for (std::size_t i = 3; i <= byteCount + 1 && i + 1 < answer.size(); i += 2, ++k) {
        const long long field = base + k;
        if (field < 0 || field >= kValueFieldCount)
            continue;
        const auto raw = static_cast<std::uint16_t>(answer[i] << 8 | answer[i + 1]);
        fields.push_back({static_cast<int>(field), fieldText(static_cast<int>(field), raw)});
    }
    return fields;
}

std::optional<std::uint8_t> addressChangeResult(std::span<const std::uint8_t> answer,
                                                std::span<const std::uint8_t> request)
{
    if (answer.size() < 4)
        return std::nullopt;
    const bool plainEcho = answer.size() >= 6 && request.size() >= 6 &&
                           std::equal(request.begin(), request.begin() + 6, answer.begin());
    return plainEcho ? request[5] : answer[3];
}

std::optional<std::string> deviceInfoText(std::span<const std::uint8_t> answer)
{
    if (answer.size() < 3 + kDeviceInfoLength)
        return std::nullopt;
    std::string text;
    for (const std::uint8_t byte : answer.subspan(3, kDeviceInfoLength)) {
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            // Bytes 0x80..0xFF are the Latin-1 characters U+0080..U+00FF.
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

} // namespace modbus
