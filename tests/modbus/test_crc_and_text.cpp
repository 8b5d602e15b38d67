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
        EXPECT_EQ(modbus::crc16(c.bytes), c.crc) << "frame of " << c.bytes.size() << " bytes";
}

TEST(Crc16, LeavesLowByteInHiByteAndCoversOnlyUpToLastIndex)
{
    Bytes frame{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x55, 0xAA};
    const Bytes before = frame;
    const auto crc = modbus::Crc16(frame, 5);
    EXPECT_EQ(crc.hiByte, 0x91);
    EXPECT_EQ(crc.loByte, 0x81);
    EXPECT_EQ(frame, before);

    frame[6] = 0x00;
    frame[7] = 0xFF;
    const auto again = modbus::Crc16(frame, 5);
    EXPECT_EQ(again.hiByte, 0x91);
    EXPECT_EQ(again.loByte, 0x81);

    const auto none = modbus::Crc16(frame, -1);
    EXPECT_EQ(none.hiByte, 0xFF);
    EXPECT_EQ(none.loByte, 0xFF);
    // An index past the end is not read beyond the frame.
    EXPECT_EQ(modbus::Crc16(frame, 100).hiByte, modbus::Crc16(frame, 7).hiByte);
}

TEST(RequestFrame, CarriesWordsHighByteFirstAndCrcLowByteFirst)
{
    const auto frame = modbus::requestFrame(0x02, 0x06, 0x0A0A, 9600);
    EXPECT_EQ(Bytes(frame.begin(), frame.end()),
              (Bytes{0x02, 0x06, 0x0A, 0x0A, 0x25, 0x80, 0xB1, 0x13}));
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
