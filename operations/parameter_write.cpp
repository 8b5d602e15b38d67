#include "parameter_write.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"
#include "numeric_text.h"
#include "request_sending.h"

#include <algorithm>

namespace ops {

std::variant<std::uint16_t, const char *> parameterRegisterValue(const modbus::RegisterRow &row,
                                                                 double number)
{
    // The device takes the value as typed into a single-precision number.
    float v = static_cast<float>(number);
    if (row.twosComplement && v < 0)
        v += 65536.0F;
    if (row.check == modbus::WriteCheck::ControlMode && v > 2)
        return text::kControlModeRange;
    if (row.check == modbus::WriteCheck::BaudRate &&
        std::find(modbus::kBaudRates.begin(), modbus::kBaudRates.end(), v) ==
            modbus::kBaudRates.end())
        return text::kBaudRateValues;
    const double rounded = roundHalfEven(static_cast<double>(v));
    if (!(rounded >= 0 && rounded <= 65535)) {
        if (row.check == modbus::WriteCheck::ControlMode)
            return text::kControlModeRange;
        return row.twosComplement ? text::kSignedRegisterRange : text::kRegisterRange;
    }
    return static_cast<std::uint16_t>(rounded);
}

namespace {

// The register value for the row, or nothing after telling the operator why not.
std::optional<std::uint16_t> registerValue(const Window &w, const modbus::RegisterRow &row)
{
    const auto number = numberIn(w.form, valueField(row.field));
    if (!number) {
        w.message(text::kBadValue);
        return std::nullopt;
    }
    const auto value = parameterRegisterValue(row, *number);
    if (const auto *refusal = std::get_if<const char *>(&value)) {
        w.message(*refusal);
        return std::nullopt;
    }
    return std::get<std::uint16_t>(value);
}

} // namespace

void cmdSet_Click(const Window &w, int Index)
{
    if (Index < 0 || Index >= modbus::kSetButtonCount)
        return;
    const modbus::RegisterRow &row = modbus::rowOfSetButton(Index);
    const auto value = registerValue(w, row);
    if (!value)
        return;
    const auto station = roundedStation(w.form, Field::txtStationID);
    if (!station) {
        w.message(text::kBadStation);
        return;
    }

    beginRequest(w, modbus::kCmdAddressReadOrWrite);
    // The device echoes the whole 8-byte request; wait for all of it.
    sendRequest(w, modbus::writeRequest(*station, row.writeRegister, *value));
}

} // namespace ops
