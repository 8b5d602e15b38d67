#pragma once
#include "window.h"

namespace ops {

// Every serial-port event: counts it, and for received data shows the bytes and decodes
// them by the kind of the last request sent. An answer the exchange judge finds corrupt is
// shown but neither counted nor decoded; a refusal is shown, decodes nothing, and is named
// in a message when a button sent the request. Both light the red lamp.
void MSComm1_OnComm(const Window &w);

} // namespace ops
