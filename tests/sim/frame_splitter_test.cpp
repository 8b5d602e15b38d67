#include "sim/frame_splitter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<Bytes>;

constexpr double kGap = 0.004;

const Bytes kRead15{0x01, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xCE};
const Bytes kDiscovery{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81};
const Bytes kInfo{0x01, 0x26, 0x00, 0x00, 0x00, 0x05, 0xC8, 0x0E};
const Bytes kAddressChange{0x01, 0x06, 0x0B, 0x00, 0x00, 0x02, 0x0A, 0x2F};
// Report slave ID: a 4-byte request, framed by silence only.
const Bytes kReportSlaveId{0x01, 0x11, 0xC0, 0x2C};

Bytes concat(const Bytes &a, const Bytes &b)
{
    Bytes joined = a;
    joined.insert(joined.end(), b.begin(), b.end());
    return joined;
}

Bytes randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (auto &byte : bytes)
        byte = static_cast<std::uint8_t>(generator() & 0xFF);
    return bytes;
}

class EveryRequest : public testing::TestWithParam<Bytes>
{
};

TEST_P(EveryRequest, SplitAtEveryOffsetWithinTheSilence)
{
    const Bytes &request = GetParam();
    for (std::size_t cut = 0; cut <= request.size(); ++cut) {
        sim::FrameSplitter splitter(kGap);
        const auto bytes = std::span<const std::uint8_t>(request);
        Frames frames = splitter.feed(bytes.first(cut), 1.0);
        const Frames rest = splitter.feed(bytes.subspan(cut), 1.0 + kGap / 2);
        frames.insert(frames.end(), rest.begin(), rest.end());
        ASSERT_EQ(frames, Frames{request}) << "cut at " << cut;
        EXPECT_EQ(splitter.buffered(), 0U);
        EXPECT_FALSE(splitter.deadline());
    }
}

TEST_P(EveryRequest, SplitAtEveryOffsetAcrossASilence)
{
    // A pseudo-terminal may hand over one write in two pieces with a pause between:
    // the request is still recognised by its length and CRC.
    const Bytes &request = GetParam();
    for (std::size_t cut = 1; cut < request.size(); ++cut) {
        sim::FrameSplitter splitter(kGap);
        const auto bytes = std::span<const std::uint8_t>(request);
        EXPECT_TRUE(splitter.feed(bytes.first(cut), 1.0).empty());
        EXPECT_TRUE(splitter.poll(1.0 + 2 * kGap).empty());
        EXPECT_EQ(splitter.feed(bytes.subspan(cut), 1.0 + 3 * kGap), Frames{request})
            << "cut at " << cut;
    }
}

TEST_P(EveryRequest, GarbageBeforeIsDropped)
{
    const Bytes &request = GetParam();
    for (std::size_t length = 1; length <= 40; ++length) {
        sim::FrameSplitter splitter(kGap);
        const Bytes garbage = randomBytes(length, static_cast<unsigned>(length));
        EXPECT_EQ(splitter.feed(concat(garbage, request), 1.0), Frames{request})
            << length << " bytes of garbage";
        EXPECT_EQ(splitter.takeDiscarded(), length);
    }
}

TEST_P(EveryRequest, GarbageThenSilenceThenRequest)
{
    const Bytes &request = GetParam();
    sim::FrameSplitter splitter(kGap);
    EXPECT_TRUE(splitter.feed(randomBytes(30, 7), 1.0).empty());
    EXPECT_TRUE(splitter.poll(1.0 + kGap).empty());
    EXPECT_EQ(splitter.feed(request, 2.0), Frames{request});
}

INSTANTIATE_TEST_SUITE_P(ToolRequests, EveryRequest,
                         testing::Values(kRead15, kDiscovery, kInfo, kAddressChange));

TEST(FrameSplitter, TwoFramesBackToBack)
{
    sim::FrameSplitter splitter(kGap);
    EXPECT_EQ(splitter.feed(concat(kRead15, kInfo), 1.0), (Frames{kRead15, kInfo}));
    EXPECT_EQ(splitter.buffered(), 0U);
}

TEST(FrameSplitter, ThreeFramesOneByteAtATime)
{
    sim::FrameSplitter splitter(kGap);
    const Bytes stream = concat(concat(kDiscovery, kAddressChange), kRead15);
    Frames frames;
    for (const std::uint8_t byte : stream) {
        const Frames got = splitter.feed(Bytes{byte}, 1.0);
        frames.insert(frames.end(), got.begin(), got.end());
    }
    EXPECT_EQ(frames, (Frames{kDiscovery, kAddressChange, kRead15}));
}

TEST(FrameSplitter, OtherLengthsEndBySilence)
{
    sim::FrameSplitter splitter(kGap);
    EXPECT_TRUE(splitter.feed(kReportSlaveId, 1.0).empty());
    ASSERT_TRUE(splitter.deadline());
    EXPECT_DOUBLE_EQ(*splitter.deadline(), 1.0 + kGap);
    EXPECT_TRUE(splitter.poll(1.0 + kGap / 2).empty());
    EXPECT_EQ(splitter.poll(1.0 + kGap), Frames{kReportSlaveId});
    EXPECT_FALSE(splitter.deadline());
}

TEST(FrameSplitter, NextBytesAfterASilenceEndTheEarlierFrame)
{
    sim::FrameSplitter splitter(kGap);
    EXPECT_TRUE(splitter.feed(kReportSlaveId, 1.0).empty());
    EXPECT_EQ(splitter.feed(kRead15, 1.0 + 2 * kGap), (Frames{kReportSlaveId, kRead15}));
}

TEST(FrameSplitter, WrongCrcIsDroppedAndDoesNotWedge)
{
    sim::FrameSplitter splitter(kGap);
    Bytes bad = kRead15;
    bad.back() ^= 0x40;
    EXPECT_TRUE(splitter.feed(bad, 1.0).empty());
    EXPECT_TRUE(splitter.poll(1.0 + kGap).empty());
    EXPECT_GE(splitter.takeDiscarded(), 1U);
    EXPECT_LT(splitter.buffered(), 8U);
    EXPECT_EQ(splitter.feed(kRead15, 2.0), Frames{kRead15});
    // And straight after a bad frame, with no silence at all.
    EXPECT_EQ(splitter.feed(concat(bad, kInfo), 3.0), Frames{kInfo});
}

TEST(FrameSplitter, FloodStaysBounded)
{
    sim::FrameSplitter splitter(kGap);
    const Bytes flood = randomBytes(100000, 99);
    std::size_t found = 0;
    for (std::size_t at = 0; at < flood.size(); at += 97) {
        const auto piece = std::span<const std::uint8_t>(flood).subspan(
            at, std::min<std::size_t>(97, flood.size() - at));
        found += splitter.feed(piece, 1.0).size();
        ASSERT_LE(splitter.buffered(), sim::FrameSplitter::kCapacity);
    }
    // Random bytes hold a valid 8-byte request only by a 1 in 65536 chance per position.
    EXPECT_LE(found, 10U);
    EXPECT_EQ(splitter.feed(kRead15, 1.0), Frames{kRead15});
}

TEST(FrameSplitter, NothingToEndWhenIdle)
{
    sim::FrameSplitter splitter(kGap);
    EXPECT_FALSE(splitter.deadline());
    EXPECT_TRUE(splitter.poll(100.0).empty());
    EXPECT_TRUE(splitter.feed(Bytes{}, 1.0).empty());
    EXPECT_FALSE(splitter.deadline());
}

} // namespace
