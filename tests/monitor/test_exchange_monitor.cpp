#include "modbus/crc16.h"
#include "modbus/register_map.h"
#include "modbus/request_frame.h"
#include "monitor/exchange_monitor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using monitor::Bytes;
using monitor::Direction;
using monitor::Verdict;

namespace {

Bytes withCrc(Bytes frame)
{
    modbus::appendCrc(frame);
    return frame;
}

Bytes request(const modbus::RequestFrame &frame)
{
    return Bytes(frame.begin(), frame.end());
}

// 01 03 1E, fifteen registers, register 0 = 235 and the rest k * 10.
Bytes queryAnswer()
{
    Bytes answer{0x01, 0x03, 0x1E, 0x00, 235};
    for (int k = 1; k < 15; ++k) {
        answer.push_back(0);
        answer.push_back(static_cast<std::uint8_t>(k * 10));
    }
    return withCrc(answer);
}

Bytes slice(const Bytes &bytes, std::size_t from, std::size_t to)
{
    return Bytes(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to));
}

// The answer as another station gives it.
Bytes fromStation(Bytes answer, std::uint8_t station)
{
    answer.resize(answer.size() - 2);
    answer[0] = station;
    return withCrc(answer);
}

Bytes badCrc(Bytes frame)
{
    frame.back() ^= 0xFF;
    return frame;
}

const Bytes kQuery = request(modbus::readRequest(1, 0, 15));
const Bytes kAnswer = queryAnswer();

std::uint16_t alarmHighRegister()
{
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        if (std::string(row.caption) == "报警高值")
            return row.writeRegister;
    }
    return 0;
}

enum class Kind { Send, Receive, Poll, SetLine };
struct Step
{
    Kind kind;
    int ms;
    Bytes bytes = {};
    std::optional<monitor::Line> line = {}; // SetLine: nothing for a network connection
};
struct Row
{
    Direction direction;
    Verdict verdict;
    std::string meaning;
    std::size_t length;
    long long responseUs = -1; // -1: none
};
struct Tally
{
    long long requests, complete, badCrc, exceptions, incomplete, unanswered;
};
struct Case
{
    const char *name;
    std::vector<Step> steps;
    std::vector<Row> rows;
    Tally tally;
    std::size_t samples = 0;
};

// Response times run from the request's last byte leaving: 8 bytes after the write. At the
// start-up 9600 8N1 a character is 10 / 9600 s = 1041.67 us, so the last byte leaves at
// 8333.33 us: an answer 40 ms after the write took 31666.67 us, shown as 31666.
std::vector<Case> cases()
{
    const Row query{Direction::Sent, Verdict::Request, "读寄存器 站1 起始0 数量15", 8};
    const Row answered{Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 31666};
    std::vector<Step> byteByByte{{Kind::Send, 0, kQuery}};
    // One byte per read, 25 ms apart: far longer than the 3.5 characters between frames,
    // yet still one frame, as the request says how long its answer is.
    for (std::size_t i = 0; i < kAnswer.size(); ++i)
        byteByByte.push_back(
            {Kind::Receive, 25 * static_cast<int>(i + 1), slice(kAnswer, i, i + 1)});

    const Bytes write = request(modbus::writeRequest(1, alarmHighRegister(), 800));
    const Bytes addressChange = request(modbus::writeRequest(1, modbus::kAddressRegister, 17));
    const Bytes addressRead = request(modbus::readRequest(modbus::kAddressReadStation, 0, 1));
    const Bytes info = request(modbus::deviceInfoRequest(1));
    Bytes infoAnswer{0x01, 0x26, 0x0B};
    for (char c : std::string("RX904-V1.00"))
        infoAnswer.push_back(static_cast<std::uint8_t>(c));
    infoAnswer = withCrc(infoAnswer);
    const Bytes exception = withCrc({0x01, 0x83, 0x02});
    const Bytes garbage{0x55, 0xAA, 0x00};

    return {
        {"Whole",
         {{Kind::Send, 0, kQuery}, {Kind::Receive, 40, kAnswer}},
         {query, answered},
         {1, 1, 0, 0, 0, 0},
         1},
        {"InPieces",
         {{Kind::Send, 0, kQuery},
          {Kind::Receive, 20, slice(kAnswer, 0, 3)},
          {Kind::Receive, 30, slice(kAnswer, 3, 20)},
          {Kind::Receive, 40, slice(kAnswer, 20, 35)}},
         {query, answered},
         {1, 1, 0, 0, 0, 0},
         1},
        {"SplitAcrossReadsWithSilences",
         byteByByte,
         {query, {Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 866666}},
         {1, 1, 0, 0, 0, 0},
         1},
        {"BadCrc",
         {{Kind::Send, 0, kQuery}, {Kind::Receive, 40, badCrc(kAnswer)}},
         {query, {Direction::Received, Verdict::BadCrc, "CRC 错误", 35, 31666}},
         {1, 0, 1, 0, 0, 0}},
        // Another device's answer is shown for what it is and never plotted.
        {"AnotherStation",
         {{Kind::Send, 0, kQuery}, {Kind::Receive, 40, fromStation(kAnswer, 2)}},
         {query, {Direction::Received, Verdict::Complete, "应答 站号不符 (站2)", 35, 31666}},
         {1, 1, 0, 0, 0, 0}},
        {"ShortThenTimeOut",
         {{Kind::Send, 0, kQuery},
          {Kind::Receive, 40, slice(kAnswer, 0, 20)},
          {Kind::Poll, 999},
          {Kind::Poll, 1000}},
         {query, {Direction::Received, Verdict::Incomplete, "不完整 (收到 20/35 字节)", 20, 31666}},
         {1, 0, 0, 0, 1, 0}},
        {"Exception",
         {{Kind::Send, 0, kQuery}, {Kind::Receive, 10, exception}},
         {query,
          {Direction::Received, Verdict::Exception, "异常应答 功能码 0x83 异常码 02（非法数据地址）", 5, 1666}},
         {1, 0, 0, 1, 0, 0}},
        {"NoneUntilTimeOut",
         {{Kind::Send, 0, kQuery}, {Kind::Poll, 500}, {Kind::Poll, 1000}},
         {query, {Direction::Received, Verdict::NoAnswer, "无应答", 0}},
         {1, 0, 0, 0, 0, 1}},
        {"LateAfterTheNextRequest",
         {{Kind::Send, 0, kQuery}, {Kind::Send, 50, kQuery}, {Kind::Receive, 60, kAnswer}},
         {query,
          {Direction::Received, Verdict::NoAnswer, "无应答", 0},
          query,
          {Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 1666}},
         {2, 1, 0, 0, 0, 1},
         1},
        {"GarbageBetweenFrames",
         {{Kind::Send, 0, kQuery},
          {Kind::Receive, 40, kAnswer},
          {Kind::Receive, 45, slice(garbage, 0, 2)},
          {Kind::Receive, 50, slice(garbage, 2, 3)},
          {Kind::Poll, 100},
          {Kind::Receive, 150, garbage},
          {Kind::Send, 155, kQuery},
          {Kind::Receive, 195, kAnswer}},
         {query,
          answered,
          {Direction::Received, Verdict::Unsolicited, "无请求时收到的数据", 3},
          {Direction::Received, Verdict::Unsolicited, "无请求时收到的数据", 3},
          query,
          answered},
         {2, 2, 0, 0, 0, 0},
         2},
        // Bytes that never fall silent become rows of the longest RTU frame, not one row that
        // grows without end.
        {"FloodWithoutSilence",
         {{Kind::Receive, 0, Bytes(300, 0x55)},
          {Kind::Receive, 1, Bytes(300, 0xAA)},
          {Kind::Poll, 100}},
         {{Direction::Received, Verdict::Unsolicited, "无请求时收到的数据", 256},
          {Direction::Received, Verdict::Unsolicited, "无请求时收到的数据", 256},
          {Direction::Received, Verdict::Unsolicited, "无请求时收到的数据", 88}},
         {0, 0, 0, 0, 0, 0}},
        {"WriteEcho",
         {{Kind::Send, 0, write}, {Kind::Receive, 15, write}},
         {{Direction::Sent, Verdict::Request, "写参数 报警高值 = 800", 8},
          {Direction::Received, Verdict::Complete, "应答 已写入", 8, 6666}},
         {1, 1, 0, 0, 0, 0}},
        {"AddressChange",
         {{Kind::Send, 0, addressChange}, {Kind::Receive, 15, addressChange}},
         {{Direction::Sent, Verdict::Request, "修改地址 1 → 17", 8},
          {Direction::Received, Verdict::Complete, "应答 已写入", 8, 6666}},
         {1, 1, 0, 0, 0, 0}},
        {"AddressRead",
         {{Kind::Send, 0, addressRead}, {Kind::Receive, 15, withCrc({17, 0x03, 0x02, 0, 17})}},
         {{Direction::Sent, Verdict::Request, "读地址", 8},
          {Direction::Received, Verdict::Complete, "应答 地址 17", 7, 6666}},
         {1, 1, 0, 0, 0, 0}},
        {"DeviceInformation",
         {{Kind::Send, 0, info}, {Kind::Receive, 20, infoAnswer}},
         {{Direction::Sent, Verdict::Request, "读设备信息", 8},
          {Direction::Received, Verdict::Complete, "应答 设备信息 RX904-V1.00", 16, 11666}},
         {1, 1, 0, 0, 0, 0}},
        // 38400 8N1: 8 x 10 / 38400 s = 2083.33 us; 40000 - 2083.33 = 37916.67.
        {"Whole38400",
         {{Kind::SetLine, 0, {}, monitor::Line{38400, 20}},
          {Kind::Send, 0, kQuery},
          {Kind::Receive, 40, kAnswer}},
         {query, {Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 37916}},
         {1, 1, 0, 0, 0, 0},
         1},
        // 9600,E,8,1 is 11 bits: 8 x 11 / 9600 s = 9166.67 us; 40000 - 9166.67 = 30833.33.
        {"WholeEvenParity",
         {{Kind::SetLine, 0, {}, monitor::Line{9600, 22}},
          {Kind::Send, 0, kQuery},
          {Kind::Receive, 40, kAnswer}},
         {query, {Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 30833}},
         {1, 1, 0, 0, 0, 0},
         1},
        // A device server: the request leaves as it is written.
        {"WholeOverNetwork",
         {{Kind::SetLine, 0, {}, std::nullopt},
          {Kind::Send, 0, kQuery},
          {Kind::Receive, 40, kAnswer}},
         {query, {Direction::Received, Verdict::Complete, "应答 15个寄存器", 35, 40000}},
         {1, 1, 0, 0, 0, 0},
         1},
        // The echo is handed over at 5 ms, before the last byte leaves at 8333.33 us.
        {"AnswerBeforeTheRequestLeft",
         {{Kind::Send, 0, write}, {Kind::Receive, 5, write}},
         {{Direction::Sent, Verdict::Request, "写参数 报警高值 = 800", 8},
          {Direction::Received, Verdict::Complete, "应答 已写入", 8, 0}},
         {1, 1, 0, 0, 0, 0}},
    };
}

class ExchangeMonitorCase : public ::testing::TestWithParam<Case>
{
};

TEST_P(ExchangeMonitorCase, FramesRowsAndCounters)
{
    const Case &c = GetParam();
    const monitor::TimePoint start{};
    monitor::TimePoint now = start;
    monitor::ExchangeMonitor exchanges([&] { return now; });
    for (const Step &step : c.steps) {
        now = start + std::chrono::milliseconds(step.ms);
        switch (step.kind) {
        case Kind::Send:
            exchanges.sent(step.bytes, now);
            break;
        case Kind::Receive:
            exchanges.received(step.bytes, now);
            break;
        case Kind::Poll:
            exchanges.poll();
            break;
        case Kind::SetLine:
            exchanges.setLine(step.line);
            break;
        }
    }
    const std::vector<monitor::Frame> frames = exchanges.takeFrames();
    ASSERT_EQ(frames.size(), c.rows.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Row &row = c.rows[i];
        EXPECT_EQ(frames[i].direction, row.direction) << "row " << i;
        EXPECT_EQ(frames[i].verdict, row.verdict) << "row " << i;
        EXPECT_EQ(frames[i].meaning.text(), row.meaning) << "row " << i;
        EXPECT_EQ(frames[i].bytes.size(), row.length) << "row " << i;
        if (row.responseUs < 0) {
            EXPECT_FALSE(frames[i].responseTime) << "row " << i;
        } else {
            ASSERT_TRUE(frames[i].responseTime) << "row " << i;
            EXPECT_EQ(frames[i].responseTime->count(), row.responseUs) << "row " << i;
        }
    }
    const monitor::Counters &n = exchanges.counters();
    // The last counted response is that of the last complete or exception answer.
    std::optional<std::chrono::microseconds> lastCounted;
    for (const Row &row : c.rows) {
        if (row.verdict == Verdict::Complete || row.verdict == Verdict::Exception)
            lastCounted = std::chrono::microseconds(row.responseUs);
    }
    EXPECT_EQ(n.lastResponse, lastCounted);
    EXPECT_EQ(n.requests, c.tally.requests);
    EXPECT_EQ(n.complete, c.tally.complete);
    EXPECT_EQ(n.badCrc, c.tally.badCrc);
    EXPECT_EQ(n.exceptions, c.tally.exceptions);
    EXPECT_EQ(n.incomplete, c.tally.incomplete);
    EXPECT_EQ(n.unanswered, c.tally.unanswered);

    const std::vector<monitor::Sample> samples = exchanges.takeSamples();
    ASSERT_EQ(samples.size(), c.samples);
    for (const monitor::Sample &sample : samples) {
        EXPECT_EQ(sample.station, 1);
        EXPECT_EQ(sample.raw[0], 235);
        EXPECT_EQ(sample.raw[14], 140);
        EXPECT_DOUBLE_EQ(sample.value(0), 23.5);
        EXPECT_EQ(sample.present, 0x7FFF);
    }
}

INSTANTIATE_TEST_SUITE_P(Exchanges, ExchangeMonitorCase, ::testing::ValuesIn(cases()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
