#pragma once
#include "modbus/register_map.h"
#include "window.h"

#include <cstdint>
#include <variant>

namespace ops {

// The register value a set button writes for a number typed into its row, or the message
// (one of text::) that refuses it. The window's set buttons and the parameter files of the
// configuration window both go by this one rule.
[[nodiscard]] std::variant<std::uint16_t, const char *>
parameterRegisterValue(const modbus::RegisterRow &row, double number);

// "设置" on the row of txtValue(index + 3): writes that value to register
// 0x0A00 + 2 * index with function 06 to the station in txtStationID.
void cmdSet_Click(const Window &w, int Index);

} // namespace ops
