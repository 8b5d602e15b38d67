#pragma once
#include "window.h"

namespace ops {

// "设置" on the row of txtValue(index + 3): writes that value to register
// 0x0A00 + 2 * index with function 06 to the station in txtStationID.
void cmdSet_Click(const Window &w, int Index);

// Esc in txtValue(Index): a typed value still waiting to be written gives way to the value
// the device last gave.
void valueField_Escape(const Window &w, int Index);

} // namespace ops
