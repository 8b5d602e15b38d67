#include "simulator.h"

#include "modbus/frame_timing.h"
#include "modbus/register_map.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sim {

namespace {

// A pseudo-terminal hands over a write at once, so the line's own silence may be shorter
// than the scheduler's jitter; the splitter never ends a frame sooner than this.
constexpr double kMinimumSilence = 0.002;
constexpr std::size_t kGarbageChunk = 4096;
// Before closing, the last answer is left this long for the tool to take, and the queue is
// watched this often; a tool that never reads it is given up on after the patience.
constexpr double kDrainSettle = 0.02;
constexpr double kDrainCheck = 0.005;
constexpr double kDrainPatience = 2.0;
// The kernel passes a pseudo-terminal's written bytes on to its reader a moment later, so
// the count of unread bytes is taken only once the last write is this old.
constexpr double kHandOverSettle = 0.1;
// Rate-limited garbage is written at most this often.
constexpr double kGarbageGranularity = 0.01;

volatile std::sig_atomic_t g_stopSignal = 0;

void onStopSignal(int signal)
{
    g_stopSignal = signal;
}

std::string hexText(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

timespec relativeTimeout(double seconds)
{
    seconds = std::max(seconds, 0.0);
    timespec timeout{};
    timeout.tv_sec = static_cast<time_t>(seconds);
    timeout.tv_nsec = static_cast<long>((seconds - static_cast<double>(timeout.tv_sec)) * 1e9);
    return timeout;
}

} // namespace

Simulator::Simulator(Options options)
    : m_options(std::move(options)),
      m_splitter(std::max(seconds(modbus::frameSilence(m_options.baud)), kMinimumSilence)),
      m_timing{m_options.baud, m_options.wireTiming, m_options.turnaroundSeconds,
               m_options.delivery}
{
    if (m_options.station)
        m_model.setStation(*m_options.station);
    if (m_options.identification)
        m_model.setIdentification(*m_options.identification);
    if (std::ranges::find(modbus::kBaudRates, m_options.baud) != modbus::kBaudRates.end())
        m_model.setRegister(kBaudRegister, static_cast<std::uint16_t>(m_options.baud));
    if (m_options.refuseWrite)
        m_model.refuseWritesTo(*m_options.refuseWrite);
}

int Simulator::speedOfRegister() const
{
    const int speed = m_model.registerValue(kBaudRegister, 0.0);
    return std::ranges::find(modbus::kBaudRates, speed) != modbus::kBaudRates.end() ? speed : 0;
}

bool Simulator::start()
{
    for (const auto &[index, value] : m_options.registers) {
        if (!m_model.setRegister(index, value)) {
            std::fprintf(stderr, "rx904-sim: register %d cannot hold %u\n", index, value);
            return false;
        }
    }
    // The baud-rate register names the device's speed, unless --baud gives one the register
    // cannot hold and no register value was asked for.
    const bool registerGiven = std::ranges::any_of(
        m_options.registers, [](const auto &setting) { return setting.first == kBaudRegister; });
    const bool baudInRegister =
        std::ranges::find(modbus::kBaudRates, m_options.baud) != modbus::kBaudRates.end();
    m_deviceBaud = (registerGiven || baudInRegister) && speedOfRegister() != 0 ? speedOfRegister()
                                                                               : m_options.baud;
    std::string error;
    if (!m_options.logPath.empty() && !m_log.open(m_options.logPath, error)) {
        std::fprintf(stderr, "rx904-sim: %s\n", error.c_str());
        return false;
    }
    const bool opened =
        overTcp() ? m_tcp.open(m_options.tcpAddress, error) : m_port.open(m_options.baud, error);
    if (!opened) {
        std::fprintf(stderr, "rx904-sim: %s\n", error.c_str());
        return false;
    }
    if (!m_options.linkPath.empty() && !placeLink(m_options.linkPath, m_port.slavePath(), error)) {
        std::fprintf(stderr, "rx904-sim: %s\n", error.c_str());
        return false;
    }
    m_startTime = monotonicNow();
    m_garbageStart = m_startTime;
    if (m_options.exitAfterSeconds)
        m_exitAt = m_startTime + *m_options.exitAfterSeconds;
    // What the tool opens: RX904_COM1=$(rx904-sim | head -n 1) works for both.
    const std::string name = overTcp() ? "tcp://" + m_tcp.address() : m_port.slavePath();
    std::printf("%s\n", name.c_str());
    std::fflush(stdout);
    m_log.write("start", name);
    return true;
}

void Simulator::stop(const char *reason)
{
    if (m_stopping)
        return;
    m_stopping = true;
    logDiscarded();
    // Closing the terminal hangs it up, and the kernel drops what the tool has not read yet.
    if (m_lastWriteAt) {
        const double wait = *m_lastWriteAt + kHandOverSettle - monotonicNow();
        if (wait > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    }
    if (const int unread = m_port.unreadByTool(); unread > 0)
        m_log.write("unread", std::to_string(unread));
    m_log.write("exit", reason);
    m_port.close();
    m_tcp.close();
    if (!m_options.linkPath.empty())
        removeLink(m_options.linkPath, m_port.slavePath());
    m_log.flush();
}

int Simulator::run()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // The stop signals are taken only inside ppoll(), so none is lost between the check
    // of the flag and going to sleep.
    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, signal);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigdelset(&waitMask, signal);

    if (!start()) {
        stop("error");
        return 1;
    }
    int status = 0;
    while (!m_stopping) {
        if (g_stopSignal != 0) {
            stop("signal");
            break;
        }
        // poll() passes over a descriptor of -1: the listening one on a pseudo-terminal or
        // while a client is connected, the line while none is.
        std::array<pollfd, 2> fds{pollfd{lineFd(), POLLIN, 0}, pollfd{m_tcp.listenFd(), POLLIN, 0}};
        pollfd &port = fds[0];
        if (m_outputBlocked)
            port.events |= POLLOUT;
        const std::optional<double> deadline = nextDeadline();
        timespec timeout{};
        if (deadline)
            timeout = relativeTimeout(*deadline - monotonicNow());
        const int ready = ::ppoll(fds.data(), fds.size(), deadline ? &timeout : nullptr, &waitMask);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "rx904-sim: poll: %s\n", std::strerror(errno));
            stop("error");
            status = 1;
            break;
        }
        const Stamp stamp = stampNow();
        const double now = stamp.seconds();
        if (ready > 0 && (port.revents & POLLOUT) != 0)
            m_outputBlocked = false;
        if (ready > 0 && (port.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !readInput(stamp)) {
            stop("error");
            status = 1;
            break;
        }
        if (ready > 0 && (fds[1].revents & POLLIN) != 0 && !acceptClient()) {
            stop("error");
            status = 1;
            break;
        }
        for (const auto &frame : m_splitter.poll(now))
            handleFrame(frame, stamp);
        logDiscarded();
        writeDue(now);
        if (m_options.faults.garbage)
            writeGarbage(now);
        closeWhenDrained(now);
        if (m_exitAt && now >= *m_exitAt)
            stop("exit-after");
        if (const auto flushAt = m_log.flushDeadline(); flushAt && now >= *flushAt)
            m_log.flush();
    }
    return status;
}

bool Simulator::readInput(const Stamp &now)
{
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(lineFd(), buffer.data(), buffer.size());
        if (count > 0) {
            const auto frames = m_splitter.feed(
                std::span(buffer).first(static_cast<std::size_t>(count)), now.seconds());
            for (const auto &frame : frames)
                handleFrame(frame, now);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (overTcp())
            return clientLeft();
        // The slave side is held open here, so the master never sees a hang-up; if it
        // does, the terminal is unusable.
        std::fprintf(stderr, "rx904-sim: terminal lost: %s\n",
                     count == 0 ? "end of file" : std::strerror(errno));
        return false;
    }
}

bool Simulator::acceptClient()
{
    std::string error;
    if (!m_tcp.acceptClient(error)) {
        std::fprintf(stderr, "rx904-sim: %s\n", error.c_str());
        return false;
    }
    if (m_tcp.clientFd() >= 0)
        m_log.write("connect");
    return true;
}

// Answers still due were meant for the client that left; the next one starts afresh.
bool Simulator::clientLeft()
{
    m_log.write("disconnect");
    m_output.clear();
    m_outputBlocked = false;
    std::string error;
    if (!m_tcp.dropClient(error)) {
        std::fprintf(stderr, "rx904-sim: %s\n", error.c_str());
        return false;
    }
    return true;
}

void Simulator::handleFrame(const std::vector<std::uint8_t> &frame, const Stamp &now)
{
    logDiscarded();
    m_log.write(now, "request", hexText(frame));
    if (m_closingSince) {
        m_log.write("no-answer", "closing");
        return;
    }
    if (m_options.faults.garbage) {
        m_log.write("no-answer", "garbage");
        return;
    }
    if (m_options.faults.silent) {
        m_log.write("no-answer", "silent");
        return;
    }
    // On a real line a wrong speed garbles every byte: the device hears no request. A device
    // server's TCP link has no speed of its own.
    if (!overTcp() && !m_port.toolSpeedIs(m_deviceBaud)) {
        m_log.write("no-answer", "wrong-speed");
        return;
    }
    if (m_missed < m_options.missFirst) {
        ++m_missed;
        m_log.write("no-answer", "missed");
        return;
    }
    const int speedBefore = speedOfRegister();
    const std::vector<std::uint8_t> answer =
        corruptAnswer(m_model.handleRequest(frame, now.seconds() - m_startTime), m_options.faults);
    // A written speed is taken once the echo, still at the old speed, is on its way.
    if (speedOfRegister() != speedBefore && speedOfRegister() != 0)
        m_deviceBaud = speedOfRegister();
    if (answer.empty()) {
        m_log.write("no-answer", frame[0] == kBroadcastStation ? "broadcast" : "other-station");
        return;
    }
    std::vector<TimedChunk> chunks = scheduleAnswer(answer, frame.size(), now.seconds(),
                                                    m_lineFreeAt, m_timing, m_options.faults);
    m_lineFreeAt = std::max(m_lineFreeAt, lineFreeAfter(chunks, m_timing));
    chunks = deliver(std::move(chunks), m_timing);
    for (std::size_t index = 0; index < chunks.size(); ++index) {
        Pending pending;
        pending.at = chunks[index].at;
        pending.bytes = std::move(chunks[index].bytes);
        pending.firstOfAnswer = index == 0;
        pending.lastOfAnswer = index + 1 == chunks.size();
        if (pending.lastOfAnswer)
            pending.answerHex = hexText(answer);
        m_output.push_back(std::move(pending));
    }
}

void Simulator::writeDue(double now)
{
    while (!m_stopping && !m_outputBlocked && !m_output.empty() && m_output.front().at <= now) {
        Pending &pending = m_output.front();
        const ssize_t count = ::write(lineFd(), pending.bytes.data() + pending.written,
                                      pending.bytes.size() - pending.written);
        if (count < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                m_outputBlocked = true;
            else if (errno != EINTR)
                m_output.clear();
            continue;
        }
        const bool wasUnstarted = pending.written == 0;
        if (count > 0 && !overTcp())
            m_lastWriteAt = now;
        pending.written += static_cast<std::size_t>(count);
        if (pending.firstOfAnswer && wasUnstarted && count > 0)
            m_log.write("answer-first");
        if (pending.written < pending.bytes.size()) {
            m_outputBlocked = true;
            continue;
        }
        if (pending.lastOfAnswer) {
            m_log.write("answer-last", pending.answerHex);
            ++m_answered;
        }
        m_output.pop_front();
        if (m_options.closeAfterRequests && m_answered >= *m_options.closeAfterRequests &&
            !m_closingSince) {
            m_closingSince = now;
            m_output.clear();
        }
    }
}

void Simulator::closeWhenDrained(double now)
{
    if (!m_closingSince || m_stopping)
        return;
    const double waited = now - *m_closingSince;
    if ((waited >= kDrainSettle && m_port.unreadByTool() == 0) || waited >= kDrainPatience)
        stop("close-after-requests");
}

std::optional<double> Simulator::garbageDeadline() const
{
    if (!m_options.faults.garbage || m_outputBlocked || lineFd() < 0)
        return std::nullopt;
    if (!m_options.garbageRate)
        return 0.0;
    return std::max(m_garbageStart + (m_garbageWritten + 1.0) / *m_options.garbageRate,
                    monotonicNow() + kGarbageGranularity);
}

void Simulator::writeGarbage(double now)
{
    while (!m_stopping && !m_outputBlocked) {
        std::size_t wanted = kGarbageChunk;
        if (m_options.garbageRate) {
            const double due =
                std::floor((now - m_garbageStart) * *m_options.garbageRate) - m_garbageWritten;
            if (due < 1.0)
                return;
            wanted = std::min(wanted, static_cast<std::size_t>(due));
        }
        std::array<std::uint8_t, kGarbageChunk> bytes{};
        for (std::size_t i = 0; i < wanted; ++i)
            bytes[i] = static_cast<std::uint8_t>(m_random() & 0xFF);
        const ssize_t count = ::write(lineFd(), bytes.data(), wanted);
        if (count < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                m_outputBlocked = true;
            else if (errno != EINTR)
                return;
            continue;
        }
        m_garbageWritten += static_cast<double>(count);
        if (static_cast<std::size_t>(count) < wanted)
            m_outputBlocked = true;
    }
}

std::optional<double> Simulator::nextDeadline() const
{
    std::optional<double> next;
    const auto consider = [&next](std::optional<double> time) {
        if (time && (!next || *time < *next))
            next = time;
    };
    consider(m_splitter.deadline());
    if (!m_outputBlocked && !m_output.empty())
        consider(m_output.front().at);
    consider(garbageDeadline());
    consider(m_exitAt);
    if (m_closingSince)
        consider(std::max(*m_closingSince + kDrainSettle, monotonicNow() + kDrainCheck));
    consider(m_log.flushDeadline());
    return next;
}

void Simulator::logDiscarded()
{
    if (const std::size_t discarded = m_splitter.takeDiscarded(); discarded > 0)
        m_log.write("discard", std::to_string(discarded));
}

} // namespace sim
