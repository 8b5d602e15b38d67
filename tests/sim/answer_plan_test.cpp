#include "sim/answer_plan.h"

#include "modbus/exchange_judge.h"
#include "sim/device_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kAnswer{0x01, 0x03, 0x02, 0x00, 0xEB, 0xF8, 0x0B};

struct FaultText
{
    const char *text;
    bool accepted;
};

void PrintTo(const FaultText &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class FaultParsing : public testing::TestWithParam<FaultText>
{
};

TEST_P(FaultParsing, AcceptsOnlyKnownFaults)
{
    sim::Faults faults;
    EXPECT_EQ(sim::addFault(faults, GetParam().text), GetParam().accepted) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, FaultParsing,
                         testing::Values(FaultText{"silent", true}, FaultText{"bad-crc", true},
                                         FaultText{"short", true}, FaultText{"short=1", true},
                                         FaultText{"short=0", false}, FaultText{"short=2.5", false},
                                         FaultText{"late=250", true}, FaultText{"late=0.5", true},
                                         FaultText{"late=-1", false}, FaultText{"late=", false},
                                         FaultText{"late", false}, FaultText{"split=3", true},
                                         FaultText{"split=x", false}, FaultText{"garbage", true},
                                         FaultText{"silent=1", false}, FaultText{"loud", false},
                                         FaultText{"", false}));

TEST(Faults, ValuesAreKept)
{
    sim::Faults faults;
    ASSERT_TRUE(sim::addFault(faults, "late=250"));
    ASSERT_TRUE(sim::addFault(faults, "split=4"));
    ASSERT_TRUE(sim::addFault(faults, "short"));
    EXPECT_DOUBLE_EQ(faults.lateSeconds, 0.25);
    ASSERT_TRUE(faults.splitSeconds);
    EXPECT_DOUBLE_EQ(*faults.splitSeconds, 0.004);
    EXPECT_EQ(faults.shortBy, sim::kDefaultShortBy);
    ASSERT_TRUE(sim::addFault(faults, "short=5"));
    EXPECT_EQ(faults.shortBy, 5);
    EXPECT_FALSE(faults.silent);
    EXPECT_FALSE(faults.badCrc);
    EXPECT_FALSE(faults.garbage);
}

TEST(Faults, BadCrcInvertsTheCrcHighByte)
{
    sim::Faults faults;
    faults.badCrc = true;
    const Bytes corrupted = sim::corruptAnswer(kAnswer, faults);
    EXPECT_EQ(corrupted, (Bytes{0x01, 0x03, 0x02, 0x00, 0xEB, 0xF8, 0xF4}));
    EXPECT_FALSE(modbus::crcHolds(corrupted));
}

TEST(Faults, ShortCutsTheEnd)
{
    sim::Faults faults;
    faults.shortBy = 3;
    EXPECT_EQ(sim::corruptAnswer(kAnswer, faults), (Bytes{0x01, 0x03, 0x02, 0x00}));
    faults.shortBy = 40;
    EXPECT_EQ(sim::corruptAnswer(kAnswer, faults), (Bytes{0x01}));
    EXPECT_TRUE(sim::corruptAnswer({}, faults).empty());
}

TEST(Faults, NoFaultNoChange)
{
    EXPECT_EQ(sim::corruptAnswer(kAnswer, sim::Faults{}), kAnswer);
}

TEST(Schedule, AtOnceWithoutWireTiming)
{
    const auto chunks = sim::scheduleAnswer(kAnswer, 8, 10.0, 0.0, sim::LineTiming{}, {});
    ASSERT_EQ(chunks.size(), 1U);
    EXPECT_DOUBLE_EQ(chunks[0].at, 10.0);
    EXPECT_EQ(chunks[0].bytes, kAnswer);
    EXPECT_DOUBLE_EQ(sim::lineFreeAfter(chunks, sim::LineTiming{}), 10.0);
}

TEST(Schedule, LateDelaysTheStart)
{
    sim::Faults faults;
    faults.lateSeconds = 0.25;
    const auto chunks = sim::scheduleAnswer(kAnswer, 8, 10.0, 0.0, sim::LineTiming{}, faults);
    ASSERT_EQ(chunks.size(), 1U);
    EXPECT_DOUBLE_EQ(chunks[0].at, 10.25);
}

TEST(Schedule, SplitWritesSingleBytesApart)
{
    sim::Faults faults;
    faults.splitSeconds = 0.01;
    const auto chunks = sim::scheduleAnswer(kAnswer, 8, 10.0, 0.0, sim::LineTiming{}, faults);
    ASSERT_EQ(chunks.size(), kAnswer.size());
    for (std::size_t k = 0; k < chunks.size(); ++k) {
        EXPECT_DOUBLE_EQ(chunks[k].at, 10.0 + 0.01 * static_cast<double>(k));
        EXPECT_EQ(chunks[k].bytes, Bytes{kAnswer[k]});
    }
}

TEST(Schedule, WireTimingAt9600)
{
    const sim::LineTiming timing{9600, true, 0.002, {}};
    const double character = 10.0 / 9600;
    const auto chunks = sim::scheduleAnswer(kAnswer, 8, 10.0, 0.0, timing, {});
    ASSERT_EQ(chunks.size(), kAnswer.size());
    // Request on the wire (8 characters), 3.5 characters of silence, 2 ms turnaround.
    const double start = 10.0 + 8 * character + 3.5 * character + 0.002;
    for (std::size_t k = 0; k < chunks.size(); ++k) {
        EXPECT_NEAR(chunks[k].at, start + character * static_cast<double>(k), 1e-6);
        EXPECT_EQ(chunks[k].bytes, Bytes{kAnswer[k]});
    }
    EXPECT_NEAR(sim::lineFreeAfter(chunks, timing), start + 7 * character, 1e-6);
}

TEST(Schedule, AnswersDoNotOverlap)
{
    const sim::LineTiming timing{9600, true, 0.0, {}};
    const double character = 10.0 / 9600;
    // The line is busy until 11.0: the next answer waits for it and for the silence.
    const auto chunks = sim::scheduleAnswer(kAnswer, 8, 10.0, 11.0, timing, {});
    ASSERT_FALSE(chunks.empty());
    EXPECT_NEAR(chunks[0].at, 11.0 + 3.5 * character, 1e-6);

    const auto atOnce = sim::scheduleAnswer(kAnswer, 8, 10.0, 11.0, sim::LineTiming{}, {});
    ASSERT_EQ(atOnce.size(), 1U);
    EXPECT_DOUBLE_EQ(atOnce[0].at, 11.0);
}

TEST(Schedule, NoAnswerNoChunk)
{
    EXPECT_TRUE(sim::scheduleAnswer({}, 8, 10.0, 0.0, sim::LineTiming{}, {}).empty());
}

struct DeliveryCase
{
    const char *mode;
    std::size_t chunks;
    double lastAtMs; // after the first byte started on the line
};

// A 35-byte answer at 38400 baud: 0.2604 ms per byte, the last byte there at 9.115 ms.
TEST(Delivery, RegroupsTheBytesAsTheHardwareHandsThemOver)
{
    const DeliveryCase cases[] = {
        {"byte", 35, 34 * 0.2604167},
        {"fifo=8", 5, 35 * 0.2604167 + 4 * 0.2604167}, // 4 x 8, then 3 after 4 characters
        {"fifo=14", 3, 39 * 0.2604167},
        {"pieces=1", 10, 10.0},
        {"usb=16", 1, 35 * 0.2604167 + 16},
    };
    Bytes answer(35);
    for (std::size_t k = 0; k < answer.size(); ++k)
        answer[k] = static_cast<std::uint8_t>(k);
    for (const DeliveryCase &c : cases) {
        const auto delivery = sim::parseDelivery(c.mode);
        ASSERT_TRUE(delivery) << c.mode;
        const sim::LineTiming timing{38400, true, 0.0, *delivery};
        const auto byByte = sim::scheduleAnswer(answer, 8, 0.0, 0.0, timing, {});
        const auto chunks = sim::deliver(byByte, timing);
        Bytes joined;
        for (const auto &chunk : chunks)
            joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
        EXPECT_EQ(joined, answer) << c.mode;
        EXPECT_EQ(chunks.size(), c.chunks) << c.mode;
        EXPECT_NEAR((chunks.back().at - byByte.front().at) * 1000, c.lastAtMs, 1e-3) << c.mode;
    }
}

} // namespace
