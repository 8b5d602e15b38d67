#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

std::map<int, std::string> decoded(const Bytes &answer, long long base)
{
    std::map<int, std::string> fields;
    for (const auto &[field, text] : modbus::decodeQueryAnswer(answer, base))
        fields[field] = text;
    return fields;
}

// A read answer of `count` registers holding 1, 2, 3, ... (register k holds k + 1).
Bytes countingAnswer(int count)
{
    Bytes answer{0x01, 0x03, static_cast<std::uint8_t>(2 * count)};
    for (int k = 0; k < count; ++k) {
        answer.push_back(0);
        answer.push_back(static_cast<std::uint8_t>(k + 1));
    }
    answer.push_back(0xAA);
    answer.push_back(0xBB);
    return answer;
}

} // namespace

TEST(QueryAnswer, DeviceExampleShowsTenthsAndUnsigned)
{
    const auto fields = decoded({0x02, 0x03, 0x04, 0x00, 0xEB, 0x00, 0x01, 0x12, 0x34}, 0);
    EXPECT_EQ(fields, (std::map<int, std::string>{{0, "23.5"}, {1, "1"}}));
}

TEST(QueryAnswer, BaseMovesRegistersAndFieldsPast14DoNotExist)
{
    const struct
    {
        long long base;
        int count;
        int firstField;
        int lastField;
    } cases[] = {{0, 15, 0, 14},   {2, 15, 2, 14}, {8, 15, 8, 14},
                 {18, 15, -1, -1}, {-4, 6, 0, 1},  {0, 1, 0, 0}};
    for (const auto &c : cases) {
        const auto fields = decoded(countingAnswer(c.count), c.base);
        if (c.firstField < 0) {
            EXPECT_TRUE(fields.empty()) << c.base;
            continue;
        }
        ASSERT_FALSE(fields.empty()) << c.base;
        EXPECT_EQ(fields.begin()->first, c.firstField) << c.base;
        EXPECT_EQ(fields.rbegin()->first, c.lastField) << c.base;
        EXPECT_EQ(fields.size(), static_cast<std::size_t>(c.lastField - c.firstField + 1));
    }
}

TEST(QueryAnswer, ShowsOnlyRegistersWhoseBothBytesArrived)
{
    const Bytes full = countingAnswer(15);
    // Cut the answer at every length: register k needs bytes 3 + 2k and 4 + 2k.
    for (std::size_t length = 0; length <= full.size(); ++length) {
        const Bytes cut(full.begin(), full.begin() + static_cast<long>(length));
        const auto fields = decoded(cut, 0);
        const std::size_t complete = length < 5 ? 0 : std::min<std::size_t>((length - 3) / 2, 15);
        EXPECT_EQ(fields.size(), complete) << "length " << length;
        for (const auto &[field, text] : fields)
            EXPECT_EQ(text, modbus::fieldText(field, static_cast<std::uint16_t>(field + 1)));
    }
}

TEST(QueryAnswer, ByteCountLimitsRegistersAndOddCountDropsLastByte)
{
    Bytes answer = countingAnswer(4);
    answer[2] = 5; // odd: two whole registers
    EXPECT_EQ(decoded(answer, 0).size(), 2U);
    answer[2] = 1;
    EXPECT_TRUE(decoded(answer, 0).empty());
    answer[2] = 0;
    EXPECT_TRUE(decoded(answer, 0).empty());
    answer[2] = 0xFF; // announces more than arrived: only the complete registers
    EXPECT_EQ(decoded(answer, 0).size(), 5U);
}

TEST(AddressChangeAnswer, PlainEchoGivesTheNewAddress)
{
    const Bytes request{0x01, 0x06, 0x0B, 0x00, 0x00, 0x02, 0x0A, 0x2F};
    EXPECT_EQ(modbus::addressChangeResult(request, request), 2);
    // Not an echo: byte 3 as the device reports it.
    EXPECT_EQ(modbus::addressChangeResult(Bytes{0x01, 0x06, 0x0B, 0x07, 0x00, 0x02}, request), 7);
    EXPECT_EQ(modbus::addressChangeResult(Bytes{0x01, 0x86, 0x02, 0x09}, request), 9);
    EXPECT_FALSE(modbus::addressChangeResult(Bytes{0x01, 0x06, 0x0B}, request));
}

TEST(DeviceInfoAnswer, ElevenCharactersOneByteEach)
{
    Bytes answer{0x01, 0x26, 0x0B};
    for (char c : std::string("RX904-V1.00"))
        answer.push_back(static_cast<std::uint8_t>(c));
    answer.insert(answer.end(), {0x00, 0x11, 0x22});
    EXPECT_EQ(modbus::deviceInfoText(answer), "RX904-V1.00");

    Bytes high{0x01, 0x26, 0x0B, 0x80, 0xA9, 0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    EXPECT_EQ(modbus::deviceInfoText(high), "\u0080\u00A9\u00FFabcdefgh");
    high.pop_back();
    EXPECT_FALSE(modbus::deviceInfoText(high));
}
