#pragma once
// The COM ports tests/windows/with-com-ports.sh gives a test under wine: wine's port registry
// maps each to the pseudo-terminal of a rx904-sim started for it.
//   COM1  a device answering at once, register 0 = 235
//   COM2  a device writing its answers one byte at a time (--fault split)
//   COM3  a device that closes its terminal after two answers
#include "support/wait_until.h"

namespace winetest {

inline constexpr const char *kAnswering = "COM1";
inline constexpr const char *kInPieces = "COM2";
inline constexpr const char *kClosing = "COM3";
// Nothing maps it: wine names COM ports only for the serial devices it finds and the
// registry's entries.
inline constexpr const char *kAbsent = "COM24";

using testing_support::kPatienceMs;
using testing_support::waitUntil;

} // namespace winetest
