#include "serial/line_settings.h"

#include <gtest/gtest.h>

namespace {

using serial::LineSettings;
using serial::parseLineSettings;

struct GoodText
{
    const char *text;
    LineSettings expected;
    int halfBits; // start 2 + data 2 each + parity 2 + stop 2, 3 or 4
};

class SerialLineSettingsGood : public ::testing::TestWithParam<GoodText>
{
};

TEST_P(SerialLineSettingsGood, ReadsAllFourFieldsAndTimesACharacter)
{
    const auto parsed = parseLineSettings(QString::fromUtf8(GetParam().text));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, GetParam().expected);
    EXPECT_EQ(serial::halfBitsPerCharacter(*parsed), GetParam().halfBits);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SerialLineSettingsGood,
    ::testing::Values(
        GoodText{"9600,N,8,1", {9600, serial::Parity::None, 8, serial::StopBits::One}, 20},
        GoodText{"2400,N,8,1", {2400, serial::Parity::None, 8, serial::StopBits::One}, 20},
        GoodText{"38400,N,8,1", {38400, serial::Parity::None, 8, serial::StopBits::One}, 20},
        GoodText{"19200,E,7,2", {19200, serial::Parity::Even, 7, serial::StopBits::Two}, 22},
        GoodText{"4800,o,5,1.5", {4800, serial::Parity::Odd, 5, serial::StopBits::OneAndHalf}, 17},
        GoodText{"1200,M,6,1", {1200, serial::Parity::Mark, 6, serial::StopBits::One}, 18},
        GoodText{"115200,s,8,2", {115200, serial::Parity::Space, 8, serial::StopBits::Two}, 24},
        GoodText{
            " 9600 , N , 8 , 1 ", {9600, serial::Parity::None, 8, serial::StopBits::One}, 20}));

class SerialLineSettingsBad : public ::testing::TestWithParam<const char *>
{
};

TEST_P(SerialLineSettingsBad, IsRefused)
{
    EXPECT_FALSE(parseLineSettings(QString::fromUtf8(GetParam())).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Texts, SerialLineSettingsBad,
                         ::testing::Values("", "9600", "9600,N,8", "9600,N,8,1,0", "abc,N,8,1",
                                           "-9600,N,8,1", "0,N,8,1", "96x0,N,8,1", "9600.5,N,8,1",
                                           "99999999999,N,8,1", "9600,X,8,1", "9600,NN,8,1",
                                           "9600,,8,1", "9600,N,9,1", "9600,N,4,1", "9600,N,8,3",
                                           "9600,N,8,0", "9600,N,8,1.0", "9600;N;8;1"));

TEST(SerialLineSettings, DefaultsAreTheTextNineThousandSixHundredN81)
{
    EXPECT_EQ(LineSettings{}, *parseLineSettings(QStringLiteral("9600,N,8,1")));
}

} // namespace
