#pragma once
#include "window.h"

namespace ops {

// The start-up sequence: speed list, default texts, serial-port configuration, then
// 9600 baud and COM1 chosen as the operator would, counters at 1.
void Form_Load(const Window &w);

} // namespace ops
