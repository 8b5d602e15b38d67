#pragma once
#include "window.h"

namespace ops {

// "读地址": a read of register 0 sent to station 250, which every RX904 answers with its
// own address in byte 0.
void cmdReadAdd_Click(const Window &w);
// "执行": writes the target address from txtSetID(1) into register 0x0B00 of the station
// in txtSetID(0).
void cmdChangeID_Click(const Window &w);

} // namespace ops
