#include "modbus/exchange_judge.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using modbus::Verdict;

namespace {

// Frames written out byte by byte, not built by the tool: libmodbus' read of ten registers,
// the published Modbus examples of functions 01, 03, 04, 06 and 16 with their answers
// (station 0x11), and the device's identification. Every other CRC here was checked
// against a CRC-16/MODBUS that gives the published check value 0x4B37 for "123456789".
const Bytes kRead10{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
const Bytes kRead10Answer{0x01, 0x03, 0x14, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02,
                          0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06, 0x00,
                          0x07, 0x00, 0x08, 0x00, 0x09, 0xCD, 0x51};
const Bytes kRead3{0x11, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x76, 0x87};
const Bytes kRead3Answer{0x11, 0x03, 0x06, 0xAE, 0x41, 0x56, 0x52, 0x43, 0x40, 0x49, 0xAD};
const Bytes kInput1{0x11, 0x04, 0x00, 0x08, 0x00, 0x01, 0xB2, 0x98};
const Bytes kInput1Answer{0x11, 0x04, 0x02, 0x00, 0x0A, 0xF8, 0xF4};
const Bytes kWrite{0x11, 0x06, 0x00, 0x01, 0x00, 0x03, 0x9A, 0x9B};
const Bytes kWriteMany{0x11, 0x10, 0x00, 0x01, 0x00, 0x02, 0x04,
                       0x00, 0x0A, 0x01, 0x02, 0xC6, 0xF0};
const Bytes kWriteManyAnswer{0x11, 0x10, 0x00, 0x01, 0x00, 0x02, 0x12, 0x98};
const Bytes kCoils{0x0A, 0x01, 0x00, 0x04, 0x00, 0x01, 0xBD, 0x70};
const Bytes kCoilsRefused{0x0A, 0x81, 0x02, 0xB0, 0x53};
const Bytes kRead3Refused{0x11, 0x83, 0x02, 0xC1, 0x34};
const Bytes kInfo{0x01, 0x26, 0x00, 0x00, 0x00, 0x05, 0xC8, 0x0E};
const Bytes kInfoAnswer{0x01, 0x26, 0x0B, 'R', 'X', '9', '0',  '4',
                        '-',  'V',  '1',  '.', '0', '0', 0xCC, 0xB9};
// The address read goes to station 250; the device at station 0x11 answers it.
const Bytes kAddressRead{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81};
const Bytes kAddressAnswer{0x11, 0x03, 0x02, 0x00, 0x11, 0xB9, 0x8B};

Bytes with(Bytes bytes, std::size_t at, std::uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

Bytes plus(Bytes bytes, std::uint8_t extra)
{
    bytes.push_back(extra);
    return bytes;
}

struct ExpectedCase
{
    const char *name;
    Bytes request;
    std::optional<int> length;
};

TEST(ExpectedAnswerLength, FollowsTheRequestAlone)
{
    const ExpectedCase cases[] = {
        {"read 10", kRead10, 25},
        {"read 3", kRead3, 11},
        {"read input 1", kInput1, 7},
        {"read 125", {0x01, 0x03, 0x00, 0x00, 0x00, 0x7D, 0x85, 0xEB}, 255},
        {"read 126", {0x01, 0x03, 0x00, 0x00, 0x00, 0x7E, 0xC5, 0xEA}, std::nullopt},
        {"read 0", {0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x45, 0xCA}, std::nullopt},
        {"write", kWrite, 8},
        {"identification", kInfo, 16},
        {"coils", kCoils, std::nullopt},
        {"write many", kWriteMany, std::nullopt},
        {"read cut short", Bytes(kRead10.begin(), kRead10.end() - 1), std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const ExpectedCase &c : cases)
        EXPECT_EQ(modbus::expectedAnswerLength(c.request), c.length) << c.name;
    EXPECT_EQ(modbus::readAnswerLength(15), 35);
}

TEST(CrcHolds, OnPublishedFramesOnly)
{
    const Bytes checkValue{'1', '2', '3', '4', '5', '6', '7', '8', '9', 0x37, 0x4B};
    EXPECT_TRUE(modbus::crcHolds(checkValue));
    EXPECT_TRUE(modbus::crcHolds(kRead10));
    EXPECT_FALSE(modbus::crcHolds(with(checkValue, 10, 0x4C)));
    EXPECT_FALSE(modbus::crcHolds(with(kRead10, 0, 0x02)));
    // 0x6B 0x90 0xDA would hold as a CRC, but no frame is shorter than four bytes.
    EXPECT_FALSE(modbus::crcHolds(Bytes{0x6B, 0x90, 0xDA}));
    EXPECT_FALSE(modbus::crcHolds(Bytes{}));
}

struct JudgeCase
{
    const char *name;
    Bytes request;
    Bytes answer;
    bool anyStation;
    Verdict verdict;
    int expected;
    int exceptionCode = 0;
};

void PrintTo(const JudgeCase &c, std::ostream *os)
{
    *os << c.name;
}

const JudgeCase kJudgeCases[] = {
    {"ReadTen", kRead10, kRead10Answer, false, Verdict::Complete, 25},
    {"ReadThree", kRead3, kRead3Answer, false, Verdict::Complete, 11},
    {"ReadInput", kInput1, kInput1Answer, false, Verdict::Complete, 7},
    {"WriteEcho", kWrite, kWrite, false, Verdict::Complete, 8},
    {"Identification", kInfo, kInfoAnswer, false, Verdict::Complete, 16},
    {"AddressReadAnyStation", kAddressRead, kAddressAnswer, true, Verdict::Complete, 7},
    {"AddressReadOwnStationOnly", kAddressRead, kAddressAnswer, false, Verdict::WrongStation, 7},
    {"Refused", kRead3, kRead3Refused, false, Verdict::Exception, 5, 2},
    {"RefusedUnknownFunction", kCoils, kCoilsRefused, false, Verdict::Exception, 5, 2},
    {"RefusalFromAnotherStation",
     kRead3,
     {0x0A, 0x83, 0x02, 0xB1, 0x33},
     false,
     Verdict::WrongStation,
     5},
    {"BadCrc", kRead3, with(kRead3Answer, 10, 0xAE), false, Verdict::BadCrc, 11},
    {"BadCrcOfARefusal", kRead3, with(kRead3Refused, 4, 0x35), false, Verdict::BadCrc, 5},
    {"AnotherStation",
     {0x12, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x76, 0xB4},
     kRead3Answer,
     false,
     Verdict::WrongStation,
     11},
    {"AnotherFunction",
     {0x11, 0x04, 0x00, 0x6B, 0x00, 0x03, 0xC3, 0x47},
     kRead3Answer,
     false,
     Verdict::WrongFunction,
     11},
    {"ByteCountNotAsked",
     kRead3,
     {0x11, 0x03, 0x04, 0xAE, 0x41, 0x56, 0x52, 0x43, 0x40, 0x6A, 0x6D},
     false,
     Verdict::WrongContent,
     11},
    {"EchoOfAnotherValue",
     kWrite,
     {0x11, 0x06, 0x00, 0x01, 0x00, 0x04, 0xDB, 0x59},
     false,
     Verdict::WrongContent,
     8},
    {"ExtraAfterAnswer", kRead3, plus(kRead3Answer, 0x00), false, Verdict::ExtraBytes, 11},
    {"ExtraAfterRefusal", kRead3, plus(kRead3Refused, 0x00), false, Verdict::Exception, 5, 2},
    {"ExtraAfterBadCrc", kWrite, plus(with(kWrite, 7, 0), 0x00), false, Verdict::BadCrc, 8},
    // Nothing answers a broadcast: an echo of one comes from no station asked.
    {"Broadcast",
     {0x00, 0x06, 0x00, 0x01, 0x00, 0x03, 0x99, 0xDA},
     {0x00, 0x06, 0x00, 0x01, 0x00, 0x03, 0x99, 0xDA},
     false,
     Verdict::WrongStation,
     8},
    {"UnknownLengthWhole", kWriteMany, kWriteManyAnswer, false, Verdict::Complete, 0},
    {"UnknownLengthBadCrc", kWriteMany, with(kWriteManyAnswer, 7, 0), false, Verdict::BadCrc, 0},
    {"UnknownLengthShort", kWriteMany, {0x11, 0x10, 0x00, 0x01}, false, Verdict::Incomplete, 0},
    {"Short", kRead10, Bytes(kRead10Answer.begin(), kRead10Answer.begin() + 24), false,
     Verdict::Incomplete, 25},
};

class JudgeAnswer : public ::testing::TestWithParam<JudgeCase>
{
};

TEST_P(JudgeAnswer, GivesTheVerdict)
{
    const JudgeCase &c = GetParam();
    const modbus::Judgement judgement = modbus::judgeAnswer(c.request, c.answer, c.anyStation);
    EXPECT_EQ(judgement.verdict, c.verdict);
    EXPECT_EQ(judgement.received, static_cast<int>(c.answer.size()));
    EXPECT_EQ(judgement.expected, c.expected);
    EXPECT_EQ(judgement.exceptionCode, c.exceptionCode);
    EXPECT_EQ(judgement.crcGood(),
              c.verdict != Verdict::BadCrc && c.verdict != Verdict::Incomplete);
}

INSTANTIATE_TEST_SUITE_P(Answers, JudgeAnswer, ::testing::ValuesIn(kJudgeCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Whatever the verdict of the whole, every piece of it is only the start of an answer. Below
// two bytes nothing says yet whether the answer is a refusal. An answer of unknown length is
// whole only when its time runs out, so it has no pieces to judge.
TEST(JudgeAnswerInPieces, EveryShorterPieceIsIncomplete)
{
    for (const JudgeCase &c : kJudgeCases) {
        const int normal = modbus::expectedAnswerLength(c.request).value_or(0);
        for (int length = 0; length < c.expected; ++length) {
            const std::span<const std::uint8_t> piece(c.answer.data(),
                                                      static_cast<std::size_t>(length));
            const modbus::Judgement judgement = modbus::judgeAnswer(c.request, piece, c.anyStation);
            EXPECT_EQ(judgement.verdict, Verdict::Incomplete) << c.name << ", " << length;
            EXPECT_EQ(judgement.received, length) << c.name;
            EXPECT_EQ(judgement.expected, length < 2 ? normal : c.expected)
                << c.name << ", " << length;
        }
    }
}

} // namespace
