#include "desktop_run.h"

#include "process_probe.h"
#include "sim_log.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <poll.h>
#include <xcb/xcb.h>

namespace bench {
namespace {

constexpr int kPatienceMs = 60000;

// With no window manager the window's client area starts at the screen's top-left corner,
// so these are window coordinates of the controls' centres (app/main_window_ui.cpp).
constexpr const char *kSpeedList[] = {"102", "63"};
constexpr const char *kPeriodField[] = {"286", "522"};
constexpr const char *kCycleButton[] = {"446", "522"};
constexpr const char *kStopButton[] = {"516", "522"};
// The monitor (820 px wide) starts over the window's corner too; moved right of the 668 px
// window both fit the 1600 px screen, and no click meant for the window lands on the monitor.
constexpr const char *kMonitorLeft = "668";
// The monitor's second tab, "趋势", in screen coordinates once the monitor is moved.
constexpr const char *kTrendTab[] = {"768", "82"};

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

// A figure taken while the device left requests unanswered means nothing: the tool did half
// the work for those. The measured span cuts at most one exchange at either end.
bool allAnswered(int requests, int answers, const std::string &where, std::string &error)
{
    if (requests > 0 && answers + 2 >= requests)
        return true;
    error = "the device answered " + std::to_string(answers) + " of " + std::to_string(requests) +
            " requests " + where;
    return false;
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

const char *monitorViewName(MonitorView view)
{
    switch (view) {
    case MonitorView::Closed:
        return "closed";
    case MonitorView::Record:
        return "record";
    case MonitorView::Trend:
        return "trend";
    }
    return "?";
}

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
    // -noreset: a server that resets when a session's last client leaves may refuse the next
    // session's tool while it does.
    launch.arguments = {"Xvfb",        "-displayfd", "1",   "-screen", "0",
                        "1600x900x24", "-nolisten",  "tcp", "-noreset"};
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

bool DesktopRun::open(Session &session, const std::string &delivery, MonitorView monitor,
                      bool callgrind, std::string &error)
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
    // The windows are found by their Chinese titles, whatever the machine's language.
    toolLaunch.arguments.insert(toolLaunch.arguments.end(), {"--language", "zh"});
    if (monitor != MonitorView::Closed)
        toolLaunch.arguments.push_back("--monitor");
    // The benchmark's own window runs offscreen; this one is a desktop user's.
    toolLaunch.environment = {
        {"DISPLAY", m_display}, {"QT_QPA_PLATFORM", "xcb"}, {"RX904_COM1", link}};
    toolLaunch.stdoutFile = "/dev/null";
    toolLaunch.quietStderr = true;
    if (!session.tool.start(toolLaunch, error))
        return false;
    // The window is there once xdotool finds it; a second more lets the first paints settle.
    if (!appeared(session, "RX904", {}, error))
        return false;
    // The monitor may map after the window, the more so under callgrind.
    if (monitor != MonitorView::Closed &&
        !appeared(session, "^通讯监视$", {"windowmove", kMonitorLeft, "0"}, error))
        return false;
    pause(callgrind ? 10.0 : 1.0);
    if (monitor == MonitorView::Trend &&
        !drive({"mousemove", kTrendTab[0], kTrendTab[1], "click", "1"}, error))
        return false;
    // The operator's choice of speed: 9600 is chosen at start-up, two entries below is 38400.
    return drive({"mousemove", kSpeedList[0], kSpeedList[1], "click", "1"}, error) &&
           drive({"key", "Down", "Down"}, error);
}

// The tool reports nothing itself: the X server tells when its window maps. With no window
// manager a top-level window is a child of the root, so the root's substructure sees it.
std::optional<double> DesktopRun::startup(std::string &error)
{
    const std::string name = m_setup.logDir + "/startup-" + std::to_string(++m_sessions);
    Session session;
    ChildProcess::Launch simLaunch;
    simLaunch.arguments = {m_setup.simPath, "--link", name + ".pty"};
    if (!session.sim.start(simLaunch, error) || !session.sim.readLine(kPatienceMs)) {
        error = "rx904-sim did not start: " + error;
        return std::nullopt;
    }
    xcb_connection_t *x = xcb_connect(m_display.c_str(), nullptr);
    if (xcb_connection_has_error(x) != 0) {
        xcb_disconnect(x);
        error = "no connection to " + m_display;
        return std::nullopt;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    ChildProcess::Launch toolLaunch;
    toolLaunch.arguments = {m_setup.toolPath};
    toolLaunch.environment = {
        {"DISPLAY", m_display}, {"QT_QPA_PLATFORM", "xcb"}, {"RX904_COM1", name + ".pty"}};
    toolLaunch.stdoutFile = "/dev/null";
    toolLaunch.quietStderr = true;
    std::optional<double> shownMs;
    if (session.tool.start(toolLaunch, error)) {
        const long long deadline = monotonicNs() + kPatienceMs * 1'000'000LL;
        pollfd connection{xcb_get_file_descriptor(x), POLLIN, 0};
        while (!shownMs && monotonicNs() < deadline) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(x)) {
                if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && !shownMs)
                    shownMs = static_cast<double>(monotonicNs() - session.tool.startedNs()) * 1e-6;
                std::free(event);
            }
            if (!shownMs)
                ::poll(&connection, 1, 100);
        }
        if (!shownMs)
            error = "rx904-tool mapped no window";
        session.tool.signal(SIGTERM);
        (void)session.tool.wait(kPatienceMs);
    }
    xcb_disconnect(x);
    session.sim.signal(SIGTERM);
    (void)session.sim.wait(kPatienceMs);
    return shownMs;
}

bool DesktopRun::appeared(Session &session, const std::string &name,
                          const std::vector<std::string> &then, std::string &error) const
{
    // Only this session's windows: a window of the last session may still be going.
    std::vector<std::string> arguments = {
        "search", "--all", "--pid", std::to_string(session.tool.pid()), "--name", name};
    arguments.insert(arguments.end(), then.begin(), then.end());
    const long long deadline = monotonicNs() + kPatienceMs * 1'000'000LL;
    std::string ignored;
    while (!drive(arguments, ignored)) {
        if (const auto status = session.tool.wait(0)) {
            error = "rx904-tool ended at start, status " + std::to_string(*status);
            return false;
        }
        if (monotonicNs() > deadline) {
            error = "no window of rx904-tool named " + name + " appeared";
            return false;
        }
        pause(0.2);
    }
    return true;
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
    if (!open(session, "byte", MonitorView::Closed, false, error))
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

std::optional<DesktopPolling> DesktopRun::poll(const std::string &delivery, MonitorView monitor,
                                               int periodMs, double seconds, std::string &error)
{
    Session session;
    if (!open(session, delivery, monitor, false, error) || !startPolling(periodMs, error))
        return std::nullopt;
    pause(1.0);
    long long from = 0;
    long long to = 0;
    MachineTimes machineFrom;
    MachineTimes machineTo;
    const auto cpu = cpuWhile(session, [&] {
        from = monotonicNs();
        machineFrom = machineTimes();
        pause(seconds);
        machineTo = machineTimes();
        to = monotonicNs();
    });
    (void)drive({"mousemove", kStopButton[0], kStopButton[1], "click", "1"}, error);
    // An ended tool's CPU reads as nothing, or as the last of a process not yet reaped.
    if (const auto status = session.tool.wait(0); status || !cpu) {
        error = "rx904-tool ended while polling, status " +
                (status ? std::to_string(*status) : std::string("unknown"));
        return std::nullopt;
    }
    pause(0.5);
    DesktopPolling row{delivery, monitor, periodMs, static_cast<double>(to - from) * 1e-9,
                       0,        0,       *cpu};
    row.machineBusy = busyShare(machineFrom, machineTo);
    std::tie(row.requests, row.answers) = exchangesBetween(session.simLog, from, to);
    if (!allAnswered(row.requests, row.answers, "while polling", error))
        return std::nullopt;
    return row;
}

std::optional<DesktopInstructions> DesktopRun::instructions(const std::string &delivery,
                                                            MonitorView monitor, int periodMs,
                                                            double seconds, std::string &error)
{
    Session session;
    if (!open(session, delivery, monitor, true, error))
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
    row.monitor = monitor;
    row.periodMs = periodMs;
    row.seconds = seconds;
    std::tie(row.requests, row.answers) = exchangesBetween(session.simLog, from, to);
    if (!allAnswered(row.requests, row.answers, "under callgrind", error))
        return std::nullopt;
    row.idlePerSecond = *idle / seconds;
    if (row.requests > 0)
        row.perExchange = (*polling - *idle) / row.requests;
    return row;
}

} // namespace bench
