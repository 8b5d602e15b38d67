#include "modbus/frame_timing.h"

#include <gtest/gtest.h>

namespace {

struct LineTiming
{
    int baud;
    int halfBits;
    long long characterNs;
    long long silenceNs;
};

class FrameTiming : public ::testing::TestWithParam<LineTiming>
{
};

// Start bit, data bits, parity bit and stop bits at the speed; the frame gap is 3.5
// characters, fixed at 1.75 ms above 19200 baud.
TEST_P(FrameTiming, CharacterAndFrameGap)
{
    const LineTiming &line = GetParam();
    EXPECT_EQ(modbus::characterTime(line.baud, line.halfBits).count(), line.characterNs);
    EXPECT_EQ(modbus::frameSilence(line.baud, line.halfBits).count(), line.silenceNs);
}

INSTANTIATE_TEST_SUITE_P(Speeds, FrameTiming,
                         ::testing::Values(LineTiming{9600, 20, 1041666, 3645831},  // 8N1
                                           LineTiming{2400, 20, 4166666, 14583331}, // 8N1
                                           LineTiming{19200, 20, 520833, 1822915},  // 8N1
                                           LineTiming{19201, 20, 520806, 1750000},  // 8N1
                                           LineTiming{38400, 20, 260416, 1750000},  // 8N1
                                           LineTiming{9600, 22, 1145833, 4010415},  // 8E1
                                           LineTiming{4800, 17, 1770833, 6197915},  // 5O1.5
                                           LineTiming{1200, 20, 8333333, 29166665}, // 7N2
                                           LineTiming{0, 20, 0, 0}));

} // namespace
