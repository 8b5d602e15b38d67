#pragma once
#include "bench_application.h"
#include "operations/message_box.h"
#include "support/child_process.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace app {
class frmMain;
}
namespace serial {
class PortDirectory;
}
namespace ops {
class CommAdapter;
}

namespace bench {

using testing_support::ChildProcess;

// Counts the window's messages instead of showing them: a modal box would stop the run.
class CountingMessageBox : public ops::MessageBox
{
public:
    void show(const QString &, const QString &, ops::MessageIcon) override { ++shown; }
    int shown = 0;
};

// One polling run of the window.
struct ToolRun
{
    struct Answer
    {
        long long decodedNs = 0; // the receive handler has returned: every field holds it
        long long paintedNs = 0; // the window's next paint after that has been flushed
        std::uint16_t crc = 0;   // its last two bytes, from txtState
    };
    double seconds = 0.0;
    double cpuShare = 0.0; // CPU time of this process over wall time while polling
    std::vector<Answer> answers;
    // When QSerialPort had written each request to the terminal, on the window's side.
    std::vector<long long> requestWrittenNs;
    int notRecorded = 0;                               // answers beyond the room set aside
    std::vector<std::pair<double, double>> residentMb; // (seconds into the run, VmRSS)
};

// The real window (frmMain) on the real serial port (CommAdapter) in this process,
// against rx904-sim with wire timing on a pseudo-terminal as COM1.
class ToolSession
{
public:
    ToolSession(BenchApplication &application, std::string simPath);
    ~ToolSession();
    ToolSession(const ToolSession &) = delete;
    ToolSession &operator=(const ToolSession &) = delete;

    // Starts the device at the speed with its log, then the window with COM1 open at that
    // speed, shown; false with a reason.
    bool start(int baud, const std::string &logPath, std::string &error);
    // CPU share while the window waits with the port open.
    [[nodiscard]] double idleCpuShare(double seconds);
    // Polls at the period for the time ("循环" ... "停止"), then lets a last answer come.
    // Resident memory is sampled every rssEverySeconds (0: never).
    [[nodiscard]] ToolRun poll(int periodMs, double seconds, double rssEverySeconds = 0.0);
    // Ends the device, which writes out its log.
    bool finish(std::string &error);
    // Messages the window would have shown so far.
    [[nodiscard]] int messagesShown() const { return m_messages.shown; }

private:
    void answerHandled();

    BenchApplication &m_application;
    std::string m_simPath;
    ChildProcess m_sim;
    CountingMessageBox m_messages;
    std::unique_ptr<serial::PortDirectory> m_ports;
    std::unique_ptr<ops::CommAdapter> m_port;
    std::unique_ptr<app::frmMain> m_window;
    ToolRun *m_run = nullptr;
    std::size_t m_recorded = 0;
    std::size_t m_written = 0;
    std::size_t m_waitingPaint = SIZE_MAX;
};

// Runs the event loop for the time without waking it otherwise.
void runEventsFor(double seconds);

} // namespace bench
