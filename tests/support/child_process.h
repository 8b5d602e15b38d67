#pragma once
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace testing_support {

// A program run as a child process, ended (SIGKILL) when the object goes if it still runs.
// The tests and the benchmark start rx904-sim, rx904-tool and their helpers through it.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    struct Launch
    {
        std::vector<std::string> arguments;                           // the program's path first
        std::vector<std::pair<std::string, std::string>> environment; // set or replaced
        std::string stdoutFile; // empty: standard output is read through lines()
        bool quietStderr = false;
    };

    // Starts the program; false with a reason in error.
    bool start(const Launch &launch, std::string &error);
    // The next line of standard output, without its end; nothing at its end or after the
    // patience.
    [[nodiscard]] std::optional<std::string> readLine(int patienceMs);

    [[nodiscard]] pid_t pid() const { return m_pid; }
    // CLOCK_MONOTONIC just before the process was created.
    [[nodiscard]] long long startedNs() const { return m_startedNs; }
    void signal(int number) const;
    // The exit status (128 + signal when killed); nothing while it still runs after the
    // patience.
    std::optional<int> wait(int patienceMs);

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    long long m_startedNs = 0;
    std::string m_pending;
};

} // namespace testing_support
