#pragma once
#include "support/child_process.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

// Generous bounds for waiting on another process: reaching one fails the test as a hang, it
// is never a measure of speed.
inline constexpr int kPatienceMs = 10000;

// The rx904-sim executable running as a child process.
class SimProcess
{
public:
    // Starts it and reads the terminal path from its first line; false with a reason.
    bool start(const std::vector<std::string> &arguments, std::string &error);
    [[nodiscard]] const std::string &path() const { return m_path; }

    void signal(int number) const;
    // The exit status once the process has ended by itself or by a signal sent before;
    // nothing if it is still running after the patience.
    [[nodiscard]] std::optional<int> waitForExit(int patienceMs = kPatienceMs);

private:
    testing_support::ChildProcess m_process;
    std::string m_path;
};

// The tool's end of the terminal: raw mode, 9600 8N1.
class PortClient
{
public:
    PortClient() = default;
    ~PortClient();
    PortClient(const PortClient &) = delete;
    PortClient &operator=(const PortClient &) = delete;

    bool open(const std::string &path, std::string &error);
    void close();
    bool write(const Bytes &bytes);
    // Reads until count bytes have come or the patience is over; returns what came.
    [[nodiscard]] Bytes read(std::size_t count, int patienceMs = kPatienceMs);
    // Everything that arrives within the window (for checking that nothing comes).
    [[nodiscard]] Bytes readFor(int windowMs);
    // true when the other side has gone (end of file or an error on read).
    [[nodiscard]] bool hungUp(int patienceMs = kPatienceMs);

private:
    int m_fd = -1;
};

// Runs a command through the shell; its exit status and everything it printed.
struct CommandResult
{
    int status = -1;
    std::string output;
};
[[nodiscard]] CommandResult runCommand(const std::string &command);

[[nodiscard]] bool programInstalled(const std::string &name);

} // namespace simtest
