#include "parameter_write.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"
#include "request_sending.h"
#include "values/messages.h"
#include "values/parameter_value.h"

#include <variant>

namespace ops {

namespace {

// The register value for the row, or nothing after telling the operator why not.
std::optional<std::uint16_t> registerValue(const Window &w, const modbus::RegisterRow &row)
{
    const auto number = numberIn(w.form, valueField(row.field));
    if (!number) {
        w.message(values::text::kBadValue);
        return std::nullopt;
    }
    const auto value = values::parameterRegisterValue(row, *number);
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
    if (w.MSComm1.portOpen())
        w.form.setAwaitsWrite(valueField(row.field), false);
}

void valueField_Escape(const Window &w, int Index)
{
    if (Index < 0 || Index >= modbus::kValueFieldCount)
        return;
    const Field field = valueField(Index);
    if (!w.form.awaitsWrite(field))
        return;
    w.form.setAwaitsWrite(field, false);
    const QString &device = w.vars.DeviceText[static_cast<std::size_t>(Index)];
    if (!device.isEmpty())
        w.form.setText(field, device);
}

} // namespace ops
