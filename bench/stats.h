#pragma once
#include <vector>

namespace bench {

// The p-th percentile (0..100) by linear interpolation between the nearest ranks; 0 for no
// values.
[[nodiscard]] double percentile(std::vector<double> values, double p);

// The line as the device sees it: requests and the gaps between them.
struct LineFigures
{
    int requests = 0;
    double requestsPerSecond = 0.0;
    double meanGapMs = 0.0;
    // (mean gap - set period) / set period.
    double periodError = 0.0;
    // |gap - mean gap|, over every gap.
    double jitterP50Ms = 0.0;
    double jitterP99Ms = 0.0;
    double gapMinMs = 0.0;
    double gapMaxMs = 0.0;
    std::vector<double> gapsMs;
    std::vector<double> gapTimesS; // when each gap ended, from the first request
};

[[nodiscard]] LineFigures lineFigures(const std::vector<long long> &requestNs, double periodMs);

} // namespace bench
