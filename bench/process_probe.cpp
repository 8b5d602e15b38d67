#include "process_probe.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <time.h>

namespace bench {

long long monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

double selfCpuSeconds()
{
    // The kernel scales the tick-sampled split between user and system to the precise
    // run time, so the sum is exact to the microsecond.
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::optional<double> processCpuSeconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *directory = ::opendir(tasks.c_str());
    if (directory == nullptr)
        return std::nullopt;
    long long total = 0;
    bool any = false;
    while (const dirent *entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        long long runNs = 0;
        if (schedstat >> runNs) {
            total += runNs;
            any = true;
        }
    }
    ::closedir(directory);
    if (!any)
        return std::nullopt;
    return static_cast<double>(total) * 1e-9;
}

Memory selfMemory()
{
    Memory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string name;
        double kib = 0.0;
        fields >> name >> kib;
        if (name == "VmRSS:")
            memory.residentMb = kib / 1024.0;
        else if (name == "VmHWM:")
            memory.peakMb = kib / 1024.0;
    }
    return memory;
}

MachineTimes machineTimes()
{
    // "cpu  user nice system idle iowait irq softirq steal guest guest_nice"
    std::ifstream file("/proc/stat");
    std::string name;
    long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    file >> name >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    MachineTimes times;
    times.busy = user + nice + system + irq + softirq + steal;
    times.total = times.busy + idle + iowait;
    return times;
}

double busyShare(const MachineTimes &from, const MachineTimes &to)
{
    const long long total = to.total - from.total;
    return total > 0 ? static_cast<double>(to.busy - from.busy) / static_cast<double>(total) : 0.0;
}

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace bench
