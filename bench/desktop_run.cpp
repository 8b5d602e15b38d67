#include "desktop_run.h"

#include "process_probe.h"
#include "sim_log.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace bench {
namespace {

constexpr int kPatienceMs = 60000;

// With no window manager the window's client area starts at the screen's top-left corner,
// so these are window coordinates of the controls' centres (app/main_window_ui.cpp).
constexpr const char *kSpeedList[] = {"102", "63"};
constexpr const char *kPeriodField[] = {"286", "522"};
constexpr const char *kCycleButton[] = {"446", "522"};
constexpr const char *kStopButton[] = {"516", "522"};

void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Requests and answers the device logged between two instants.
std::pair<int, int> exchangesBetween(const std::string &logPath, long long fromNs, long long toNs)
{
    std::string error;
    const auto log = readSimLog(logPath, error);
    if (!log)
        return {0, 0};
    const auto within = [&](long long ns) { return ns >= fromNs && ns < toNs; };
    const auto requests = std::count_if(log->requestNs.begin(), log->requestNs.end(), within);
    const auto answers =
        std::count_if(log->answers.begin(), log->answers.end(),
                      [&](const SimLog::Answer &a) { return within(a.lastByteNs); });
    return {static_cast<int>(requests), static_cast<int>(answers)};
}

// The "totals:" line of a callgrind dump: instructions executed while instrumentation was on.
std::optional<double> callgrindTotal(const std::string &path)
{
    std::ifstream dump(path);
    std::string line;
    while (std::getline(dump, line)) {
        if (line.rfind("totals:", 0) == 0)
            return std::stod(line.substr(7));
    }
    return std::nullopt;
}

// The newest of callgrind's numbered dumps beside base.
std::string newestDump(const std::string &base)
{
    const std::filesystem::path basePath(base);
    std::string newest;
    int highest = -1;
    for (const auto &entry : std::filesystem::directory_iterator(basePath.parent_path())) {
        const std::string name = entry.path().filename().string();
        const std::string prefix = basePath.filename().string() + ".";
        if (name.rfind(prefix, 0) != 0)
            continue;
        const int number = std::atoi(name.c_str() + prefix.size());
        if (number > highest) {
            highest = number;
            newest = entry.path().string();
        }
    }
    return newest;
}

} // namespace

struct DesktopRun::Session
{
    ChildProcess sim;
    ChildProcess tool;
    std::string simLog;
    std::string callgrindOut;
};

bool DesktopRun::start(std::string &error)
{
    ChildProcess::Launch launch;
    launch.arguments = {"Xvfb", "-displayfd",  "1",         "-screen",
                        "0",    "1024x768x24", "-nolisten", "tcp"};
    launch.quietStderr = true;
    if (!m_xServer.start(launch, error))
        return false;
    const auto number = m_xServer.readLine(kPatienceMs);
    if (!number || number->empty()) {
        error = "Xvfb named no display";
        return false;
    }
    m_display = ":" + *number;
    return true;
}

bool DesktopRun::drive(const std::vector<std::string> &xdotoolArguments, std::string &error) const
{
    ChildProcess xdotool;
    ChildProcess::Launch launch;
    launch.arguments = {"xdotool"};
    launch.arguments.insert(launch.arguments.end(), xdotoolArguments.begin(),
                            xdotoolArguments.end());
    launch.environment = {{"DISPLAY", m_display}};
    launch.quietStderr = true;
    if (!xdotool.start(launch, error))
        return false;
    if (xdotool.wait(kPatienceMs).value_or(-1) != 0) {
        error = "xdotool " + xdotoolArguments.front() + " failed";
        return false;
    }
    return true;
}

bool DesktopRun::open(Session &session, const std::string &delivery, bool callgrind,
                      std::string &error)
{
    const std::string name = m_setup.logDir + "/desktop-" + std::to_string(++m_sessions);
    const std::string link = name + ".pty";
    session.simLog = name + "-sim.log";
    ChildProcess::Launch simLaunch;
    simLaunch.arguments = {m_setup.simPath, "--link", link,    "--wire-timing", "--baud", "38400",
                           "--delivery",    delivery, "--log", session.simLog};
    if (!session.sim.start(simLaunch, error) || !session.sim.readLine(kPatienceMs)) {
        error = "rx904-sim did not start: " + error;
        return false;
    }

    ChildProcess::Launch toolLaunch;
    if (callgrind) {
        session.callgrindOut = name + "-callgrind.out";
        toolLaunch.arguments = {"valgrind", "--tool=callgrind", "--instr-atstart=no",
                                "--callgrind-out-file=" + session.callgrindOut};
    }
    toolLaunch.arguments.push_back(m_setup.toolPath);
    // The benchmark's own window runs offscreen; this one is a desktop user's.
    toolLaunch.environment = {
        {"DISPLAY", m_display}, {"QT_QPA_PLATFORM", "xcb"}, {"RX904_COM1", link}};
    toolLaunch.stdoutFile = "/dev/null";
    toolLaunch.quietStderr = true;
    if (!session.tool.start(toolLaunch, error))
        return false;
    // The window is there once xdotool finds it; a second more lets the first paints settle.
    const long long deadline = monotonicNs() + kPatienceMs * 1'000'000LL;
    std::string ignored;
    while (!drive({"search", "--name", "RX904"}, ignored)) {
        if (monotonicNs() > deadline) {
            error = "the window of rx904-tool never appeared";
            return false;
        }
        pause(0.2);
    }
    pause(callgrind ? 10.0 : 1.0);
    // The operator's choice of speed: 9600 is chosen at start-up, two entries below is 38400.
    return drive({"mousemove", kSpeedList[0], kSpeedList[1], "click", "1"}, error) &&
           drive({"key", "Down", "Down"}, error);
}

template <typename During>
std::optional<DesktopCpu> DesktopRun::cpuWhile(const Session &session, During &&during) const
{
    const long long from = monotonicNs();
    const auto tool0 = processCpuSeconds(session.tool.pid());
    const auto x0 = processCpuSeconds(m_xServer.pid());
    during();
    const auto tool1 = processCpuSeconds(session.tool.pid());
    const auto x1 = processCpuSeconds(m_xServer.pid());
    const double wall = static_cast<double>(monotonicNs() - from) * 1e-9;
    if (!tool0 || !tool1 || !x0 || !x1)
        return std::nullopt;
    return DesktopCpu{(*tool1 - *tool0) / wall, (*x1 - *x0) / wall};
}

bool DesktopRun::startPolling(int periodMs, std::string &error) const
{
    return drive({"mousemove", kPeriodField[0], kPeriodField[1], "click", "1"}, error) &&
           drive({"key", "ctrl+a"}, error) && drive({"type", std::to_string(periodMs)}, error) &&
           drive({"mousemove", kCycleButton[0], kCycleButton[1], "click", "1"}, error);
}

std::optional<DesktopIdle> DesktopRun::idle(double seconds, std::string &error)
{
    Session session;
    if (!open(session, "byte", false, error))
        return std::nullopt;
    DesktopIdle figures;
    figures.seconds = seconds;
    // After the speed choice the list's text field has the focus and its cursor blinks.
    pause(1.0);
    const auto asStarted = cpuWhile(session, [&] { pause(seconds); });
    if (!asStarted || !drive({"mousemove", kStopButton[0], kStopButton[1], "click", "1"}, error))
        return std::nullopt;
    pause(1.0);
    const auto cursorOff = cpuWhile(session, [&] { pause(seconds); });
    if (!cursorOff) {
        error = "rx904-tool ended while idle";
        return std::nullopt;
    }
    figures.asStarted = *asStarted;
    figures.cursorOff = *cursorOff;
    return figures;
}

std::optional<DesktopPolling> DesktopRun::poll(const std::string &delivery, int periodMs,
                                               double seconds, std::string &error)
{
    Session session;
    if (!open(session, delivery, false, error) || !startPolling(periodMs, error))
        return std::nullopt;
    pause(1.0);
    long long from = 0;
    long long to = 0;
    const auto cpu = cpuWhile(session, [&] {
        from = monotonicNs();
        pause(seconds);
        to = monotonicNs();
    });
    (void)drive({"mousemove", kStopButton[0], kStopButton[1], "click", "1"}, error);
    if (!cpu) {
        error = "rx904-tool ended while polling";
        return std::nullopt;
    }
    pause(0.5);
    DesktopPolling row{delivery, periodMs, static_cast<double>(to - from) * 1e-9, 0, 0, *cpu};
    std::tie(row.requests, row.answers) = exchangesBetween(session.simLog, from, to);
    return row;
}

std::optional<DesktopInstructions> DesktopRun::instructions(const std::string &delivery,
                                                            int periodMs, double seconds,
                                                            std::string &error)
{
    Session session;
    if (!open(session, delivery, true, error))
        return std::nullopt;
    const std::string pid = std::to_string(session.tool.pid());
    // Counts only while on: idle with the focus on a button, then the same length polling.
    const auto counted = [&](const std::string &label, auto &&during) -> std::optional<double> {
        const auto callgrindControl = [&](std::vector<std::string> arguments) {
            ChildProcess::Launch launch;
            launch.arguments = {"callgrind_control"};
            launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
            launch.arguments.push_back(pid);
            launch.stdoutFile = "/dev/null";
            ChildProcess process;
            return process.start(launch, error) && process.wait(kPatienceMs).value_or(-1) == 0;
        };
        if (!callgrindControl({"-z"}) || !callgrindControl({"-i", "on"}))
            return std::nullopt;
        during();
        if (!callgrindControl({"-i", "off"}) || !callgrindControl({"-d", label}))
            return std::nullopt;
        pause(1.0);
        const auto total = callgrindTotal(newestDump(session.callgrindOut));
        if (!total)
            error = "no callgrind dump for " + label;
        return total;
    };

    if (!drive({"mousemove", kStopButton[0], kStopButton[1], "click", "1"}, error))
        return std::nullopt;
    pause(2.0);
    const auto idle = counted("idle", [&] { pause(seconds); });
    if (!idle || !startPolling(periodMs, error))
        return std::nullopt;
    pause(2.0);
    long long from = 0;
    long long to = 0;
    const auto polling = counted("polling", [&] {
        from = monotonicNs();
        pause(seconds);
        to = monotonicNs();
    });
    (void)drive({"mousemove", kStopButton[0], kStopButton[1], "click", "1"}, error);
    if (!polling)
        return std::nullopt;
    DesktopInstructions row;
    row.delivery = delivery;
    row.periodMs = periodMs;
    row.seconds = seconds;
    std::tie(row.requests, row.answers) = exchangesBetween(session.simLog, from, to);
    // Unanswered requests cost the window half an exchange: such a count means nothing.
    if (row.answers + 2 < row.requests) {
        error = "the device answered " + std::to_string(row.answers) + " of " +
                std::to_string(row.requests) + " requests under callgrind";
        return std::nullopt;
    }
    row.idlePerSecond = *idle / seconds;
    if (row.requests > 0)
        row.perExchange = (*polling - *idle) / row.requests;
    return row;
}

} // namespace bench
