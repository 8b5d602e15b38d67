#include "values/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

struct NumberCase
{
    const char *text;
    std::optional<double> value;
};

// Texts the operator may type, and what each reads as. Locale-free: a comma is never a
// decimal separator, and words such as inf or nan are never numbers.
const NumberCase kNumberCases[] = {
    {"15", 15},
    {"  15  ", 15},
    {"\t7\n", 7},
    {"-3", -3},
    {"+2.5", 2.5},
    {"1.", 1},
    {".5", 0.5},
    {"1e3", 1000},
    {"1E-2", 0.01},
    {"-0", 0},
    {"0015", 15},
    {"1e-400", 0},
    {"", std::nullopt},
    {"   ", std::nullopt},
    {"+", std::nullopt},
    {"-", std::nullopt},
    {".", std::nullopt},
    {"--1", std::nullopt},
    {"+-1", std::nullopt},
    {"1,5", std::nullopt},
    {"0x10", std::nullopt},
    {"0x1A", std::nullopt},
    {"inf", std::nullopt},
    {"-inf", std::nullopt},
    {"nan", std::nullopt},
    {"infinity", std::nullopt},
    {"1e", std::nullopt},
    {"1e+", std::nullopt},
    {"e3", std::nullopt},
    {"1a", std::nullopt},
    {"1 2", std::nullopt},
    {"1e309", std::nullopt},
    {"-1e309", std::nullopt},
    {"\xEF\xBC\x91\xEF\xBC\x92", std::nullopt}, // full-width digits
    {"1..2", std::nullopt},
    {"$5", std::nullopt},
    {"5%", std::nullopt},
};

} // namespace

TEST(NumericText, ReadsOnlyPlainDecimalNumbers)
{
    for (const auto &c : kNumberCases) {
        const auto value = values::numericValue(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << '"' << c.text << '"';
        if (c.value) {
            EXPECT_DOUBLE_EQ(*value, *c.value) << '"' << c.text << '"';
        }
    }
}

TEST(NumericText, HugeAndTinyDigitStringsDoNotCrashOrOverflow)
{
    EXPECT_FALSE(values::numericValue(std::string(10000, '9')));
    EXPECT_TRUE(values::numericValue(std::string(300, '9')));
    EXPECT_EQ(values::numericValue("0." + std::string(500, '0') + "1"), 0.0);
    EXPECT_FALSE(values::numericValue(std::string(10000, 'x')));
    EXPECT_FALSE(values::numericValue("1e99999999999999999999"));
    EXPECT_EQ(values::numericValue("1e-99999999999999999999"), 0.0);
}

TEST(NumericText, IntegerPartRoundsDownAndRoundedValueHalvesToEven)
{
    const std::tuple<const char *, double, double> cases[] = {
        {"15.9", 15, 16}, {"-0.5", -1, -0},    {"2.5", 2, 2},    {"3.5", 3, 4},
        {"0.9", 0, 1},    {"250.7", 250, 251}, {"-2.5", -3, -2}, {"60000.6", 60000, 60001},
        {"49.9", 49, 50}, {"50.5", 50, 50},
    };
    for (const auto &[text, floor, rounded] : cases) {
        EXPECT_EQ(values::integerPart(text), floor) << text;
        EXPECT_EQ(values::roundedValue(text), rounded) << text;
    }
    EXPECT_FALSE(values::integerPart("abc"));
    EXPECT_FALSE(values::roundedValue(""));
}

TEST(NumericText, AsByteTakesOnlyWholeNumbersFrom0To255)
{
    EXPECT_EQ(values::asByte(0), 0);
    EXPECT_EQ(values::asByte(255), 255);
    EXPECT_FALSE(values::asByte(256));
    EXPECT_FALSE(values::asByte(-1));
    EXPECT_FALSE(values::asByte(2.5));
    EXPECT_FALSE(values::asByte(std::nan("")));
}
