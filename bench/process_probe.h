#pragma once
#include <optional>
#include <string>
#include <sys/types.h>

namespace bench {

// Nanoseconds on CLOCK_MONOTONIC, the clock of rx904-sim's log.
[[nodiscard]] long long monotonicNs();

// CPU time (user and system, all threads) this process has used, in seconds.
[[nodiscard]] double selfCpuSeconds();

// CPU time another process has used, summed over its threads from
// /proc/PID/task/*/schedstat (nanosecond resolution); nothing once it has gone.
[[nodiscard]] std::optional<double> processCpuSeconds(pid_t pid);

// Resident memory of this process in MiB: now (VmRSS) and its peak so far (VmHWM).
struct Memory
{
    double residentMb = 0.0;
    double peakMb = 0.0;
};
[[nodiscard]] Memory selfMemory();

// The three load averages of /proc/loadavg, e.g. "1.52 1.80 1.33".
[[nodiscard]] std::string loadAverage();

// The machine's CPU time counters from /proc/stat, all cores together, in clock ticks.
struct MachineTimes
{
    long long busy = 0;
    long long total = 0;
};
[[nodiscard]] MachineTimes machineTimes();
// The share of all cores that every process together kept busy between two readings.
[[nodiscard]] double busyShare(const MachineTimes &from, const MachineTimes &to);

} // namespace bench
