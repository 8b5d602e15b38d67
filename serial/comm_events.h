#pragma once

namespace serial {

// CommEvent codes. 2 (data received) and the error codes follow the classic serial
// communications control, so handlers written against it read the same numbers.
inline constexpr int kComEvReceive = 2;
inline constexpr int kComEventRxOver = 1008;
// The port went away while open (USB adapter unplugged, pseudo-terminal closed).
inline constexpr int kComEventPortLost = 1100;

inline constexpr int kInputModeText = 0;
inline constexpr int kInputModeBinary = 1;

} // namespace serial
