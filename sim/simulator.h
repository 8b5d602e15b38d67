#pragma once
#include "answer_plan.h"
#include "device_model.h"
#include "event_log.h"
#include "frame_splitter.h"
#include "options.h"
#include "pty_port.h"
#include "tcp_port.h"

#include <csignal>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sim {

// The device on its pseudo-terminal or behind a TCP port: one poll() loop that sleeps until a byte
// arrives or the next deadline (end of a frame by silence, a byte due on the line, garbage, exit,
// log flush) comes; nothing runs between events.
class Simulator
{
public:
    explicit Simulator(Options options);

    // Opens the terminal, prints its path, serves until a stop. Returns the exit status.
    int run();

private:
    struct Pending
    {
        double at = 0.0;
        std::vector<std::uint8_t> bytes;
        std::size_t written = 0;
        bool firstOfAnswer = false;
        bool lastOfAnswer = false;
        std::string answerHex;
    };

    bool start();
    void stop(const char *reason);
    bool readInput(const Stamp &now);
    [[nodiscard]] bool overTcp() const { return !m_options.tcpAddress.empty(); }
    // The descriptor the tool's bytes come from and the answers go to; -1 with no client.
    [[nodiscard]] int lineFd() const { return overTcp() ? m_tcp.clientFd() : m_port.masterFd(); }
    bool acceptClient();
    bool clientLeft();
    void handleFrame(const std::vector<std::uint8_t> &frame, const Stamp &now);
    void closeWhenDrained(double now);
    void writeDue(double now);
    void writeGarbage(double now);
    [[nodiscard]] std::optional<double> nextDeadline() const;
    [[nodiscard]] std::optional<double> garbageDeadline() const;
    void logDiscarded();
    // The speed in the baud-rate register, 0 when it holds none of the five.
    [[nodiscard]] int speedOfRegister() const;

    Options m_options;
    DeviceModel m_model;
    FrameSplitter m_splitter;
    PtyPort m_port;
    TcpPort m_tcp;
    EventLog m_log;
    LineTiming m_timing;
    // The speed the device listens and answers at; a written baud-rate register changes it.
    int m_deviceBaud = 9600;
    long m_missed = 0;
    std::deque<Pending> m_output;
    double m_lineFreeAt = 0.0;
    bool m_outputBlocked = false;
    long m_answered = 0;
    double m_startTime = 0.0;
    std::optional<double> m_exitAt;
    // Set once the last answer before closing is written: the tool gets to read it first.
    std::optional<double> m_closingSince;
    bool m_stopping = false;
    // When the terminal last took bytes from us.
    std::optional<double> m_lastWriteAt;
    std::mt19937 m_random{904};
    double m_garbageStart = 0.0;
    double m_garbageWritten = 0.0;
};

} // namespace sim
