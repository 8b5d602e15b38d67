#pragma once
#include "window.h"

namespace ops {

// Every serial-port event: counts it, and for received data shows the bytes and decodes
// them by the kind of the last request sent. Nothing is checked or reported.
void MSComm1_OnComm(const Window &w);

} // namespace ops
