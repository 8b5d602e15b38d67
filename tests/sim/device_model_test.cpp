#include "sim/device_model.h"

#include "modbus/exchange_judge.h"
#include "modbus/request_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Answers below were worked out by hand from the register values, with the CRC computed by
// an independent CRC-16/MODBUS routine (not this project's).
const Bytes kRead15Request{0x01, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xCE};
const Bytes kRead15AnswerAtZero{0x01, 0x03, 0x1E, 0x00, 0xEB, 0x04, 0x97, 0x00, 0x00,
                                0x03, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0x01, 0x25, 0x80, 0x00, 0x01, 0xC3, 0x50, 0x00, 0x00,
                                0x03, 0xE8, 0x00, 0x00, 0x00, 0x02, 0xE7, 0xE9};
const Bytes kDiscoveryRequest{0xFA, 0x03, 0x00, 0x00, 0x00, 0x01, 0x91, 0x81};
const Bytes kInfoRequest{0x01, 0x26, 0x00, 0x00, 0x00, 0x05, 0xC8, 0x0E};
const Bytes kInfoAnswer{0x01, 0x26, 0x0B, 'R', 'X', '9', '0',  '4',
                        '-',  'V',  '1',  '.', '0', '0', 0xCC, 0xB9};
const Bytes kIllegalAddress03{0x01, 0x83, 0x02, 0xC0, 0xF1};
const Bytes kIllegalValue03{0x01, 0x83, 0x03, 0x01, 0x31};
const Bytes kIllegalAddress06{0x01, 0x86, 0x02, 0xC3, 0xA1};
const Bytes kIllegalValue06{0x01, 0x86, 0x03, 0x02, 0x61};

Bytes request(std::uint8_t station, std::uint8_t function, std::uint16_t address,
              std::uint16_t value)
{
    const modbus::RequestFrame frame = modbus::requestFrame(station, function, address, value);
    return {frame.begin(), frame.end()};
}

Bytes withBadCrc(Bytes frame)
{
    frame.back() ^= 0x01;
    return frame;
}

// Register k of a function 03 answer, high byte first.
std::uint16_t registerOf(const Bytes &answer, int k)
{
    const auto at = static_cast<std::size_t>(3 + 2 * k);
    return static_cast<std::uint16_t>(answer.at(at) << 8 | answer.at(at + 1));
}

Bytes readOne(sim::DeviceModel &device, std::uint8_t station, int reg, double now = 0.0)
{
    return device.handleRequest(request(station, 0x03, static_cast<std::uint16_t>(reg), 1), now);
}

struct AnswerCase
{
    const char *name;
    Bytes request;
    Bytes answer; // empty: the device stays silent
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << c.name;
}

class DeviceAnswers : public testing::TestWithParam<AnswerCase>
{
};

TEST_P(DeviceAnswers, GivesExactBytes)
{
    sim::DeviceModel device;
    EXPECT_EQ(device.handleRequest(GetParam().request, 0.0), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    DefaultDevice, DeviceAnswers,
    testing::Values(
        AnswerCase{"Read15", kRead15Request, kRead15AnswerAtZero},
        AnswerCase{"DeviceInformation", kInfoRequest, kInfoAnswer},
        // Bytes 2..5 of the information request are not looked at.
        AnswerCase{"DeviceInformationOtherBytes",
                   {0x01, 0x26, 0x12, 0x34, 0x56, 0x78, 0x73, 0x39},
                   kInfoAnswer},
        AnswerCase{"DiscoveryReadOfOwnStation1",
                   kDiscoveryRequest,
                   {0x01, 0x03, 0x02, 0x00, 0xEB, 0xF8, 0x0B}},
        AnswerCase{"Function04Illegal", request(1, 0x04, 0, 1), {0x01, 0x84, 0x01, 0x82, 0xC0}},
        AnswerCase{
            "ReportSlaveIdIllegal", {0x01, 0x11, 0xC0, 0x2C}, {0x01, 0x91, 0x01, 0x8C, 0x50}},
        AnswerCase{"ReadPastLastRegister", request(1, 0x03, 15, 1), kIllegalAddress03},
        AnswerCase{"ReadOverlappingEnd", request(1, 0x03, 14, 2), kIllegalAddress03},
        AnswerCase{"Read16Registers", request(1, 0x03, 0, 16), kIllegalAddress03},
        // 125 registers is a legal Modbus count, but the device has only 15.
        AnswerCase{"Read125Registers", request(1, 0x03, 0, 125), kIllegalAddress03},
        AnswerCase{"ReadHighStart", request(1, 0x03, 0x0100, 1), kIllegalAddress03},
        AnswerCase{"ReadCountZero", request(1, 0x03, 0, 0), kIllegalValue03},
        AnswerCase{"ReadCount126", request(1, 0x03, 0, 126), kIllegalValue03},
        AnswerCase{"ReadOneByteTooLong",
                   {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x0A, 0x63},
                   kIllegalValue03},
        AnswerCase{"WriteOddParameterAddress", request(1, 0x06, 0x0A01, 1), kIllegalAddress06},
        AnswerCase{"WriteAfterLastParameter", request(1, 0x06, 0x0A18, 1), kIllegalAddress06},
        AnswerCase{"WriteReadRegister", request(1, 0x06, 0x0000, 1), kIllegalAddress06},
        AnswerCase{"WriteNextToAddressRegister", request(1, 0x06, 0x0B01, 1), kIllegalAddress06},
        AnswerCase{"WriteBaud1200", request(1, 0x06, 0x0A0A, 1200), kIllegalValue06},
        AnswerCase{"WriteControlMode3", request(1, 0x06, 0x0A08, 3), kIllegalValue06},
        AnswerCase{"WriteAddressZero", request(1, 0x06, 0x0B00, 0), kIllegalValue06},
        AnswerCase{"WriteAddress251", request(1, 0x06, 0x0B00, 251), kIllegalValue06},
        AnswerCase{"WriteAddressRowZero", request(1, 0x06, 0x0A0C, 0), kIllegalValue06},
        AnswerCase{"WrongCrc", withBadCrc(kRead15Request), {}},
        AnswerCase{"WrongCrcInfo", withBadCrc(kInfoRequest), {}},
        AnswerCase{"OtherStation", {0x02, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xFD}, {}},
        AnswerCase{"OtherStationException", request(2, 0x04, 0, 1), {}},
        AnswerCase{"BroadcastRead", request(0, 0x03, 0, 1), {}},
        AnswerCase{"DiscoveryOfTwoRegisters", request(0xFA, 0x03, 0, 2), {}},
        AnswerCase{"DiscoveryOfRegister1", request(0xFA, 0x03, 1, 1), {}},
        AnswerCase{"InformationToStation250", request(0xFA, 0x26, 0, 5), {}},
        AnswerCase{"TooShort", {0x01, 0x03, 0x00}, {}}, AnswerCase{"Empty", {}, {}}),
    [](const testing::TestParamInfo<AnswerCase> &info) { return std::string(info.param.name); });

struct ClockCase
{
    double seconds;
    std::uint16_t measured;
    std::uint16_t raw;
};

void PrintTo(const ClockCase &c, std::ostream *os)
{
    *os << "t=" << c.seconds;
}

class MeasuredValue : public testing::TestWithParam<ClockCase>
{
};

TEST_P(MeasuredValue, FollowsTheClock)
{
    sim::DeviceModel device;
    const Bytes answer = device.handleRequest(request(1, 0x03, 0, 3), GetParam().seconds);
    ASSERT_EQ(answer.size(), 11U);
    EXPECT_TRUE(modbus::crcHolds(answer));
    EXPECT_EQ(registerOf(answer, 0), GetParam().measured);
    // Default scaling: display 0..1000 on voltage 0..50000, 50 raw per unit.
    EXPECT_EQ(registerOf(answer, 1), GetParam().raw);
    EXPECT_EQ(registerOf(answer, 2), 0);
}

// A sine of 1.5 around 23.5 with a period of 60 s.
INSTANTIATE_TEST_SUITE_P(OnePeriod, MeasuredValue,
                         testing::Values(ClockCase{0.0, 235, 1175}, ClockCase{15.0, 250, 1250},
                                         ClockCase{30.0, 235, 1175}, ClockCase{45.0, 220, 1100},
                                         ClockCase{75.0, 250, 1250},
                                         ClockCase{1000000.0 * 60 + 45, 220, 1100}));

TEST(DeviceModel, MeasuredValueStaysNearItsCentre)
{
    sim::DeviceModel device;
    for (double t = 0.0; t < 120.0; t += 0.37) {
        const std::uint16_t value = device.registerValue(0, t);
        EXPECT_GE(value, 220) << t;
        EXPECT_LE(value, 250) << t;
    }
}

struct WriteCase
{
    int setButton;
    std::uint16_t value;
};

void PrintTo(const WriteCase &c, std::ostream *os)
{
    *os << "cmdSet(" << c.setButton << ")=" << c.value;
}

class ParameterWrite : public testing::TestWithParam<WriteCase>
{
};

TEST_P(ParameterWrite, EchoesThenReadsBack)
{
    const auto [button, value] = GetParam();
    sim::DeviceModel device;
    const Bytes write = request(1, 0x06, static_cast<std::uint16_t>(0x0A00 + 2 * button), value);
    EXPECT_EQ(device.handleRequest(write, 0.0), write);

    // Only the device-address row moves the station.
    const std::uint8_t station = button == 6 ? static_cast<std::uint8_t>(value) : 1;
    const Bytes answer = readOne(device, station, 3 + button);
    ASSERT_EQ(answer.size(), 7U);
    EXPECT_EQ(answer[0], station);
    EXPECT_EQ(answer[1], 0x03);
    EXPECT_EQ(answer[2], 0x02);
    EXPECT_EQ(answer[3], value >> 8);
    EXPECT_EQ(answer[4], value & 0xFF);
    EXPECT_TRUE(modbus::crcHolds(answer));
}

INSTANTIATE_TEST_SUITE_P(AllTwelve, ParameterWrite,
                         testing::Values(WriteCase{0, 900}, WriteCase{1, 5}, WriteCase{2, 3},
                                         WriteCase{3, 0xFF9D}, WriteCase{4, 2}, WriteCase{4, 0},
                                         WriteCase{5, 19200}, WriteCase{5, 38400}, WriteCase{6, 17},
                                         WriteCase{6, 250}, WriteCase{7, 40000}, WriteCase{8, 1000},
                                         WriteCase{9, 65535}, WriteCase{10, 10}, WriteCase{11, 5}));

TEST(DeviceModel, SignedValuesAreStoredAsTwosComplement)
{
    sim::DeviceModel device;
    // Calibration -99 is sent as 0xFF9D and reads back as the same two bytes.
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A06, 0xFF9D), 0.0).empty());
    EXPECT_EQ(readOne(device, 1, 6), (Bytes{0x01, 0x03, 0x02, 0xFF, 0x9D, 0x38, 0x1D}));
    // It corrects the measured value: 23.5 - 9.9 = 13.6; the raw voltage is uncorrected.
    EXPECT_EQ(device.registerValue(0, 0.0), 136);
    EXPECT_EQ(device.registerValue(1, 0.0), 1175);
    // -1 is 0xFFFF on the wire.
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A02, 0xFFFF), 0.0).empty());
    EXPECT_EQ(registerOf(readOne(device, 1, 4), 0), 0xFFFF);
}

TEST(DeviceModel, AddressChangeIsAnsweredFromTheOldAddress)
{
    sim::DeviceModel device;
    // Change station 1 to 2: 01 06 0B 00 00 02 0A 2F, answered with its echo.
    const Bytes change{0x01, 0x06, 0x0B, 0x00, 0x00, 0x02, 0x0A, 0x2F};
    EXPECT_EQ(device.handleRequest(change, 0.0), change);
    EXPECT_EQ(device.station(), 2);

    EXPECT_TRUE(device.handleRequest(kRead15Request, 0.0).empty());
    const Bytes answer = device.handleRequest(request(2, 0x03, 0, 15), 0.0);
    ASSERT_EQ(answer.size(), 35U);
    EXPECT_EQ(answer[0], 0x02);
    EXPECT_EQ(registerOf(answer, 9), 2);
    EXPECT_TRUE(modbus::crcHolds(answer));
}

TEST(DeviceModel, AddressRowWriteAlsoMovesTheStation)
{
    sim::DeviceModel device;
    const Bytes write = request(1, 0x06, 0x0A0C, 42);
    EXPECT_EQ(device.handleRequest(write, 0.0), write);
    EXPECT_EQ(device.station(), 42);
    EXPECT_TRUE(readOne(device, 1, 9).empty());
    EXPECT_EQ(registerOf(readOne(device, 42, 9), 0), 42);
}

TEST(DeviceModel, RefusedAddressLeavesTheStation)
{
    sim::DeviceModel device;
    EXPECT_EQ(device.handleRequest(request(1, 0x06, 0x0B00, 300), 0.0), kIllegalValue06);
    EXPECT_EQ(device.station(), 1);
    EXPECT_EQ(registerOf(readOne(device, 1, 9), 0), 1);
}

TEST(DeviceModel, DiscoveryIsAnsweredWithTheOwnAddress)
{
    sim::DeviceModel device;
    ASSERT_TRUE(device.setStation(7));
    EXPECT_EQ(device.handleRequest(kDiscoveryRequest, 0.0),
              (Bytes{0x07, 0x03, 0x02, 0x00, 0xEB, 0x70, 0x0B}));
}

TEST(DeviceModel, Station250IsAnOrdinaryAddressToo)
{
    sim::DeviceModel device;
    ASSERT_TRUE(device.setStation(250));
    const Bytes answer = device.handleRequest(request(250, 0x03, 0, 15), 0.0);
    ASSERT_EQ(answer.size(), 35U);
    EXPECT_EQ(answer[0], 250);
}

TEST(DeviceModel, BroadcastWriteIsCarriedOutSilently)
{
    sim::DeviceModel device;
    EXPECT_TRUE(device.handleRequest(request(0, 0x06, 0x0A00, 321), 0.0).empty());
    EXPECT_EQ(registerOf(readOne(device, 1, 3), 0), 321);
    EXPECT_TRUE(device.handleRequest(request(0, 0x06, 0x0B00, 9), 0.0).empty());
    EXPECT_EQ(device.station(), 9);
    // A refused broadcast is not answered either.
    EXPECT_TRUE(device.handleRequest(request(0, 0x06, 0x0A01, 1), 0.0).empty());
}

TEST(DeviceModel, WrongCrcWriteChangesNothing)
{
    sim::DeviceModel device;
    EXPECT_TRUE(device.handleRequest(withBadCrc(request(1, 0x06, 0x0B00, 5)), 0.0).empty());
    EXPECT_EQ(device.station(), 1);
}

struct AlarmCase
{
    const char *name;
    std::uint16_t high;
    std::uint16_t low;
    std::uint16_t calibration;
    std::uint16_t measured;
    std::uint16_t alarm;
};

void PrintTo(const AlarmCase &c, std::ostream *os)
{
    *os << c.name;
}

class AlarmState : public testing::TestWithParam<AlarmCase>
{
};

TEST_P(AlarmState, ComparesWholeUnitsWithTheLimits)
{
    const AlarmCase &c = GetParam();
    sim::DeviceModel device;
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A00, c.high), 0.0).empty());
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A02, c.low), 0.0).empty());
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A06, c.calibration), 0.0).empty());
    const Bytes answer = device.handleRequest(request(1, 0x03, 0, 3), 0.0);
    ASSERT_EQ(answer.size(), 11U);
    EXPECT_EQ(registerOf(answer, 0), c.measured);
    EXPECT_EQ(registerOf(answer, 2), c.alarm);
}

// At t = 0 the base value is 23.5, that is 23 whole units.
INSTANTIATE_TEST_SUITE_P(
    Limits, AlarmState,
    testing::Values(AlarmCase{"Defaults", 800, 0, 0, 235, 0},
                    AlarmCase{"AboveHigh", 22, 0, 0, 235, 1},
                    AlarmCase{"EqualToHigh", 23, 0, 0, 235, 0},
                    AlarmCase{"BelowLow", 800, 24, 0, 235, 2},
                    AlarmCase{"EqualToLow", 800, 23, 0, 235, 0},
                    AlarmCase{"CalibratedAboveHigh", 23, 0, 5, 240, 1},
                    // -23.6 + 23.5 = -0.1: negative tenths wrap at 65535, -1 whole unit.
                    AlarmCase{"NegativeBelowLow", 800, 0, 0xFF14, 65534, 2},
                    AlarmCase{"NegativeLowLimit", 800, 0xFFFF, 0xFF14, 65534, 0},
                    AlarmCase{"NegativeHighLimit", 0xFFF0, 0xFFE0, 0, 235, 1}),
    [](const testing::TestParamInfo<AlarmCase> &info) { return std::string(info.param.name); });

TEST(DeviceModel, RawVoltageFollowsTheScaling)
{
    sim::DeviceModel device;
    // Display 0..100 on voltage 1000..11000: 23.5 is 1000 + 23.5 * 100.
    for (const auto &[reg, value] : {std::pair{0x0A0E, 11000}, std::pair{0x0A10, 1000},
                                     std::pair{0x0A12, 100}, std::pair{0x0A14, 0}})
        ASSERT_FALSE(device
                         .handleRequest(request(1, 0x06, static_cast<std::uint16_t>(reg),
                                                static_cast<std::uint16_t>(value)),
                                        0.0)
                         .empty());
    EXPECT_EQ(device.registerValue(1, 0.0), 3350);
    // Equal display limits leave nothing to scale: the low voltage.
    ASSERT_FALSE(device.handleRequest(request(1, 0x06, 0x0A12, 0), 0.0).empty());
    EXPECT_EQ(device.registerValue(1, 0.0), 1000);
}

TEST(DeviceModel, IdentificationIsElevenBytes)
{
    sim::DeviceModel device;
    EXPECT_EQ(device.identification(), "RX904-V1.00");
    device.setIdentification("AB");
    EXPECT_EQ(device.identification(), "AB         ");
    device.setIdentification("RX904-V2.10-EXTRA");
    EXPECT_EQ(device.identification(), "RX904-V2.10");
    const Bytes answer = device.handleRequest(kInfoRequest, 0.0);
    ASSERT_EQ(answer.size(), 16U);
    EXPECT_EQ(std::string(answer.begin() + 3, answer.begin() + 14), "RX904-V2.10");
    EXPECT_TRUE(modbus::crcHolds(answer));
}

TEST(DeviceModel, PowerUpRegisters)
{
    sim::DeviceModel device;
    // Register 0 holds the measured value still, in tenths.
    ASSERT_TRUE(device.setRegister(0, 123));
    EXPECT_EQ(device.registerValue(0, 0.0), 123);
    EXPECT_EQ(device.registerValue(0, 15.0), 123);
    ASSERT_TRUE(device.setRegister(0, 65534));
    EXPECT_EQ(device.registerValue(0, 7.0), 65534);
    ASSERT_TRUE(device.setRegister(2, 7));
    EXPECT_EQ(device.registerValue(2, 0.0), 7);
    ASSERT_TRUE(device.setRegister(14, 5));
    EXPECT_EQ(device.registerValue(14, 0.0), 5);
    ASSERT_TRUE(device.setRegister(9, 33));
    EXPECT_EQ(device.station(), 33);
    EXPECT_FALSE(device.setRegister(9, 251));
    EXPECT_FALSE(device.setRegister(9, 0));
    EXPECT_FALSE(device.setRegister(15, 0));
    EXPECT_FALSE(device.setRegister(-1, 0));
    EXPECT_EQ(device.station(), 33);
}

} // namespace
