#pragma once
#include "modbus/register_map.h"

#include <string>

namespace values {

// A row's registers as the configuration window and the parameter files show them: the
// register a query reads it from, and for a parameter the register its set button writes,
// "3 / 0x0A00"; a measured value has only the first, "0".
[[nodiscard]] std::string registerText(const modbus::RegisterRow &row);

} // namespace values
