#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr int kRegisterCount = 15;
inline constexpr int kMeasuredRegister = 0;
inline constexpr int kRawVoltageRegister = 1;
inline constexpr int kAlarmRegister = 2;
inline constexpr int kAlarmHighRegister = 3;
inline constexpr int kAlarmLowRegister = 4;
inline constexpr int kCalibrationRegister = 6;
inline constexpr int kBaudRegister = 8;
inline constexpr int kStationRegister = 9;
inline constexpr int kVoltageHighRegister = 10;
inline constexpr int kVoltageLowRegister = 11;
inline constexpr int kDisplayHighRegister = 12;
inline constexpr int kDisplayLowRegister = 13;

inline constexpr std::uint8_t kBroadcastStation = 0;
inline constexpr int kMinStation = 1;
// The tool lets the operator give addresses up to 250, the discovery station included.
inline constexpr int kMaxStation = 250;
// Modbus allows at most 125 registers in one function 03 read.
inline constexpr int kMaxReadCount = 125;

inline constexpr std::string_view kDefaultIdentification = "RX904-V1.00";

// Values of registers 3..14 after power-up; register 9 is the station address.
inline constexpr std::array<std::uint16_t, 12> kDefaultParameters{800, 0,     0, 0,    1, 9600,
                                                                  1,   50000, 0, 1000, 0, 2};

// The measured value drifts as a sine of this period and amplitude around its centre, in
// tenths, so that a poll shows movement and a test can predict every value.
inline constexpr int kMeasuredCentreTenths = 235;
inline constexpr int kMeasuredAmplitudeTenths = 15;
inline constexpr double kMeasuredPeriodSeconds = 60.0;

enum class ExceptionCode : std::uint8_t {
    IllegalFunction = 0x01,
    IllegalDataAddress = 0x02,
    IllegalDataValue = 0x03,
    DeviceFailure = 0x04,
};

// The RX904 as seen from the bus: registers, station address and identification, with no
// I/O. Every answer is computed from the request and the clock value passed in.
//
// Registers 0..2 are computed at each read:
//   0 measured value in tenths: the drifting base value plus the calibration (register 6,
//     signed); a negative value wraps at 65535 as the tool reads it (-0.1 is 65534).
//   1 raw voltage: the base value (calibration not applied) mapped from the display range
//     (registers 13..12) onto the voltage range (registers 11..10), clamped to 0..65535.
//   2 alarm state: the measured value in whole units (rounded down) compared with the alarm
//     limits (registers 3 high, 4 low, signed): 1 above the high limit, 2 below the low
//     limit, 0 otherwise. There is no hysteresis: register 5 is stored only.
class DeviceModel
{
public:
    DeviceModel();

    [[nodiscard]] std::uint8_t station() const { return m_station; }
    // 1..250; register 9 follows. false leaves the address unchanged.
    bool setStation(int address);

    [[nodiscard]] const std::string &identification() const { return m_identification; }
    // Stored as its first 11 bytes, blank-padded when shorter.
    void setIdentification(std::string_view text);

    // Power-up value of a register. Register 0 then holds the base measured value still
    // (tenths, above 20000 counting as value - 65535), registers 1 and 2 read exactly as
    // given, register 9 sets the station (1..250). false for an index or address out of range.
    bool setRegister(int index, std::uint16_t value);

    // The register as a read at nowSeconds returns it; index 0..14.
    [[nodiscard]] std::uint16_t registerValue(int index, double nowSeconds) const;

    // Answer bytes to one received frame (CRC included), empty when the device stays
    // silent: wrong CRC, too short, another station, or a broadcast.
    [[nodiscard]] std::vector<std::uint8_t> handleRequest(std::span<const std::uint8_t> frame,
                                                          double nowSeconds);

    // Writes to this register address are refused with exception 04, as a device whose
    // parameter memory has failed does; nothing is stored.
    void refuseWritesTo(std::uint16_t address) { m_refusedWrite = address; }

    // The base measured value in tenths before calibration.
    [[nodiscard]] int baseTenths(double nowSeconds) const;

private:
    // The answer to a frame for this station (or a broadcast, whose answer is dropped).
    [[nodiscard]] std::vector<std::uint8_t> answerFor(std::span<const std::uint8_t> frame,
                                                      double nowSeconds);
    [[nodiscard]] std::vector<std::uint8_t> readRegisters(std::span<const std::uint8_t> frame,
                                                          double nowSeconds) const;
    [[nodiscard]] std::vector<std::uint8_t> writeRegister(std::span<const std::uint8_t> frame);
    [[nodiscard]] std::vector<std::uint8_t> deviceInformation() const;
    [[nodiscard]] std::vector<std::uint8_t> exception(std::uint8_t function,
                                                      ExceptionCode code) const;
    [[nodiscard]] int measuredTenths(double nowSeconds) const;

    std::array<std::uint16_t, kRegisterCount> m_registers{};
    bool m_measuredPinned = false;
    int m_pinnedTenths = 0;
    bool m_rawPinned = false;
    bool m_alarmPinned = false;
    std::uint8_t m_station = 1;
    std::string m_identification;
    std::optional<std::uint16_t> m_refusedWrite;
};

} // namespace sim
