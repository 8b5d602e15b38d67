// rx904ctl-bench: the command-line tool against rx904-sim with wire timing. Prints one table
// (Markdown): a read from start to exit beside the exchange's time on the line and the start-up
// alone; watch --period 50 as the device sees it, with answers lost and CPU; and load onto
// eight devices at once beside one. See docs/performance.md.
#include "modbus/frame_timing.h"
#include "modbus/request_frame.h"
#include "process_probe.h"
#include "sim/sim_process.h"
#include "sim_log.h"
#include "stats.h"
#include "support/child_process.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;
namespace fs = std::filesystem;

constexpr int kPatienceMs = 120000;

struct Options
{
    int readRuns = 30;
    double watchSeconds = 60.0;
    int loadRuns = 5;
    int devices = 8;
};

struct Run
{
    int status = -1;
    double seconds = 0.0;
    std::string output;
};

// One run of rx904ctl from spawn to exit; its output kept in a file of the work folder.
Run runCtl(const fs::path &work, const std::vector<std::string> &arguments)
{
    testing_support::ChildProcess child;
    testing_support::ChildProcess::Launch launch;
    launch.arguments = {RX904CTL_PATH};
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.stdoutFile = (work / "ctl.out").string();
    launch.quietStderr = true;
    std::string error;
    Run run;
    if (!child.start(launch, error)) {
        std::fprintf(stderr, "rx904ctl-bench: %s\n", error.c_str());
        return run;
    }
    run.status = child.wait(kPatienceMs).value_or(-1);
    run.seconds = static_cast<double>(monotonicNs() - child.startedNs()) * 1e-9;
    std::ifstream file(launch.stdoutFile);
    run.output.assign(std::istreambuf_iterator<char>(file), {});
    return run;
}

// A simulated device with wire timing and a log of its own.
struct Device
{
    simtest::SimProcess sim;
    std::string log;

    bool start(const fs::path &work, int baud, const std::vector<std::string> &extra = {})
    {
        static int count = 0;
        log = (work / ("sim" + std::to_string(++count) + ".log")).string();
        std::vector<std::string> arguments{"--baud", std::to_string(baud), "--wire-timing", "--log",
                                           log};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::string error;
        if (!sim.start(arguments, error)) {
            std::fprintf(stderr, "rx904ctl-bench: %s\n", error.c_str());
            return false;
        }
        return true;
    }
    // Stops the device, which writes out its log, and reads the log.
    std::optional<SimLog> stop()
    {
        sim.signal(SIGTERM);
        (void)sim.waitForExit();
        std::string error;
        return readSimLog(log, error);
    }
};

double median(std::vector<double> values)
{
    return percentile(std::move(values), 50);
}

int countOf(const std::string &text, std::string_view needle)
{
    int count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

void readRows(const fs::path &work, const Options &options)
{
    std::vector<double> startup;
    for (int k = 0; k < options.readRuns; ++k)
        startup.push_back(runCtl(work, {"--version"}).seconds * 1e3);

    Device device;
    if (!device.start(work, 38400))
        return;
    std::vector<double> reads;
    int failed = 0;
    for (int k = 0; k < options.readRuns; ++k) {
        const Run run = runCtl(work, {"--port", device.sim.path(), "--baud", "38400", "read"});
        failed += run.status != 0;
        reads.push_back(run.seconds * 1e3);
    }
    const std::optional<SimLog> log = device.stop();
    // The device's view of each exchange: the request read to the answer's last byte written.
    std::vector<double> exchanges;
    if (log) {
        for (std::size_t k = 0; k < std::min(log->requestNs.size(), log->answers.size()); ++k)
            exchanges.push_back(
                static_cast<double>(log->answers[k].lastByteNs - log->requestNs[k]) * 1e-6);
    }
    // On the line: the request's 8 bytes, 3.5 characters of silence, the 35-byte answer.
    const double lineMs = std::chrono::duration<double, std::milli>(
                              modbus::characterTime(38400) * (modbus::kRequestLength + 35) +
                              modbus::frameSilence(38400))
                              .count();
    std::printf("| `rx904ctl read`, 38400 baud, start to exit | %.1f ms | p90 %.1f ms | "
                "%d runs, %d failed |\n",
                median(reads), percentile(reads, 90), options.readRuns, failed);
    std::printf("| the exchange on the line (computed) | %.1f ms | | 43 bytes + 3.5 characters |\n",
                lineMs);
    std::printf("| the exchange as the device logs it (request in to answer out) | %.1f ms | "
                "p90 %.1f ms | |\n",
                median(exchanges), percentile(exchanges, 90));
    std::printf("| `rx904ctl --version`, start to exit | %.1f ms | p90 %.1f ms | start-up "
                "alone |\n",
                median(startup), percentile(startup, 90));
}

void watchRows(const fs::path &work, const Options &options, int baud)
{
    Device device;
    if (!device.start(work, baud))
        return;
    testing_support::ChildProcess child;
    testing_support::ChildProcess::Launch launch;
    launch.arguments = {
        RX904CTL_PATH, "--port", device.sim.path(), "--baud",   std::to_string(baud),
        "--format",    "json",   "watch",           "--period", "50"};
    launch.stdoutFile = (work / "watch.out").string();
    launch.quietStderr = true;
    std::string error;
    if (!child.start(launch, error)) {
        std::fprintf(stderr, "rx904ctl-bench: %s\n", error.c_str());
        return;
    }
    // The CPU the program has used by the end, read before it is asked to stop.
    const long long until = monotonicNs() + static_cast<long long>(options.watchSeconds * 1e9);
    std::optional<double> cpu;
    while (monotonicNs() < until) {
        ::usleep(100000);
        if (const auto now = processCpuSeconds(child.pid()))
            cpu = now;
    }
    const double wallS = static_cast<double>(monotonicNs() - child.startedNs()) * 1e-9;
    child.signal(SIGTERM);
    const int status = child.wait(kPatienceMs).value_or(-1);
    std::ifstream file(launch.stdoutFile);
    const std::string output(std::istreambuf_iterator<char>(file), {});
    const std::optional<SimLog> log = device.stop();
    if (!log)
        return;
    const LineFigures line = lineFigures(log->requestNs, 50.0);
    const int lines = countOf(output, "\n");
    const int bad = countOf(output, "\"ok\":false");
    // Polls the period asked for that never reached the line.
    const int expected =
        static_cast<int>(
            (static_cast<double>(log->requestNs.back() - log->requestNs.front()) * 1e-9) / 0.05) +
        1;
    std::printf("| `watch --period 50`, %d baud, %.0f s | mean gap %.2f ms (error %+.2f %%) | "
                "jitter p50 %.2f / p99 %.2f ms, gaps %.1f..%.1f ms | %d lines, %d without "
                "values, %d polls missed; CPU %.2f %% (%.2f s); exit %d |\n",
                baud, options.watchSeconds, line.meanGapMs, line.periodError * 100,
                line.jitterP50Ms, line.jitterP99Ms, line.gapMinMs, line.gapMaxMs, lines, bad,
                std::max(0, expected - line.requests), cpu ? *cpu / wallS * 100 : 0.0,
                cpu.value_or(0.0), status);
}

void loadRows(const fs::path &work, const Options &options)
{
    // The file: five parameters off the simulated device's power-up values.
    const std::string file = (work / "site.txt").string();
    {
        Device source;
        if (!source.start(work, 9600,
                          {"--register", "3=700", "--register", "5=3", "--register", "6=-7",
                           "--register", "10=40000", "--register", "13=10"}))
            return;
        if (runCtl(work, {"--port", source.sim.path(), "save", file}).status != 0) {
            std::fprintf(stderr, "rx904ctl-bench: the file could not be saved\n");
            return;
        }
        (void)source.stop();
    }
    for (const int count : {1, options.devices}) {
        std::vector<double> seconds;
        int failed = 0;
        for (int run = 0; run < options.loadRuns; ++run) {
            std::vector<std::unique_ptr<Device>> devices;
            std::vector<std::string> arguments;
            for (int k = 0; k < count; ++k) {
                devices.push_back(std::make_unique<Device>());
                if (!devices.back()->start(work, 9600))
                    return;
                arguments.insert(arguments.end(), {"--port", devices.back()->sim.path()});
            }
            arguments.insert(arguments.end(), {"load", file});
            const Run result = runCtl(work, arguments);
            failed += result.status != 0;
            seconds.push_back(result.seconds * 1e3);
            for (const auto &device : devices)
                (void)device->stop();
        }
        std::printf("| `load` of 5 parameters onto %d device%s at once, 9600 baud | %.0f ms | "
                    "p90 %.0f ms | %d runs, %d failed |\n",
                    count, count == 1 ? "" : "s", median(seconds), percentile(seconds, 90),
                    options.loadRuns, failed);
    }
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    for (int k = 1; k < argc; ++k) {
        const std::string_view argument = argv[k];
        if (argument == "--quick") {
            options.readRuns = 3;
            options.watchSeconds = 2.0;
            options.loadRuns = 1;
        } else {
            std::fprintf(stderr, "Usage: rx904ctl-bench [--quick]\n");
            return 2;
        }
    }
    const fs::path work =
        fs::temp_directory_path() / ("rx904ctl-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    std::printf("| what | figure | spread | notes |\n| --- | --- | --- | --- |\n");
    readRows(work, options);
    watchRows(work, options, 38400);
    watchRows(work, options, 9600);
    loadRows(work, options);
    std::printf("\nload average %s\n", loadAverage().c_str());
    fs::remove_all(work);
    return 0;
}
