#include "device_model.h"

#include "modbus/crc16.h"
#include "modbus/exchange_judge.h"
#include "modbus/register_map.h"
#include "modbus/request_frame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

std::uint16_t wordAt(std::span<const std::uint8_t> frame, std::size_t index)
{
    return static_cast<std::uint16_t>((frame[index] << 8) | frame[index + 1]);
}

void appendWord(std::vector<std::uint8_t> &bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// The tool's reading of a measured-value register: above 20000 is negative, minus 65535.
int tenthsFromRaw(std::uint16_t raw)
{
    return raw > 20000 ? raw - 65535 : raw;
}

std::uint16_t rawFromTenths(int tenths)
{
    return static_cast<std::uint16_t>(tenths < 0 ? 65535 + tenths : tenths);
}

const modbus::RegisterRow *rowWrittenAt(std::uint16_t address)
{
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        if (row.setButton >= 0 && row.writeRegister == address)
            return &row;
    }
    return nullptr;
}

bool validStation(int address)
{
    return address >= kMinStation && address <= kMaxStation;
}

// The device refuses what the tool's own checks refuse, and addresses outside 1..250.
bool acceptedValue(const modbus::RegisterRow &row, std::uint16_t value)
{
    if (row.readRegister == kStationRegister)
        return validStation(value);
    switch (row.check) {
    case modbus::WriteCheck::ControlMode:
        return value <= 2;
    case modbus::WriteCheck::BaudRate:
        return std::ranges::find(modbus::kBaudRates, static_cast<int>(value)) !=
               modbus::kBaudRates.end();
    case modbus::WriteCheck::None:
        break;
    }
    return true;
}

} // namespace

DeviceModel::DeviceModel() : m_identification(kDefaultIdentification)
{
    std::ranges::copy(kDefaultParameters, m_registers.begin() + kAlarmHighRegister);
    m_registers[kStationRegister] = m_station;
}

bool DeviceModel::setStation(int address)
{
    if (!validStation(address))
        return false;
    m_station = static_cast<std::uint8_t>(address);
    m_registers[kStationRegister] = m_station;
    return true;
}

void DeviceModel::setIdentification(std::string_view text)
{
    m_identification.assign(text.substr(0, modbus::kDeviceInfoLength));
    m_identification.resize(modbus::kDeviceInfoLength, ' ');
}

bool DeviceModel::setRegister(int index, std::uint16_t value)
{
    switch (index) {
    case kMeasuredRegister:
        m_measuredPinned = true;
        m_pinnedTenths = tenthsFromRaw(value);
        return true;
    case kRawVoltageRegister:
        m_rawPinned = true;
        break;
    case kAlarmRegister:
        m_alarmPinned = true;
        break;
    case kStationRegister:
        return setStation(value);
    default:
        if (index < 0 || index >= kRegisterCount)
            return false;
        break;
    }
    m_registers[static_cast<std::size_t>(index)] = value;
    return true;
}

int DeviceModel::baseTenths(double nowSeconds) const
{
    if (m_measuredPinned)
        return m_pinnedTenths;
    const double phase = 2.0 * std::numbers::pi * nowSeconds / kMeasuredPeriodSeconds;
    return kMeasuredCentreTenths +
           static_cast<int>(std::lround(kMeasuredAmplitudeTenths * std::sin(phase)));
}

int DeviceModel::measuredTenths(double nowSeconds) const
{
    return baseTenths(nowSeconds) + static_cast<std::int16_t>(m_registers[kCalibrationRegister]);
}

std::uint16_t DeviceModel::registerValue(int index, double nowSeconds) const
{
    const auto stored = m_registers.at(static_cast<std::size_t>(index));
    switch (index) {
    case kMeasuredRegister:
        return rawFromTenths(measuredTenths(nowSeconds));
    case kRawVoltageRegister: {
        if (m_rawPinned)
            return stored;
        const double voltageHigh = m_registers[kVoltageHighRegister];
        const double voltageLow = m_registers[kVoltageLowRegister];
        const double displayHigh = m_registers[kDisplayHighRegister];
        const double displayLow = m_registers[kDisplayLowRegister];
        if (displayHigh == displayLow)
            return static_cast<std::uint16_t>(voltageLow);
        const double units = baseTenths(nowSeconds) / 10.0;
        const double raw = voltageLow + (units - displayLow) * (voltageHigh - voltageLow) /
                                            (displayHigh - displayLow);
        return static_cast<std::uint16_t>(std::clamp(std::lround(raw), 0L, 65535L));
    }
    case kAlarmRegister: {
        if (m_alarmPinned)
            return stored;
        const int tenths = measuredTenths(nowSeconds);
        // Whole units, rounded down: 23.9 is 23, -0.1 is -1.
        const int units = (tenths >= 0) ? tenths / 10 : -((-tenths + 9) / 10);
        if (units > static_cast<std::int16_t>(m_registers[kAlarmHighRegister]))
            return 1;
        if (units < static_cast<std::int16_t>(m_registers[kAlarmLowRegister]))
            return 2;
        return 0;
    }
    default:
        return stored;
    }
}

std::vector<std::uint8_t> DeviceModel::handleRequest(std::span<const std::uint8_t> frame,
                                                     double nowSeconds)
{
    if (!modbus::crcHolds(frame))
        return {};
    const std::uint8_t addressed = frame[0];
    if (addressed == kBroadcastStation) {
        // Broadcast writes are carried out; nobody answers a broadcast.
        if (frame[1] == modbus::kFunctionWriteSingle)
            (void)answerFor(frame, nowSeconds);
        return {};
    }
    if (addressed == m_station)
        return answerFor(frame, nowSeconds);
    // Address discovery: every device answers a read of register 0, count 1, sent to
    // station 250, and puts its own address into byte 0.
    if (addressed == modbus::kAddressReadStation && frame.size() == modbus::kRequestLength &&
        frame[1] == modbus::kFunctionReadHolding && wordAt(frame, 2) == 0 && wordAt(frame, 4) == 1)
        return readRegisters(frame, nowSeconds);
    return {};
}

std::vector<std::uint8_t> DeviceModel::answerFor(std::span<const std::uint8_t> frame,
                                                 double nowSeconds)
{
    const std::uint8_t function = frame[1];
    const bool known = function == modbus::kFunctionReadHolding ||
                       function == modbus::kFunctionWriteSingle ||
                       function == modbus::kFunctionDeviceInfo;
    if (!known)
        return exception(function, ExceptionCode::IllegalFunction);
    // All three requests are station, function, two words and the CRC.
    if (frame.size() != modbus::kRequestLength)
        return exception(function, ExceptionCode::IllegalDataValue);
    // The echo of a write repeats the request, so an address change is answered from the
    // old address; the new one is in force from the next request on.
    if (function == modbus::kFunctionWriteSingle)
        return writeRegister(frame);
    if (function == modbus::kFunctionReadHolding)
        return readRegisters(frame, nowSeconds);
    return deviceInformation();
}

std::vector<std::uint8_t> DeviceModel::readRegisters(std::span<const std::uint8_t> frame,
                                                     double nowSeconds) const
{
    const int start = wordAt(frame, 2);
    const int count = wordAt(frame, 4);
    if (count < 1 || count > kMaxReadCount)
        return exception(frame[1], ExceptionCode::IllegalDataValue);
    if (start + count > kRegisterCount)
        return exception(frame[1], ExceptionCode::IllegalDataAddress);
    std::vector<std::uint8_t> answer{m_station, modbus::kFunctionReadHolding,
                                     static_cast<std::uint8_t>(2 * count)};
    for (int index = start; index < start + count; ++index)
        appendWord(answer, registerValue(index, nowSeconds));
    modbus::appendCrc(answer);
    return answer;
}

std::vector<std::uint8_t> DeviceModel::writeRegister(std::span<const std::uint8_t> frame)
{
    const std::uint16_t address = wordAt(frame, 2);
    const std::uint16_t value = wordAt(frame, 4);
    const std::vector<std::uint8_t> echo(frame.begin(), frame.end());
    if (m_refusedWrite == address)
        return exception(frame[1], ExceptionCode::DeviceFailure);
    if (address == modbus::kAddressRegister) {
        if (!setStation(value))
            return exception(frame[1], ExceptionCode::IllegalDataValue);
        return echo;
    }
    const modbus::RegisterRow *row = rowWrittenAt(address);
    if (row == nullptr)
        return exception(frame[1], ExceptionCode::IllegalDataAddress);
    if (!acceptedValue(*row, value))
        return exception(frame[1], ExceptionCode::IllegalDataValue);
    if (row->readRegister == kStationRegister)
        setStation(value);
    else
        m_registers[static_cast<std::size_t>(row->readRegister)] = value;
    return echo;
}

std::vector<std::uint8_t> DeviceModel::deviceInformation() const
{
    std::vector<std::uint8_t> answer{m_station, modbus::kFunctionDeviceInfo,
                                     static_cast<std::uint8_t>(modbus::kDeviceInfoLength)};
    for (const char c : m_identification)
        answer.push_back(static_cast<std::uint8_t>(c));
    modbus::appendCrc(answer);
    return answer;
}

std::vector<std::uint8_t> DeviceModel::exception(std::uint8_t function, ExceptionCode code) const
{
    std::vector<std::uint8_t> answer{m_station, static_cast<std::uint8_t>(function | 0x80),
                                     static_cast<std::uint8_t>(code)};
    modbus::appendCrc(answer);
    return answer;
}

} // namespace sim
