#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace testing_support {
namespace {

// Nanoseconds on CLOCK_MONOTONIC (steady_clock on Linux), the clock of rx904-sim's log.
long long monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_stdout >= 0)
        ::close(m_stdout);
}

bool ChildProcess::start(const Launch &launch, std::string &error)
{
    std::vector<std::string> environment;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto &[setName, value] : launch.environment)
            replaced = replaced || setName == name;
        if (!replaced)
            environment.push_back(text);
    }
    for (const auto &[name, value] : launch.environment)
        environment.push_back(name + "=" + value);

    std::vector<std::string> arguments = launch.arguments;
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (launch.stdoutFile.empty()) {
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            error = std::string("pipe: ") + std::strerror(errno);
            posix_spawn_file_actions_destroy(&actions);
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, launch.stdoutFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (launch.quietStderr)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    m_startedNs = monotonicNs();
    const int spawned =
        ::posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    m_stdout = pipeFds[0];
    if (spawned != 0) {
        m_pid = -1;
        error = launch.arguments.front() + ": " + std::strerror(spawned);
        return false;
    }
    return true;
}

std::optional<std::string> ChildProcess::readLine(int patienceMs)
{
    const long long deadline = monotonicNs() + static_cast<long long>(patienceMs) * 1'000'000;
    for (;;) {
        if (const auto end = m_pending.find('\n'); end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        const long long left = deadline - monotonicNs();
        if (m_stdout < 0 || left <= 0)
            return std::nullopt;
        pollfd fd{m_stdout, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left / 1'000'000) + 1) <= 0)
            continue;
        char buffer[512];
        const ssize_t count = ::read(m_stdout, buffer, sizeof buffer);
        if (count <= 0)
            return std::nullopt;
        m_pending.append(buffer, static_cast<std::size_t>(count));
    }
}

void ChildProcess::signal(int number) const
{
    if (m_pid > 0)
        ::kill(m_pid, number);
}

std::optional<int> ChildProcess::wait(int patienceMs)
{
    if (m_pid <= 0)
        return std::nullopt;
    const long long deadline = monotonicNs() + static_cast<long long>(patienceMs) * 1'000'000;
    for (;;) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (monotonicNs() >= deadline)
            return std::nullopt;
        ::usleep(2000);
    }
}

} // namespace testing_support
