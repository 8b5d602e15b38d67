// rx904-bench: the tool against the line. Prints one table (Markdown) of request rate,
// period error, jitter, answers, latency and CPU share for the window polling rx904-sim with
// wire timing, beside mbpoll polling the same simulated device; then idle CPU, memory over a
// long run and start-up time. See docs/performance.md.
#include "bench_application.h"
#include "desktop_run.h"
#include "interval_plot.h"
#include "process_probe.h"
#include "sim_log.h"
#include "stats.h"
#include "support/child_process.h"
#include "tool_session.h"

#include <QDateTime>
#include <QSysInfo>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

struct Options
{
    double seconds = 60.0;
    double idleSeconds = 60.0;
    double soakSeconds = 600.0;
    int startupRuns = 7;
    bool mbpoll = true;
    double desktopSeconds = 60.0;
    bool callgrind = true;
    std::string plotPath;
    std::string keepLogs;
    std::string simPath = RX904_SIM_PATH;
    std::string toolPath = RX904_TOOL_PATH;
    std::string mbpollPath = "mbpoll";
    std::vector<std::pair<int, int>> rows = {{50, 9600}, {50, 38400}, {100, 9600}, {100, 38400}};
    std::vector<MonitorView> monitorViews = {MonitorView::Closed, MonitorView::Record,
                                             MonitorView::Trend};
};

constexpr const char *kUsage = R"(Usage: rx904-bench [OPTION]...
Measures the RX904 tool polling rx904-sim (wire timing, on a pseudo-terminal) at 50 and
100 ms, 9600 and 38400 baud, beside mbpoll, and prints the figures as one table.

  --seconds S         polling time per row (default 60)
  --idle-seconds S    time idle with the port open (default 60)
  --soak-seconds S    long run at 50 ms, 38400 baud for memory growth (default 600; 0: none)
  --startup-runs N    start-ups of rx904-tool measured (default 7; 0: none)
  --no-mbpoll         leave mbpoll out
  --desktop-seconds S time per row of the real rx904-tool under Xvfb (default 60; 0: none)
  --no-callgrind      leave out the instruction count under callgrind
  --plot FILE.png     draw the request gaps of every row into FILE.png
  --keep-logs DIR     keep rx904-sim's logs and mbpoll's output in DIR
  --rows LIST         the rows as PERIOD:BAUD,... (default 50:9600,50:38400,100:9600,100:38400)
  --monitor LIST      the desktop rows' traffic monitor as closed,record,trend (default all
                      three); --idle-seconds 0 leaves out the desktop's idle rows too
  --quick             a few seconds in all (1.5 s rows, no long run), to check it works
  --sim PATH, --tool PATH, --mbpoll PATH   the programs to run
)";

std::optional<Options> parseOptions(int argc, char **argv)
{
    Options options;
    for (int index = 1; index < argc; ++index) {
        const std::string_view name = argv[index];
        const auto value = [&]() -> std::optional<std::string> {
            if (index + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++index]);
        };
        const auto number = [&]() -> std::optional<double> {
            const auto text = value();
            if (!text)
                return std::nullopt;
            char *end = nullptr;
            const double parsed = std::strtod(text->c_str(), &end);
            if (end == text->c_str() || *end != '\0' || !(parsed >= 0))
                return std::nullopt;
            return parsed;
        };
        std::optional<double> parsed;
        std::optional<std::string> text;
        if (name == "--seconds" && (parsed = number()) && *parsed > 0)
            options.seconds = *parsed;
        else if (name == "--idle-seconds" && (parsed = number()))
            options.idleSeconds = *parsed;
        else if (name == "--soak-seconds" && (parsed = number()))
            options.soakSeconds = *parsed;
        else if (name == "--startup-runs" && (parsed = number()))
            options.startupRuns = static_cast<int>(*parsed);
        else if (name == "--no-mbpoll")
            options.mbpoll = false;
        else if (name == "--desktop-seconds" && (parsed = number()))
            options.desktopSeconds = *parsed;
        else if (name == "--no-callgrind")
            options.callgrind = false;
        else if (name == "--plot" && (text = value()))
            options.plotPath = *text;
        else if (name == "--keep-logs" && (text = value()))
            options.keepLogs = *text;
        else if (name == "--sim" && (text = value()))
            options.simPath = *text;
        else if (name == "--tool" && (text = value()))
            options.toolPath = *text;
        else if (name == "--mbpoll" && (text = value()))
            options.mbpollPath = *text;
        else if (name == "--rows" && (text = value())) {
            options.rows.clear();
            std::istringstream list(*text);
            std::string item;
            while (std::getline(list, item, ',')) {
                int period = 0;
                int baud = 0;
                if (std::sscanf(item.c_str(), "%d:%d", &period, &baud) != 2 || period < 50 ||
                    baud <= 0)
                    return std::nullopt;
                options.rows.emplace_back(period, baud);
            }
        } else if (name == "--monitor" && (text = value())) {
            options.monitorViews.clear();
            std::istringstream list(*text);
            std::string item;
            while (std::getline(list, item, ',')) {
                const auto known =
                    std::find_if(std::begin(kMonitorViews), std::end(kMonitorViews),
                                 [&](MonitorView view) { return item == monitorViewName(view); });
                if (known == std::end(kMonitorViews))
                    return std::nullopt;
                options.monitorViews.push_back(*known);
            }
        } else if (name == "--quick") {
            options.seconds = 1.5;
            options.idleSeconds = 1.0;
            options.soakSeconds = 0.0;
            options.startupRuns = 1;
            options.desktopSeconds = 1.5;
            // A sanitized build, as CI's, cannot run under valgrind.
            options.callgrind = false;
        } else {
            std::fputs(kUsage, name == "--help" ? stdout : stderr);
            if (name == "--help")
                std::exit(0);
            return std::nullopt;
        }
    }
    return options;
}

struct Row
{
    std::string master;
    int periodMs = 0;
    int baud = 0;
    double seconds = 0.0;
    LineFigures line;
    int decoded = 0;
    int sent = 0;
    std::optional<double> latencyP50Ms;
    std::optional<double> latencyP99Ms;
    std::optional<double> paintedP50Ms;
    std::optional<double> paintedP99Ms;
    double cpuShare = 0.0;
    double machineBusy = 0.0; // all processes, all cores, while the row ran
    // The same gaps as the window wrote the requests, before the device read them.
    std::optional<LineFigures> written;
};

struct Matched
{
    int decoded = 0;
    std::vector<double> latencyMs;
    std::vector<double> paintedMs;
};

// Each answer the window handled goes with the device's answers in order: the first one not
// yet taken whose CRC bytes agree, sent at most half a period before it was handled or after it,
// as rx904-sim stamps "answer-last" once write() has returned and may lose the processor to
// the window in between. Answers passed over were lost.
Matched matchAnswers(const SimLog &log, const ToolRun &run, int periodMs)
{
    Matched matched;
    const long long reachNs = static_cast<long long>(periodMs) * 500'000;
    std::size_t next = 0;
    for (const ToolRun::Answer &answer : run.answers) {
        while (next < log.answers.size() &&
               log.answers[next].lastByteNs < answer.decodedNs - reachNs)
            ++next;
        std::size_t candidate = next;
        while (candidate < log.answers.size() &&
               log.answers[candidate].lastByteNs < answer.decodedNs + reachNs &&
               log.answers[candidate].crc != answer.crc)
            ++candidate;
        if (candidate >= log.answers.size() ||
            log.answers[candidate].lastByteNs >= answer.decodedNs + reachNs)
            continue;
        const SimLog::Answer &sent = log.answers[candidate];
        next = candidate + 1;
        ++matched.decoded;
        matched.latencyMs.push_back(static_cast<double>(answer.decodedNs - sent.lastByteNs) * 1e-6);
        if (answer.paintedNs > 0)
            matched.paintedMs.push_back(static_cast<double>(answer.paintedNs - sent.lastByteNs) *
                                        1e-6);
    }
    return matched;
}

class Bench
{
public:
    Bench(BenchApplication &application, Options options)
        : m_application(application), m_options(std::move(options))
    {
    }

    int run();

private:
    std::string logPath(const std::string &name) const { return m_logDir + "/" + name; }
    std::optional<Row> toolRow(int periodMs, int baud, double seconds, bool measureIdle,
                               double rssEvery);
    std::optional<Row> mbpollRow(int periodMs, int baud);
    void measureStartup();
    void measureDesktop();
    void printTable() const;
    void printDesktopTable() const;
    void plot() const;

    BenchApplication &m_application;
    Options m_options;
    std::string m_logDir;
    std::vector<Row> m_rows;
    std::vector<PlotPanel> m_panels;
    std::optional<double> m_idleCpu;
    std::vector<double> m_startupMs;
    std::vector<std::pair<double, double>> m_soakRss;
    double m_soakSeconds = 0.0;
    int m_messages = 0;
    bool m_failed = false;
    std::optional<DesktopIdle> m_desktopIdle;
    std::vector<DesktopPolling> m_desktopRows;
    std::vector<DesktopInstructions> m_instructionRows;
};

std::optional<Row> Bench::toolRow(int periodMs, int baud, double seconds, bool measureIdle,
                                  double rssEvery)
{
    const std::string name = "tool-" + std::to_string(periodMs) + "ms-" + std::to_string(baud) +
                             (rssEvery > 0 ? "-long" : "") + ".log";
    std::string error;
    Row row;
    row.master = "rx904-tool";
    row.periodMs = periodMs;
    row.baud = baud;
    ToolRun run;
    MachineTimes machineFrom;
    MachineTimes machineTo;
    {
        ToolSession session(m_application, m_options.simPath);
        if (!session.start(baud, logPath(name), error)) {
            std::fprintf(stderr, "rx904-bench: %s\n", error.c_str());
            return std::nullopt;
        }
        if (measureIdle)
            m_idleCpu = session.idleCpuShare(m_options.idleSeconds);
        machineFrom = machineTimes();
        run = session.poll(periodMs, seconds, rssEvery);
        machineTo = machineTimes();
        if (!session.finish(error)) {
            std::fprintf(stderr, "rx904-bench: %s\n", error.c_str());
            return std::nullopt;
        }
        m_messages += session.messagesShown();
    }
    const auto log = readSimLog(logPath(name), error);
    if (!log) {
        std::fprintf(stderr, "rx904-bench: %s\n", error.c_str());
        return std::nullopt;
    }
    const Matched matched = matchAnswers(*log, run, periodMs);
    if (!m_options.keepLogs.empty()) {
        // The window's side, beside the device's log: "DECODED_NS PAINTED_NS CRC".
        std::ofstream handled(logPath(name.substr(0, name.size() - 4) + "-handled.txt"));
        for (const ToolRun::Answer &answer : run.answers)
            handled << answer.decodedNs << ' ' << answer.paintedNs << ' ' << std::hex << answer.crc
                    << std::dec << '\n';
    }
    row.seconds = run.seconds;
    row.line = lineFigures(log->requestNs, periodMs);
    row.written = lineFigures(run.requestWrittenNs, periodMs);
    row.sent = static_cast<int>(log->answers.size());
    row.decoded = matched.decoded;
    row.latencyP50Ms = percentile(matched.latencyMs, 50);
    row.latencyP99Ms = percentile(matched.latencyMs, 99);
    if (!matched.paintedMs.empty()) {
        row.paintedP50Ms = percentile(matched.paintedMs, 50);
        row.paintedP99Ms = percentile(matched.paintedMs, 99);
    }
    row.cpuShare = run.cpuShare;
    row.machineBusy = busyShare(machineFrom, machineTo);
    if (rssEvery > 0) {
        m_soakRss = run.residentMb;
        m_soakSeconds = run.seconds;
    }
    return row;
}

std::optional<Row> Bench::mbpollRow(int periodMs, int baud)
{
    const std::string base = "mbpoll-" + std::to_string(periodMs) + "ms-" + std::to_string(baud);
    std::string error;
    ChildProcess sim;
    ChildProcess::Launch simLaunch;
    simLaunch.arguments = {m_options.simPath,    "--wire-timing", "--baud",
                           std::to_string(baud), "--log",         logPath(base + ".log")};
    if (!sim.start(simLaunch, error)) {
        std::fprintf(stderr, "rx904-bench: %s\n", error.c_str());
        return std::nullopt;
    }
    const auto path = sim.readLine(10000);
    if (!path) {
        std::fprintf(stderr, "rx904-bench: rx904-sim printed no terminal path\n");
        return std::nullopt;
    }
    ChildProcess mbpoll;
    ChildProcess::Launch launch;
    // -r 1 is the first register (address 0); -t 4 holding registers, function 3.
    launch.arguments = {m_options.mbpollPath,
                        "-m",
                        "rtu",
                        "-b",
                        std::to_string(baud),
                        "-P",
                        "none",
                        "-a",
                        "1",
                        "-r",
                        "1",
                        "-c",
                        "15",
                        "-t",
                        "4",
                        "-l",
                        std::to_string(periodMs),
                        *path};
    launch.stdoutFile = logPath(base + ".out");
    launch.quietStderr = true;
    if (!mbpoll.start(launch, error)) {
        std::fprintf(stderr, "rx904-bench: %s; its rows are left out\n", error.c_str());
        m_options.mbpoll = false;
        return std::nullopt;
    }
    // Past its start-up, so that only polling is counted.
    runEventsFor(0.5);
    if (!processCpuSeconds(mbpoll.pid()) || mbpoll.wait(0)) {
        std::fprintf(stderr, "rx904-bench: %s did not run; its rows are left out\n",
                     m_options.mbpollPath.c_str());
        m_options.mbpoll = false;
        return std::nullopt;
    }
    const long long startNs = monotonicNs();
    const MachineTimes machineFrom = machineTimes();
    const auto startCpu = processCpuSeconds(mbpoll.pid());
    runEventsFor(m_options.seconds);
    const auto endCpu = processCpuSeconds(mbpoll.pid());
    const MachineTimes machineTo = machineTimes();
    const double wall = static_cast<double>(monotonicNs() - startNs) * 1e-9;
    mbpoll.signal(SIGINT);
    if (!mbpoll.wait(5000)) {
        mbpoll.signal(SIGKILL);
        (void)mbpoll.wait(5000);
    }
    sim.signal(SIGTERM);
    (void)sim.wait(10000);

    Row row;
    row.master = "mbpoll";
    row.periodMs = periodMs;
    row.baud = baud;
    row.seconds = wall;
    if (startCpu && endCpu)
        row.cpuShare = (*endCpu - *startCpu) / wall;
    row.machineBusy = busyShare(machineFrom, machineTo);
    const auto log = readSimLog(logPath(base + ".log"), error);
    if (!log) {
        std::fprintf(stderr, "rx904-bench: %s\n", error.c_str());
        return std::nullopt;
    }
    row.line = lineFigures(log->requestNs, periodMs);
    row.sent = static_cast<int>(log->answers.size());
    // mbpoll's own count on leaving: "N frames transmitted, M received, E errors".
    std::ifstream output(logPath(base + ".out"));
    const std::string text((std::istreambuf_iterator<char>(output)),
                           std::istreambuf_iterator<char>());
    std::smatch match;
    if (std::regex_search(text, match,
                          std::regex(R"((\d+) frames transmitted, (\d+) received, (\d+) errors)")))
        row.decoded = std::stoi(match[2]) - std::stoi(match[3]);
    else
        row.decoded = -1;
    return row;
}

void Bench::measureStartup()
{
    DesktopRun desktop({m_options.simPath, m_options.toolPath, m_logDir});
    std::string error;
    if (!desktop.start(error)) {
        std::fprintf(stderr, "rx904-bench: start-up: %s\n", error.c_str());
        m_failed = true;
        return;
    }
    for (int run = 0; run < m_options.startupRuns; ++run) {
        const std::optional<double> ms = desktop.startup(error);
        if (!ms) {
            std::fprintf(stderr, "rx904-bench: start-up: %s\n", error.c_str());
            m_failed = true;
            return;
        }
        m_startupMs.push_back(*ms);
    }
}

// The real binary under Xvfb at 38400 baud: answers one byte per character time and in one
// piece after a USB adapter's 1 ms latency; polling at 50 ms for CPU, at 200 ms (slow enough
// for valgrind) for instructions. Each delivery runs with the traffic monitor closed, on its
// record and on its trend one after the other, so that the three meet the same load.
void Bench::measureDesktop()
{
    DesktopRun desktop({m_options.simPath, m_options.toolPath, m_logDir});
    std::string error;
    const auto fail = [&] {
        std::fprintf(stderr, "rx904-bench: desktop: %s\n", error.c_str());
        m_failed = true;
    };
    if (!desktop.start(error))
        return fail();
    const double seconds = m_options.desktopSeconds;
    std::fprintf(stderr, "rx904-bench: rx904-tool under Xvfb ...\n");
    if (m_options.idleSeconds > 0 && !(m_desktopIdle = desktop.idle(seconds, error)))
        return fail();
    const auto chosen = [&](MonitorView view) {
        return std::find(m_options.monitorViews.begin(), m_options.monitorViews.end(), view) !=
               m_options.monitorViews.end();
    };
    for (const char *delivery : {"byte", "usb=1"}) {
        for (const MonitorView view : m_options.monitorViews) {
            if (auto row = desktop.poll(delivery, view, 50, seconds, error))
                m_desktopRows.push_back(*row);
            else
                return fail();
        }
    }
    if (!m_options.callgrind)
        return;
    std::fprintf(stderr, "rx904-bench: rx904-tool under callgrind ...\n");
    const std::pair<const char *, MonitorView> counted[] = {{"byte", MonitorView::Closed},
                                                            {"byte", MonitorView::Record},
                                                            {"byte", MonitorView::Trend},
                                                            {"usb=1", MonitorView::Closed}};
    for (const auto &[delivery, view] : counted) {
        if (!chosen(view))
            continue;
        if (auto row = desktop.instructions(delivery, view, 200, std::max(seconds / 3, 1.0), error))
            m_instructionRows.push_back(*row);
        else
            return fail();
    }
}

// The row with the monitor closed, same delivery and period, that a monitor row is compared
// with; none for a closed row.
template <typename DesktopRow>
const DesktopRow *closedRowOf(const std::vector<DesktopRow> &rows, const DesktopRow &row)
{
    if (row.monitor == MonitorView::Closed)
        return nullptr;
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const DesktopRow &other) {
        return other.monitor == MonitorView::Closed && other.delivery == row.delivery &&
               other.periodMs == row.periodMs;
    });
    return found == rows.end() ? nullptr : &*found;
}

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void Bench::printTable() const
{
    std::printf("| master | period | baud | time | requests/s (set) | period error | "
                "jitter p50 / p99 | answers decoded / sent | latency to fields p50 / p99 | "
                "to painted p50 / p99 | CPU of one core | machine busy |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    const auto pair = [](const std::optional<double> &p50, const std::optional<double> &p99) {
        if (!p50 || !p99)
            return std::string("–");
        return fixed(*p50, 3) + " / " + fixed(*p99, 3) + " ms";
    };
    for (const Row &row : m_rows) {
        const std::string answers =
            (row.decoded >= 0 ? std::to_string(row.decoded) : std::string("?")) + " / " +
            std::to_string(row.sent);
        std::printf("| %s | %d ms | %d | %.0f s | %s (%s) | %+.3f%% | %s / %s ms | %s | %s | %s | "
                    "%.2f%% | %.0f%% |\n",
                    row.master.c_str(), row.periodMs, row.baud, row.seconds,
                    fixed(row.line.requestsPerSecond, 3).c_str(),
                    fixed(1000.0 / row.periodMs, 3).c_str(), row.line.periodError * 100.0,
                    fixed(row.line.jitterP50Ms, 3).c_str(), fixed(row.line.jitterP99Ms, 3).c_str(),
                    answers.c_str(), pair(row.latencyP50Ms, row.latencyP99Ms).c_str(),
                    pair(row.paintedP50Ms, row.paintedP99Ms).c_str(), row.cpuShare * 100.0,
                    row.machineBusy * 100.0);
    }
    std::printf("\n");
    std::printf("- Jitter p50 / p99 of the same requests as the window wrote them (QSerialPort "
                "bytesWritten), before the device's own wake-up:");
    for (const Row &row : m_rows) {
        if (row.written)
            std::printf(" %d ms/%d%s: %s / %s ms;", row.periodMs, row.baud,
                        row.seconds > m_options.seconds * 2 ? " long" : "",
                        fixed(row.written->jitterP50Ms, 3).c_str(),
                        fixed(row.written->jitterP99Ms, 3).c_str());
    }
    std::printf("\n");
    if (m_idleCpu)
        std::printf("- Idle, port open (%.0f s): CPU %.4f%% of a core\n", m_options.idleSeconds,
                    *m_idleCpu * 100.0);
    const Memory memory = selfMemory();
    std::printf("- Peak resident memory of the process holding the window: %.1f MiB\n",
                memory.peakMb);
    if (m_soakRss.size() >= 2) {
        // From the first sample a minute in (caches filled), to the end.
        auto first = m_soakRss.front();
        for (const auto &sample : m_soakRss) {
            if (sample.first >= 60.0) {
                first = sample;
                break;
            }
        }
        double least = first.second;
        double most = first.second;
        for (const auto &sample : m_soakRss) {
            if (sample.first >= first.first) {
                least = std::min(least, sample.second);
                most = std::max(most, sample.second);
            }
        }
        const auto last = m_soakRss.back();
        std::printf("- Resident memory over %.0f s polling at 50 ms, 38400 baud: %.2f MiB at "
                    "start, %.2f MiB at %.0f s, %.2f MiB at the end: growth %+.3f MiB "
                    "(range %.3f MiB)\n",
                    m_soakSeconds, m_soakRss.front().second, first.second, first.first, last.second,
                    last.second - first.second, most - least);
    }
    if (!m_startupMs.empty()) {
        std::vector<double> sorted = m_startupMs;
        std::sort(sorted.begin(), sorted.end());
        std::printf("- Start-up of rx904-tool to its window mapped on Xvfb, COM1 the simulated "
                    "device: median %.1f ms, min %.1f ms, max %.1f ms (%zu runs, the first "
                    "%.1f ms)\n",
                    percentile(sorted, 50), sorted.front(), sorted.back(), sorted.size(),
                    m_startupMs.front());
    }
    if (m_messages > 0)
        std::printf("- The window raised %d message(s) while polling.\n", m_messages);
    std::fflush(stdout);
}

void Bench::printDesktopTable() const
{
    if (!m_desktopIdle && m_desktopRows.empty())
        return;
    std::printf("\nThe real rx904-tool under Xvfb (1600x900), 38400 baud (CPU of one core from "
                "/proc/PID/task/*/schedstat); the traffic monitor opened with --monitor beside "
                "the window, its extra over the closed row of the same delivery:\n\n");
    std::printf("| state | answers delivered | monitor | time | requests / answers | rx904-tool | "
                "X server | together | monitor's extra: tool / X server | machine busy |\n"
                "|---|---|---|---|---|---|---|---|---|---|\n");
    const auto cpuRow = [](const std::string &state, const std::string &delivery,
                           const char *monitor, double seconds, const std::string &exchanges,
                           const DesktopCpu &cpu, const std::string &extra,
                           const std::string &busy) {
        std::printf("| %s | %s | %s | %.0f s | %s | %.3f%% | %.3f%% | %.3f%% | %s | %s |\n",
                    state.c_str(), delivery.c_str(), monitor, seconds, exchanges.c_str(),
                    cpu.tool * 100.0, cpu.xServer * 100.0, (cpu.tool + cpu.xServer) * 100.0,
                    extra.c_str(), busy.c_str());
    };
    if (m_desktopIdle) {
        cpuRow("idle, port open, cursor blinking", "–", "closed", m_desktopIdle->seconds, "–",
               m_desktopIdle->asStarted, "–", "–");
        cpuRow("idle, port open, focus on a button", "–", "closed", m_desktopIdle->seconds, "–",
               m_desktopIdle->cursorOff, "–", "–");
    }
    for (const DesktopPolling &row : m_desktopRows) {
        std::string extra = "–";
        if (const DesktopPolling *closed = closedRowOf(m_desktopRows, row)) {
            char text[64];
            std::snprintf(text, sizeof text, "%+.3f%% / %+.3f%%",
                          (row.cpu.tool - closed->cpu.tool) * 100.0,
                          (row.cpu.xServer - closed->cpu.xServer) * 100.0);
            extra = text;
        }
        cpuRow("polling every " + std::to_string(row.periodMs) + " ms", row.delivery,
               monitorViewName(row.monitor), row.seconds,
               std::to_string(row.requests) + " / " + std::to_string(row.answers), row.cpu, extra,
               fixed(row.machineBusy * 100.0, 0) + "%");
    }
    if (m_instructionRows.empty())
        return;
    std::printf("\nInstructions of the rx904-tool process per exchange (callgrind, polling "
                "minus idle of the same length; the monitor's extra over the closed row of the "
                "same delivery):\n\n");
    std::printf("| answers delivered | monitor | period | time | requests / answers | instructions "
                "per exchange | monitor's extra | idle instructions/s |\n"
                "|---|---|---|---|---|---|---|---|\n");
    for (const DesktopInstructions &row : m_instructionRows) {
        const DesktopInstructions *closed = closedRowOf(m_instructionRows, row);
        const std::string extra =
            closed ? (row.perExchange >= closed->perExchange ? "+" : "") +
                         fixed((row.perExchange - closed->perExchange) / 1e6, 3) + " M"
                   : std::string("–");
        std::printf("| %s | %s | %d ms | %.0f s | %d / %d | %.3f M | %s | %.4f M |\n",
                    row.delivery.c_str(), monitorViewName(row.monitor), row.periodMs, row.seconds,
                    row.requests, row.answers, row.perExchange / 1e6, extra.c_str(),
                    row.idlePerSecond / 1e6);
    }
    std::fflush(stdout);
}

void Bench::plot() const
{
    if (m_options.plotPath.empty())
        return;
    // Per row: the tool's gaps close up around the set period, then both masters at full scale.
    std::vector<PlotPanel> panels;
    for (const Row &row : m_rows) {
        if (row.master != "rx904-tool" || row.seconds > m_options.seconds * 2)
            continue;
        const QString setting = QStringLiteral("%1 ms, %2 baud").arg(row.periodMs).arg(row.baud);
        PlotPanel close;
        close.title = QStringLiteral("rx904-tool, %1: gap minus period").arg(setting);
        close.valueLabel = QStringLiteral("gap - set period (ms)");
        const double reach = std::max(2.0, std::ceil(row.line.gapMaxMs - row.periodMs));
        close.rangeMs = std::make_pair(-reach, reach);
        PlotSeries deviation{
            QStringLiteral("rx904-tool"), QColor(20, 80, 200), row.line.gapTimesS, {}};
        for (const double gap : row.line.gapsMs)
            deviation.gapsMs.push_back(gap - row.periodMs);
        close.series.push_back(std::move(deviation));
        panels.push_back(std::move(close));

        PlotPanel both;
        both.title = QStringLiteral("%1: gap between requests").arg(setting);
        both.valueLabel = QStringLiteral("gap (ms); dashed: set period");
        both.referenceMs = row.periodMs;
        for (const Row &other : m_rows) {
            if (other.periodMs != row.periodMs || other.baud != row.baud ||
                other.seconds > m_options.seconds * 2)
                continue;
            const bool tool = other.master == "rx904-tool";
            both.series.push_back({QString::fromStdString(other.master),
                                   tool ? QColor(20, 80, 200) : QColor(230, 120, 0),
                                   other.line.gapTimesS, other.line.gapsMs});
        }
        panels.push_back(std::move(both));
    }
    const QString heading =
        QStringLiteral("Request gaps as rx904-sim (wire timing) sees them, %1")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd")));
    if (writeIntervalPlot(QString::fromStdString(m_options.plotPath), heading, panels))
        std::printf("- Request gaps plotted in %s\n", m_options.plotPath.c_str());
    else
        std::fprintf(stderr, "rx904-bench: cannot write %s\n", m_options.plotPath.c_str());
}

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    }
    return "unknown";
}

int Bench::run()
{
    if (!m_options.keepLogs.empty()) {
        std::filesystem::create_directories(m_options.keepLogs);
        m_logDir = m_options.keepLogs;
    } else {
        char pattern[] = "/tmp/rx904-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::perror("rx904-bench: mkdtemp");
            return 1;
        }
        m_logDir = pattern;
    }
    utsname system{};
    ::uname(&system);
    std::printf("rx904-bench %s; %ld cores, %s; Linux %s; Qt %s; load %s\n\n",
                QDateTime::currentDateTime().toString(Qt::ISODate).toStdString().c_str(),
                ::sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str(), system.release, qVersion(),
                loadAverage().c_str());
    std::fflush(stdout);

    if (m_options.startupRuns > 0)
        measureStartup();

    bool first = true;
    for (const auto &[periodMs, baud] : m_options.rows) {
        std::fprintf(stderr, "rx904-bench: %d ms, %d baud ...\n", periodMs, baud);
        if (auto row =
                toolRow(periodMs, baud, m_options.seconds, first && m_options.idleSeconds > 0, 0.0))
            m_rows.push_back(std::move(*row));
        else
            m_failed = true;
        first = false;
        if (m_options.mbpoll) {
            if (auto row = mbpollRow(periodMs, baud))
                m_rows.push_back(std::move(*row));
            else if (m_options.mbpoll)
                m_failed = true;
        }
    }
    if (m_options.soakSeconds > 0) {
        std::fprintf(stderr, "rx904-bench: %.0f s at 50 ms, 38400 baud ...\n",
                     m_options.soakSeconds);
        if (auto row = toolRow(50, 38400, m_options.soakSeconds, false, 5.0))
            m_rows.push_back(std::move(*row));
        else
            m_failed = true;
    }

    if (m_options.desktopSeconds > 0)
        measureDesktop();

    printTable();
    printDesktopTable();
    plot();
    if (m_options.keepLogs.empty())
        std::filesystem::remove_all(m_logDir);
    else
        std::printf("- Logs kept in %s\n", m_logDir.c_str());
    return m_failed ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    const auto options = parseOptions(argc, argv);
    if (!options)
        return 2;
    // The window runs offscreen; the platform is chosen when the application is made.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication application(argc, argv);
    Bench bench(application, *options);
    return bench.run();
}
