#pragma once
#include "modbus/register_map.h"

#include <cstdint>
#include <variant>

namespace values {

// The register value a set button writes for a number typed into its row, or the message
// (one of text::) that refuses it. The window's set buttons and the parameter files of the
// configuration window both go by this one rule.
[[nodiscard]] std::variant<std::uint16_t, const char *>
parameterRegisterValue(const modbus::RegisterRow &row, double number);

} // namespace values
