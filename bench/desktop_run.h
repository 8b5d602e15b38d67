#pragma once
#include "support/child_process.h"

#include <optional>
#include <string>

namespace bench {

using testing_support::ChildProcess;

// The real rx904-tool as a desktop user runs it: its own process on an X server (Xvfb,
// 1600x900, room for the window and the traffic monitor side by side), driven with xdotool
// clicks and keys, COM1 on rx904-sim with wire timing at 38400 baud.
struct DesktopSetup
{
    std::string simPath;
    std::string toolPath;
    std::string logDir;
};

// CPU of the tool's process and of the X server, each as a share of one core.
struct DesktopCpu
{
    double tool = 0.0;
    double xServer = 0.0;
};

// The traffic monitor in a session: not opened, or opened at start (--monitor) beside the
// window with one of its two tabs in front.
enum class MonitorView { Closed, Record, Trend };
inline constexpr MonitorView kMonitorViews[] = {MonitorView::Closed, MonitorView::Record,
                                                MonitorView::Trend};

[[nodiscard]] const char *monitorViewName(MonitorView view);

struct DesktopPolling
{
    std::string delivery; // rx904-sim --delivery
    MonitorView monitor = MonitorView::Closed;
    int periodMs = 0;
    double seconds = 0.0;
    int requests = 0; // the device's count while measuring
    int answers = 0;
    DesktopCpu cpu;
    double machineBusy = 0.0; // every process on every core: other work skews the figures
};

struct DesktopIdle
{
    double seconds = 0.0;
    DesktopCpu asStarted; // the focused list's text cursor blinking
    DesktopCpu cursorOff; // after a click on a button took the focus
};

// Instructions of the tool's process per exchange, counted by callgrind with instrumentation
// on only while measuring: (polling - idle of the same length) / requests.
struct DesktopInstructions
{
    std::string delivery;
    MonitorView monitor = MonitorView::Closed;
    int periodMs = 0;
    double seconds = 0.0;
    int requests = 0;
    int answers = 0;
    double perExchange = 0.0;
    double idlePerSecond = 0.0;
};

class DesktopRun
{
public:
    explicit DesktopRun(DesktopSetup setup) : m_setup(std::move(setup)) {}

    // Starts the X server; false with a reason.
    bool start(std::string &error);

    [[nodiscard]] std::optional<DesktopIdle> idle(double seconds, std::string &error);
    // From starting the tool to the X server mapping its window, in milliseconds, with the
    // simulated device as COM1.
    [[nodiscard]] std::optional<double> startup(std::string &error);
    // A row whose requests the device left unanswered is an error: the tool did half the work.
    [[nodiscard]] std::optional<DesktopPolling> poll(const std::string &delivery,
                                                     MonitorView monitor, int periodMs,
                                                     double seconds, std::string &error);
    [[nodiscard]] std::optional<DesktopInstructions> instructions(const std::string &delivery,
                                                                  MonitorView monitor, int periodMs,
                                                                  double seconds,
                                                                  std::string &error);

private:
    struct Session;
    bool open(Session &session, const std::string &delivery, MonitorView monitor, bool callgrind,
              std::string &error);
    // Waits until the session's tool shows a window whose name matches, then runs the xdotool
    // commands `then` on it; false once the tool has ended or after the patience.
    bool appeared(Session &session, const std::string &name, const std::vector<std::string> &then,
                  std::string &error) const;
    bool drive(const std::vector<std::string> &xdotoolArguments, std::string &error) const;
    bool startPolling(int periodMs, std::string &error) const;
    // CPU of the tool and the X server while `during` runs; nothing once the tool has ended.
    template <typename During>
    std::optional<DesktopCpu> cpuWhile(const Session &session, During &&during) const;

    DesktopSetup m_setup;
    ChildProcess m_xServer;
    std::string m_display;
    int m_sessions = 0;
};

} // namespace bench
