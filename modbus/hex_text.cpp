#include "hex_text.h"

namespace modbus {
namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

void appendHex(std::string &out, std::uint8_t byte)
{
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}
} // namespace

std::string FormatHex(std::uint8_t bb)
{
    std::string text;
    appendHex(text, bb);
    return text;
}

std::string sentFrameText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        appendHex(text, byte);
        text += ' ';
    }
    return text;
}

std::string receivedFrameText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        text += ' ';
        appendHex(text, byte);
    }
    return text;
}

} // namespace modbus
