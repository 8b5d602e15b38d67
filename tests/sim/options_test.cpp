#include "sim/options.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

sim::ParsedOptions parse(std::vector<std::string_view> arguments)
{
    return sim::parseOptions(arguments);
}

TEST(Options, Defaults)
{
    const auto parsed = parse({});
    ASSERT_TRUE(parsed.options);
    const sim::Options &o = *parsed.options;
    EXPECT_FALSE(o.station);
    EXPECT_FALSE(o.identification);
    EXPECT_TRUE(o.registers.empty());
    EXPECT_EQ(o.baud, 9600);
    EXPECT_FALSE(o.wireTiming);
    EXPECT_DOUBLE_EQ(o.turnaroundSeconds, 0.0);
    EXPECT_TRUE(o.logPath.empty());
    EXPECT_TRUE(o.linkPath.empty());
    EXPECT_FALSE(o.exitAfterSeconds);
    EXPECT_FALSE(o.closeAfterRequests);
    EXPECT_FALSE(o.help);
}

TEST(Options, AllGiven)
{
    const auto parsed = parse({"--station",
                               "17",
                               "--ident=ABC",
                               "--register",
                               "6=-99",
                               "--register=3=900",
                               "--baud",
                               "19200",
                               "--wire-timing",
                               "--turnaround",
                               "2.5",
                               "--log",
                               "/tmp/x.log",
                               "--link=/tmp/ttyRX",
                               "--fault",
                               "late=30",
                               "--fault=bad-crc",
                               "--garbage-rate",
                               "500",
                               "--exit-after",
                               "1.5",
                               "--close-after-requests",
                               "3"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const sim::Options &o = *parsed.options;
    EXPECT_EQ(o.station, 17);
    EXPECT_EQ(o.identification, "ABC");
    ASSERT_EQ(o.registers.size(), 2U);
    EXPECT_EQ(o.registers[0], (std::pair<int, std::uint16_t>{6, 0xFF9D}));
    EXPECT_EQ(o.registers[1], (std::pair<int, std::uint16_t>{3, 900}));
    EXPECT_EQ(o.baud, 19200);
    EXPECT_TRUE(o.wireTiming);
    EXPECT_DOUBLE_EQ(o.turnaroundSeconds, 0.0025);
    EXPECT_EQ(o.logPath, "/tmp/x.log");
    EXPECT_EQ(o.linkPath, "/tmp/ttyRX");
    EXPECT_DOUBLE_EQ(o.faults.lateSeconds, 0.03);
    EXPECT_TRUE(o.faults.badCrc);
    EXPECT_EQ(o.garbageRate, 500.0);
    EXPECT_EQ(o.exitAfterSeconds, 1.5);
    EXPECT_EQ(o.closeAfterRequests, 3);
}

class BadCommandLine : public testing::TestWithParam<std::vector<std::string_view>>
{
};

TEST_P(BadCommandLine, IsRefusedWithAReason)
{
    const auto parsed = sim::parseOptions(GetParam());
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BadCommandLine,
                         testing::Values(std::vector<std::string_view>{"--station", "0"},
                                         std::vector<std::string_view>{"--station", "251"},
                                         std::vector<std::string_view>{"--station"},
                                         std::vector<std::string_view>{"--station", "1x"},
                                         std::vector<std::string_view>{"--register", "15=1"},
                                         std::vector<std::string_view>{"--register", "3"},
                                         std::vector<std::string_view>{"--register", "3=65536"},
                                         std::vector<std::string_view>{"--register", "3=-32769"},
                                         std::vector<std::string_view>{"--baud", "fast"},
                                         std::vector<std::string_view>{"--turnaround", "-1"},
                                         std::vector<std::string_view>{"--fault", "loud"},
                                         std::vector<std::string_view>{"--delivery", "fifo=0"},
                                         std::vector<std::string_view>{"--delivery", "usb"},
                                         std::vector<std::string_view>{"--delivery", "pieces=-1"},
                                         std::vector<std::string_view>{"--garbage-rate", "0"},
                                         std::vector<std::string_view>{"--exit-after", "soon"},
                                         std::vector<std::string_view>{"--close-after-requests",
                                                                       "0"},
                                         std::vector<std::string_view>{"--log", ""},
                                         std::vector<std::string_view>{"--wire-timing=1"},
                                         std::vector<std::string_view>{"--verbose"},
                                         std::vector<std::string_view>{"/dev/ttyS0"}));

TEST(Options, HelpNamesEveryOption)
{
    const std::string usage = sim::usageText();
    for (const char *option :
         {"--station", "--ident", "--register", "--baud", "--wire-timing", "--delivery",
          "--turnaround", "--link", "--log", "--fault silent", "--fault bad-crc", "--fault short",
          "--fault late=", "--fault split=", "--fault garbage", "--garbage-rate", "--exit-after",
          "--close-after-requests", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    ASSERT_TRUE(parse({"--help"}).options);
    EXPECT_TRUE(parse({"-h"}).options->help);
}

} // namespace
