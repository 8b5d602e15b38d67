#include "address_operations.h"

#include "field_values.h"
#include "messages.h"
#include "modbus/answer_decoder.h"
#include "modbus/register_map.h"
#include "request_sending.h"
#include "values/messages.h"

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
        w.message(values::text::kAddressZero);
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
    beginRequest(w, modbus::kCmdAddressReadOrWrite);
    sendRequest(w, modbus::readRequest(modbus::kAddressReadStation, 0, 1));
}

void cmdChangeID_Click(const Window &w)
{
    const auto addresses = checkedAddresses(w);
    if (!addresses)
        return;
    beginRequest(w, modbus::kCmdAddressChange);
    sendRequest(
        w, modbus::writeRequest(addresses->source, modbus::kAddressRegister, addresses->target));
}

} // namespace ops
