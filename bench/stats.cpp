#include "stats.h"

#include <algorithm>
#include <cmath>

namespace bench {

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::clamp(p, 0.0, 100.0) / 100.0 * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (rank - static_cast<double>(below));
}

LineFigures lineFigures(const std::vector<long long> &requestNs, double periodMs)
{
    LineFigures figures;
    figures.requests = static_cast<int>(requestNs.size());
    if (requestNs.size() < 2)
        return figures;
    const double spanS = static_cast<double>(requestNs.back() - requestNs.front()) * 1e-9;
    figures.requestsPerSecond = static_cast<double>(requestNs.size() - 1) / spanS;
    figures.meanGapMs = spanS * 1e3 / static_cast<double>(requestNs.size() - 1);
    figures.periodError = (figures.meanGapMs - periodMs) / periodMs;
    std::vector<double> deviations;
    for (std::size_t index = 1; index < requestNs.size(); ++index) {
        const double gapMs = static_cast<double>(requestNs[index] - requestNs[index - 1]) * 1e-6;
        figures.gapsMs.push_back(gapMs);
        figures.gapTimesS.push_back(static_cast<double>(requestNs[index] - requestNs.front()) *
                                    1e-9);
        deviations.push_back(std::abs(gapMs - figures.meanGapMs));
    }
    figures.jitterP50Ms = percentile(deviations, 50);
    figures.jitterP99Ms = percentile(deviations, 99);
    const auto [least, most] = std::minmax_element(figures.gapsMs.begin(), figures.gapsMs.end());
    figures.gapMinMs = *least;
    figures.gapMaxMs = *most;
    return figures;
}

} // namespace bench
