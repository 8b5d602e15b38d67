#pragma once
#include <chrono>

namespace modbus {

// One character on the line: start bit, data bits, parity bit and stop bits, counted in half
// bits for 1.5 stop bits. The tool's lines are 8N1: 10 bits, 20 half bits.
inline constexpr int kHalfBits8N1 = 20;

// 9600 baud 8N1: 10 / 9600 s = 1.0417 ms.
[[nodiscard]] std::chrono::nanoseconds characterTime(int baud, int halfBits = kHalfBits8N1);

// The silence that ends an RTU frame: 3.5 characters, but a fixed 1.75 ms above 19200 baud
// (9600 baud 8N1: 3.5 * 1.0417 ms = 3.646 ms).
[[nodiscard]] std::chrono::nanoseconds frameSilence(int baud, int halfBits = kHalfBits8N1);

} // namespace modbus
