#pragma once
#include "form.h"

#include <array>
#include <optional>

namespace ops {

// Values for txtValue(3) .. txtValue(13), the rows of cmdSet(0) .. cmdSet(10).
inline constexpr int kPresetFields = 11;
using Preset = std::array<int, kPresetFields>;

// The preset of a button, or nothing for the pH controller, which has none.
[[nodiscard]] std::optional<Preset> presetOf(int Index);

// Fills the parameter fields from a preset; sends nothing.
void cmdDefaultSet_Click(Form &form, int Index);

} // namespace ops
