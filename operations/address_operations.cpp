#include "address_operations.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/numeric_text.h"
#include "modbus/register_map.h"
#include "request_sending.h"

namespace ops {
namespace {

struct AddressChange
{
    std::uint8_t source;
    std::uint8_t target;
};

std::optional<AddressChange> checkedAddresses(const Window &w)
{
    const auto source = integerPartOf(w.form, Field::txtSetID0);
    if (!source) {
        w.message(text::kBadSourceAddress);
        return std::nullopt;
    }
    const auto target = integerPartOf(w.form, Field::txtSetID1);
    if (!target) {
        w.message(text::kBadTargetAddress);
        return std::nullopt;
    }
    if (*source == 0 || *target == 0) {
        w.message(text::kAddressZero);
        return std::nullopt;
    }
    if (*target > 250) {
        w.message(text::kAddressAbove250);
        return std::nullopt;
    }
    // Addresses that do not fit the address byte would reach another station.
    if (*source < 0 || *source > 255) {
        w.message(text::kBadSourceAddress);
        return std::nullopt;
    }
    if (*target < 0) {
        w.message(text::kBadTargetAddress);
        return std::nullopt;
    }
    return AddressChange{static_cast<std::uint8_t>(*source), static_cast<std::uint8_t>(*target)};
}

} // namespace

void cmdReadAdd_Click(const Window &w)
{
    auto &vars = w.vars;
    auto &port = w.MSComm1;
    vars.CmdType = modbus::kCmdAddressReadOrWrite;
    w.form.setText(Field::txtState, QString());
    vars.SendText.clear();
    prepareReceive(port);
    modbus::RequestFrame frame{
        modbus::kAddressReadStation, modbus::kFunctionReadHolding, 0, 0, 0, 1, 0, 0};
    completeFrame(vars, frame);
    // The answer to a read of one register: 5 + 2 bytes; wait for all of it.
    vars.RecLength = static_cast<std::int16_t>(modbus::readAnswerLength(1));
    vars.SendText = sentText(frame);
    port.setRThreshold(vars.RecLength);
    w.form.setText(Field::txtCommand, vars.SendText);
    writeIfOpen(w, frame);
}

void cmdChangeID_Click(const Window &w)
{
    const auto addresses = checkedAddresses(w);
    if (!addresses)
        return;
    auto &vars = w.vars;
    auto &port = w.MSComm1;
    vars.SendText.clear();
    vars.CmdType = modbus::kCmdAddressChange;
    w.form.setText(Field::txtState, QString());
    prepareReceive(port);
    modbus::RequestFrame frame{addresses->source,
                               modbus::kFunctionWriteSingle,
                               static_cast<std::uint8_t>(modbus::kAddressRegister >> 8),
                               static_cast<std::uint8_t>(modbus::kAddressRegister & 0xFF),
                               0,
                               addresses->target,
                               0,
                               0};
    completeFrame(vars, frame);
    vars.RecLength = modbus::kWriteAnswerLength;
    vars.SendText = sentText(frame);
    port.setRThreshold(vars.RecLength);
    w.form.setText(Field::txtCommand, vars.SendText);
    writeIfOpen(w, frame);
}

} // namespace ops
