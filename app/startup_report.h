#pragma once
#include <QWidget>

#include <functional>

namespace app {

// For the benchmark's start-up figure: with RX904_REPORT_STARTUP set in the environment,
// once the window has been exposed and painted for the first time, prints
//   shown MONOTONIC_NS port-open 0|1
// on standard output (CLOCK_MONOTONIC, comparable with a stamp taken before the process was
// started) and quits. Without the variable it does nothing.
void reportStartupWhenShown(QWidget &window, std::function<bool()> portOpen);

} // namespace app
