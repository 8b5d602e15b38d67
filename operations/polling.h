#pragma once
#include "window.h"

namespace ops {

// "循环": restarts both counters, then starts the timer at the period in txtTimerSet
// (50..60000 ms by integer part, set from the rounded value).
void cmdOneM_Click(const Window &w);
// "停止": stops the timer and nothing else, so an answer on its way is still decoded.
void cmdStopOnce_Click(const Window &w);
// One tick: repairs the register count, wraps the sent counter, queries while CommReady.
void Timer2_Timer(const Window &w);

} // namespace ops
