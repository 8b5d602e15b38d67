#pragma once

namespace serial {

// CommEvent codes. 2 (data received) and the error codes follow the classic serial
// communications control, so handlers written against it read the same numbers.
inline constexpr int kComEvReceive = 2;
inline constexpr int kComEventBreak = 1001;
inline constexpr int kComEventFrame = 1004;
inline constexpr int kComEventOverrun = 1006;
inline constexpr int kComEventRxOver = 1008;
inline constexpr int kComEventRxParity = 1009;
// The port went away while open (USB adapter unplugged, pseudo-terminal closed).
inline constexpr int kComEventPortLost = 1100;

inline constexpr int kInputModeText = 0;
inline constexpr int kInputModeBinary = 1;

} // namespace serial
