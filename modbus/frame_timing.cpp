#include "frame_timing.h"

#include <cstdint>

namespace modbus {

std::chrono::nanoseconds characterTime(int baud, int halfBits)
{
    constexpr std::int64_t kHalfBitNanoseconds = 500'000'000;
    if (baud <= 0)
        return std::chrono::nanoseconds::zero();
    return std::chrono::nanoseconds(halfBits * kHalfBitNanoseconds / baud);
}

std::chrono::nanoseconds frameSilence(int baud, int halfBits)
{
    if (baud > 19200)
        return std::chrono::microseconds(1750);
    return characterTime(baud, halfBits) * 7 / 2;
}

} // namespace modbus
