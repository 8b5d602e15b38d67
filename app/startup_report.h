#pragma once
#include "frm_main.h"
#include "serial/serial_control.h"

namespace app {

// For the benchmark's start-up figure and the installed package's check: with
// RX904_REPORT_STARTUP set in the environment, once the window has been exposed and painted
// for the first time, prints
//   shown MONOTONIC_NS port-open 0|1
// on standard output (CLOCK_MONOTONIC, comparable with a stamp taken before the process was
// started) and quits. With RX904_REPORT_STARTUP=query it first presses "单次" as an operator
// would and prints
//   answered 0|1
// once the answer has lit the green lamp (1), or after 5 s without it (0). Without the
// variable it does nothing.
void reportStartupWhenShown(frmMain &window, serial::SerialControl &MSComm1);

} // namespace app
