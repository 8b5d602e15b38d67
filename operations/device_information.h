#pragma once
#include "window.h"

namespace ops {

// "读设备信息": function 0x26 to the station in txtStationID; the 16-byte answer carries
// the device's 11-character identification.
void Command2_Click(const Window &w);

} // namespace ops
