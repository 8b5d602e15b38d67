#include "sim_process.h"

#include "modbus/exchange_judge.h"
#include "modbus/frame_timing.h"
#include "modbus/request_frame.h"
#include "sim/device_model.h"
#include "sim/frame_splitter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace {

using simtest::Bytes;
using simtest::PortClient;
using simtest::SimProcess;
namespace fs = std::filesystem;

// Worked out by hand from the power-up registers with the measured value held at 23.5;
// CRC from an independent CRC-16/MODBUS routine.
const Bytes kRead15Request{0x01, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xCE};
const Bytes kRead15Answer{0x01, 0x03, 0x1E, 0x00, 0xEB, 0x04, 0x97, 0x00, 0x00, 0x03, 0x20, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x25, 0x80, 0x00, 0x01, 0xC3,
                          0x50, 0x00, 0x00, 0x03, 0xE8, 0x00, 0x00, 0x00, 0x02, 0xE7, 0xE9};
const std::vector<std::uint16_t> kPowerUpRegisters{235,  1175, 0,     800, 0,    0, 0, 1,
                                                   9600, 1,    50000, 0,   1000, 0, 2};

Bytes request(std::uint8_t station, std::uint8_t function, std::uint16_t address,
              std::uint16_t value)
{
    const modbus::RequestFrame frame = modbus::requestFrame(station, function, address, value);
    return {frame.begin(), frame.end()};
}

// A scratch directory removed at the end of the test.
class ScratchDir
{
public:
    ScratchDir()
    {
        std::string pattern = (fs::temp_directory_path() / "rx904-sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    [[nodiscard]] const fs::path &path() const { return m_path; }

private:
    fs::path m_path;
};

struct Running
{
    SimProcess sim;
    PortClient port;
};

// Starts the simulator with the measured value held still, opens its terminal.
#define START_SIM(running, ...)                                                                    \
    do {                                                                                           \
        std::string error_;                                                                        \
        ASSERT_TRUE((running).sim.start(__VA_ARGS__, error_)) << error_;                           \
        ASSERT_TRUE((running).port.open((running).sim.path(), error_)) << error_;                  \
    } while (false)

TEST(SimProcess, Reads15RegistersOverTheTerminal)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    EXPECT_TRUE(r.sim.path().starts_with("/dev/pts/")) << r.sim.path();
    ASSERT_TRUE(r.port.write(kRead15Request));
    EXPECT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer);
    // Nothing follows the answer.
    EXPECT_TRUE(r.port.readFor(50).empty());
    r.sim.signal(SIGTERM);
    EXPECT_EQ(r.sim.waitForExit(), 0);
}

TEST(SimProcess, StationIdentificationAndRegistersFromTheCommandLine)
{
    Running r;
    START_SIM(
        r, {"--station", "5", "--ident", "SIM-TEST", "--register", "6=-7", "--register", "14=5"});
    ASSERT_TRUE(r.port.write(request(5, 0x26, 0, 5)));
    const Bytes info = r.port.read(16);
    ASSERT_EQ(info.size(), 16U);
    EXPECT_EQ(info[0], 5);
    EXPECT_EQ(info[1], 0x26);
    EXPECT_EQ(info[2], 11);
    EXPECT_EQ(std::string(info.begin() + 3, info.begin() + 14), "SIM-TEST   ");
    EXPECT_TRUE(modbus::crcHolds(info));

    ASSERT_TRUE(r.port.write(request(5, 0x03, 6, 1)));
    EXPECT_EQ(r.port.read(7), (Bytes{0x05, 0x03, 0x02, 0xFF, 0xF9, 0xC8, 0x36}));
    ASSERT_TRUE(r.port.write(request(5, 0x03, 14, 1)));
    const Bytes reg14 = r.port.read(7);
    ASSERT_EQ(reg14.size(), 7U);
    EXPECT_EQ(reg14[4], 5);
    // Station 1 is not there.
    ASSERT_TRUE(r.port.write(kRead15Request));
    EXPECT_TRUE(r.port.readFor(200).empty());
}

TEST(SimProcess, AddressDiscoveryThenChange)
{
    Running r;
    START_SIM(r, {"--station", "9"});
    ASSERT_TRUE(r.port.write({0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81}));
    const Bytes found = r.port.read(7);
    ASSERT_EQ(found.size(), 7U);
    EXPECT_EQ(found[0], 9);
    const Bytes change = request(9, 0x06, 0x0B00, 12);
    ASSERT_TRUE(r.port.write(change));
    EXPECT_EQ(r.port.read(8), change);
    ASSERT_TRUE(r.port.write(request(12, 0x03, 9, 1)));
    const Bytes station = r.port.read(7);
    ASSERT_EQ(station.size(), 7U);
    EXPECT_EQ(station[0], 12);
    EXPECT_EQ(station[4], 12);
}

TEST(SimProcess, SurvivesThePortBeingClosedAndReopened)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(r.port.write(kRead15Request));
        EXPECT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer) << "round " << round;
        r.port.close();
        std::string error;
        ASSERT_TRUE(r.port.open(r.sim.path(), error)) << error;
    }
}

TEST(SimProcess, AnswersPromptlyToBackToBackRequests)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    Bytes two = kRead15Request;
    two.insert(two.end(), kRead15Request.begin(), kRead15Request.end());
    ASSERT_TRUE(r.port.write(two));
    Bytes expected = kRead15Answer;
    expected.insert(expected.end(), kRead15Answer.begin(), kRead15Answer.end());
    EXPECT_EQ(r.port.read(expected.size()), expected);
}

TEST(SimProcess, GarbageOnTheLineDoesNotWedgeIt)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    Bytes stream(300);
    for (std::size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<std::uint8_t>((i * 73 + 11) & 0xFF);
    stream.insert(stream.end(), kRead15Request.begin(), kRead15Request.end());
    ASSERT_TRUE(r.port.write(stream));
    EXPECT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer);
}

TEST(SimProcess, LinkIsPlacedAndRemoved)
{
    ScratchDir dir;
    const fs::path link = dir.path() / "ttyRX904";
    // An older link is replaced.
    fs::create_symlink("/nonexistent", link);
    Running r;
    START_SIM(r, {"--register", "0=235", "--link", link.string()});
    EXPECT_EQ(fs::read_symlink(link), r.sim.path());

    PortClient viaLink;
    std::string error;
    ASSERT_TRUE(viaLink.open(link.string(), error)) << error;
    ASSERT_TRUE(viaLink.write(kRead15Request));
    EXPECT_EQ(viaLink.read(kRead15Answer.size()), kRead15Answer);

    r.sim.signal(SIGINT);
    EXPECT_EQ(r.sim.waitForExit(), 0);
    EXPECT_FALSE(fs::is_symlink(link));
}

TEST(SimProcess, RefusesToReplaceAFile)
{
    ScratchDir dir;
    const fs::path file = dir.path() / "notalink";
    std::ofstream(file) << "keep";
    SimProcess sim;
    std::string error;
    EXPECT_FALSE(sim.start({"--link", file.string()}, error));
    EXPECT_EQ(sim.waitForExit(), 1);
    EXPECT_TRUE(fs::is_regular_file(file));
}

TEST(SimProcess, ClosesAfterNRequests)
{
    ScratchDir dir;
    const fs::path link = dir.path() / "tty";
    Running r;
    START_SIM(r, {"--register", "0=235", "--close-after-requests", "2", "--link", link.string()});
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(r.port.write(kRead15Request));
        EXPECT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer);
    }
    EXPECT_TRUE(r.port.hungUp());
    EXPECT_EQ(r.sim.waitForExit(), 0);
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_FALSE(fs::exists(r.sim.path()));
}

TEST(SimProcess, ExitsAfterTheGivenTime)
{
    Running r;
    START_SIM(r, {"--exit-after", "0.2"});
    EXPECT_TRUE(r.port.hungUp());
    EXPECT_EQ(r.sim.waitForExit(), 0);
}

struct FaultCase
{
    const char *name;
    std::vector<std::string> arguments;
    std::size_t length; // bytes expected
    bool crcValid;
};

void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.name;
}

class FaultAnswers : public testing::TestWithParam<FaultCase>
{
};

TEST_P(FaultAnswers, ChangeTheAnswerAsAsked)
{
    const FaultCase &c = GetParam();
    std::vector<std::string> arguments{"--register", "0=235"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    Running r;
    START_SIM(r, arguments);
    ASSERT_TRUE(r.port.write(kRead15Request));
    const Bytes answer = r.port.read(c.length);
    ASSERT_EQ(answer.size(), c.length);
    const std::size_t same = std::min<std::size_t>(c.length, kRead15Answer.size() - 1);
    EXPECT_TRUE(std::equal(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(same),
                           kRead15Answer.begin()));
    EXPECT_EQ(modbus::crcHolds(answer), c.crcValid);
    EXPECT_TRUE(r.port.readFor(100).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultAnswers,
    testing::Values(FaultCase{"BadCrc", {"--fault", "bad-crc"}, 35, false},
                    FaultCase{"Short", {"--fault", "short"}, 32, false},
                    FaultCase{"ShortBy10", {"--fault=short=10"}, 25, false},
                    FaultCase{"Late", {"--fault", "late=100"}, 35, true},
                    FaultCase{"Split", {"--fault", "split=2"}, 35, true},
                    FaultCase{
                        "LateAndSplit", {"--fault", "late=20", "--fault", "split=1"}, 35, true},
                    FaultCase{"WireTiming", {"--wire-timing", "--turnaround", "1"}, 35, true},
                    FaultCase{"WireTimingFast",
                              {"--wire-timing", "--baud", "38400", "--register", "8=9600"},
                              35,
                              true}),
    [](const testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

TEST(SimProcess, SilentNeverAnswersNorActs)
{
    ScratchDir dir;
    const fs::path log = dir.path() / "events.log";
    Running r;
    START_SIM(r, {"--fault", "silent", "--log", log.string()});
    ASSERT_TRUE(r.port.write(request(1, 0x06, 0x0B00, 2)));
    ASSERT_TRUE(r.port.write(kRead15Request));
    EXPECT_TRUE(r.port.readFor(300).empty());
    r.sim.signal(SIGTERM);
    ASSERT_EQ(r.sim.waitForExit(), 0);
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find(" request 01060B0000020A2F\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" no-answer silent\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("answer-last"), std::string::npos) << text;
}

TEST(SimProcess, GarbageFloodsTheLine)
{
    Running r;
    START_SIM(r, {"--fault", "garbage"});
    const Bytes flood = r.port.read(20000);
    ASSERT_EQ(flood.size(), 20000U);
    // Not a constant filler.
    std::map<std::uint8_t, int> seen;
    for (const std::uint8_t byte : flood)
        ++seen[byte];
    EXPECT_GT(seen.size(), 200U);
}

TEST(SimProcess, GarbageAtAGivenRate)
{
    Running r;
    START_SIM(r, {"--fault", "garbage", "--garbage-rate", "2000"});
    EXPECT_EQ(r.port.read(500).size(), 500U);
}

std::string hexText(const Bytes &bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

struct LogLine
{
    long long monotonicNs = 0;
    long long realtimeNs = 0;
    std::string event;
    std::string data;
};

std::vector<LogLine> readLog(const fs::path &path)
{
    std::vector<LogLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        LogLine line;
        fields >> line.monotonicNs >> line.realtimeNs >> line.event;
        std::getline(fields >> std::ws, line.data);
        lines.push_back(line);
    }
    return lines;
}

TEST(SimProcess, LogsEveryEvent)
{
    ScratchDir dir;
    const fs::path log = dir.path() / "events.log";
    Running r;
    START_SIM(r, {"--register", "0=235", "--log", log.string()});
    ASSERT_TRUE(r.port.write(kRead15Request));
    ASSERT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer);
    ASSERT_TRUE(r.port.write(request(2, 0x03, 0, 15)));
    ASSERT_TRUE(r.port.write(Bytes(10, 0x55)));
    EXPECT_TRUE(r.port.readFor(100).empty());
    r.sim.signal(SIGTERM);
    ASSERT_EQ(r.sim.waitForExit(), 0);

    const std::vector<LogLine> lines = readLog(log);
    std::vector<std::string> events;
    for (const LogLine &line : lines)
        events.push_back(line.event + (line.data.empty() ? "" : " " + line.data));
    const std::vector<std::string> expected{"start " + r.sim.path(), "request 01030000000F05CE",
                                            "answer-first", "answer-last " + hexText(kRead15Answer),
                                            "request 02030000000F05FD", "no-answer other-station",
                                            // 7 of the 10 bytes could still start a request.
                                            "discard 3", "exit signal"};
    EXPECT_EQ(events, expected);
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(lines[i].monotonicNs, lines[i - 1].monotonicNs);
        }
        EXPECT_GT(lines[i].realtimeNs, 0);
        EXPECT_LE(lines[i].realtimeNs,
                  std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    }
}

TEST(SimProcess, WireTimingNeverAnswersFasterThanTheLine)
{
    ScratchDir dir;
    const fs::path log = dir.path() / "events.log";
    Running r;
    START_SIM(r,
              {"--register", "0=235", "--wire-timing", "--turnaround", "3", "--log", log.string()});
    ASSERT_TRUE(r.port.write(kRead15Request));
    ASSERT_EQ(r.port.read(kRead15Answer.size()), kRead15Answer);
    r.sim.signal(SIGTERM);
    ASSERT_EQ(r.sim.waitForExit(), 0);

    std::map<std::string, long long> at;
    for (const LogLine &line : readLog(log))
        at.emplace(line.event, line.monotonicNs);
    ASSERT_TRUE(at.count("request") && at.count("answer-first") && at.count("answer-last"));
    // The request's line carries the instant it was read, and every byte is written at an
    // absolute deadline from it, so these are strict lower bounds; a slow machine only
    // adds to them. 8 characters of request, 3.5 of silence, 3 ms turnaround, 35 of answer.
    const double character = double(modbus::characterTime(9600).count());
    EXPECT_GE(at["answer-first"] - at["request"], (8 + 3.5) * character + 3e6);
    EXPECT_GE(at["answer-last"] - at["request"], (8 + 3.5 + 34) * character + 3e6);
}

TEST(SimProcess, HelpAndBadOptions)
{
    const auto help = simtest::runCommand(std::string(RX904_SIM_PATH) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--close-after-requests"), std::string::npos);
    const auto bad = simtest::runCommand(std::string(RX904_SIM_PATH) + " --station 300");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("--station"), std::string::npos) << bad.output;
}

// mbpoll (libmodbus) as an independent Modbus master.
class WithMbpoll : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!simtest::programInstalled("mbpoll"))
            GTEST_SKIP() << "mbpoll is not installed (apt-get install mbpoll)";
    }
    // RTU at 9600 8N1, PDU addressing (-0), one poll (-1); values to write follow the port.
    static std::string mbpoll(const std::string &path, const std::string &arguments,
                              const std::string &values = {})
    {
        return "mbpoll -m rtu -b 9600 -d 8 -s 1 -P none -0 -1 -o 2 " + arguments + " " + path +
               (values.empty() ? "" : " " + values);
    }
};

std::map<int, std::uint16_t> hexRegisters(const std::string &output)
{
    std::map<int, std::uint16_t> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        int reg = 0;
        unsigned value = 0;
        if (std::sscanf(line.c_str(), "[%d]: 0x%x", &reg, &value) == 2)
            values[reg] = static_cast<std::uint16_t>(value);
    }
    return values;
}

TEST_F(WithMbpoll, ReadsTheHoldingRegisters)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    r.port.close();
    const auto result = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4:hex -r 0 -c 15"));
    ASSERT_EQ(result.status, 0) << result.output;
    const auto values = hexRegisters(result.output);
    ASSERT_EQ(values.size(), 15U) << result.output;
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(values.at(k), kPowerUpRegisters[static_cast<std::size_t>(k)]) << "register " << k;
}

TEST_F(WithMbpoll, WritesAParameter)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    r.port.close();
    // 0x0A06 = 2566, the calibration value: -42 is 65494 in a 16-bit register.
    const auto write = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4 -r 2566", "65494"));
    ASSERT_EQ(write.status, 0) << write.output;
    const auto read = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4:hex -r 6 -c 1"));
    ASSERT_EQ(read.status, 0) << read.output;
    const auto values = hexRegisters(read.output);
    ASSERT_EQ(values.count(6), 1U) << read.output;
    EXPECT_EQ(values.at(6), 0xFFD6);
}

TEST_F(WithMbpoll, SeesTheDeviceExceptions)
{
    Running r;
    START_SIM(r, {"--register", "0=235"});
    r.port.close();
    const auto badAddress = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4 -r 2561", "5"));
    EXPECT_NE(badAddress.status, 0) << badAddress.output;
    EXPECT_NE(badAddress.output.find("Illegal data address"), std::string::npos)
        << badAddress.output;
    const auto badValue = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4 -r 2570", "1200"));
    EXPECT_NE(badValue.status, 0) << badValue.output;
    EXPECT_NE(badValue.output.find("Illegal data value"), std::string::npos) << badValue.output;
    const auto pastEnd = simtest::runCommand(mbpoll(r.sim.path(), "-a 1 -t 4 -r 10 -c 6"));
    EXPECT_NE(pastEnd.status, 0) << pastEnd.output;
}

} // namespace
