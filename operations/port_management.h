#pragma once
#include "window.h"

namespace ops {

// An entry of the port list was chosen (by the operator or by the start-up sequence).
// Failures are passed over silently.
void Combo1_Click(const Window &w);
// An entry of the speed list was chosen.
void Combo2_Click(const Window &w);
// "打开串口": (re)opens the port last applied; reports a failure with its cause below.
void cmdCom_Click(const Window &w);
// "关闭串口".
void Command1_Click(const Window &w);

// Receive events for every byte, binary input.
void OpenOnComm(CommControl &port);

// "9600,N,8,1": the line is always no parity, 8 data bits, 1 stop bit.
[[nodiscard]] QString settingsText(std::int32_t baud);

} // namespace ops
