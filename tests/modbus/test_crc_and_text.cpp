#include "modbus/crc16.h"
#include "modbus/hex_text.h"
#include "modbus/request_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

struct CrcCase
{
    Bytes bytes;
    std::uint16_t crc;
};

// Check values from the published CRC-16/MODBUS catalogue and from frames captured from
// libmodbus and the device's manual examples.
const CrcCase kCrcCases[] = {
    {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x4B37},
    {{0x01, 0x03, 0x00, 0x00, 0x00, 0x0F}, 0xCE05},
    {{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01}, 0x8191},
    {{0x01, 0x06, 0x0B, 0x00, 0x00, 0x02}, 0x2F0A},
    {{0x02, 0x06, 0x0A, 0x0A, 0x25, 0x80}, 0x13B1},
    {{0x01, 0x26, 0x00, 0x00, 0x00, 0x05}, 0x0EC8},
    {{0x02, 0x26, 0x00, 0x00, 0x00, 0x05}, 0x3DC8},
    {{}, 0xFFFF},
};

} // namespace

TEST(Crc16, MatchesPublishedAndDeviceCheckValues)
{
    for (const auto &c : kCrcCases)
        EXPECT_EQ(modbus::Crc16(c.bytes), c.crc) << "frame of " << c.bytes.size() << " bytes";
}

struct RequestCase
{
    modbus::RequestFrame frame;
    Bytes bytes;
};

// Frames as the device's manual and libmodbus write them: words high byte first, the CRC
// low byte first.
TEST(Request, Frames)
{
    const RequestCase cases[] = {
        {modbus::readRequest(0x01, 0, 15), {0x01, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xCE}},
        {modbus::readRequest(0xFA, 0, 1), {0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81}},
        // The query reads registers whatever function code the operator gives.
        {modbus::readRequest(0x01, 3, 2, 0x06), {0x01, 0x06, 0x00, 0x03, 0x00, 0x02, 0xF8, 0x0B}},
        {modbus::writeRequest(0x02, 0x0A0A, 9600),
         {0x02, 0x06, 0x0A, 0x0A, 0x25, 0x80, 0xB1, 0x13}},
        {modbus::writeRequest(0x01, 0x0B00, 2), {0x01, 0x06, 0x0B, 0x00, 0x00, 0x02, 0x0A, 0x2F}},
        {modbus::deviceInfoRequest(0x01), {0x01, 0x26, 0x00, 0x00, 0x00, 0x05, 0xC8, 0x0E}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Bytes(c.frame.begin(), c.frame.end()), c.bytes);
}

TEST(FormatHex, GivesExactlyTwoCapitalDigits)
{
    const std::pair<int, const char *> cases[] = {{0, "00"},   {9, "09"},  {10, "0A"},
                                                  {15, "0F"},  {16, "10"}, {171, "AB"},
                                                  {250, "FA"}, {255, "FF"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(modbus::FormatHex(static_cast<std::uint8_t>(value)), text) << value;
}

TEST(FrameText, SentTextEndsWithBlankReceivedTextStartsWithOne)
{
    const Bytes request{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81};
    EXPECT_EQ(modbus::sentFrameText(request), "FA 03 00 00 00 01 91 81 ");
    EXPECT_EQ(modbus::sentFrameText(request).size(), 24U);
    const Bytes answer{0x02, 0x03, 0x02, 0x00, 0x0F};
    EXPECT_EQ(modbus::receivedFrameText(answer), " 02 03 02 00 0F");
    EXPECT_EQ(modbus::receivedFrameText(Bytes(100, 0xEE)).size(), 300U);
    EXPECT_EQ(modbus::receivedFrameText({}), "");
}
