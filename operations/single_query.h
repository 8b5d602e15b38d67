#pragma once
#include "window.h"

namespace ops {

// "单次": checks the four MODBUS fields, counts the query and writes the read request,
// arming the receive event for the whole answer.
void comDoOnce_Click(const Window &w);

} // namespace ops
