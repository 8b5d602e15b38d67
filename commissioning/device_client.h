#pragma once
#include "modbus/request_frame.h"
#include "serial/transport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace commissioning {

using Clock = std::chrono::steady_clock;

// The client's clock and its one deadline. The window runs on the system's; tests read a
// clock they set and fire the deadline themselves, so nothing in them sleeps.
class DeadlineTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    [[nodiscard]] virtual Clock::time_point now() const = 0;
    // Raises expired once, after the time, unless stopped or started again first.
    virtual void start(std::chrono::nanoseconds after) = 0;
    virtual void stop() = 0;

signals:
    void expired();
};

class QtDeadlineTimer : public DeadlineTimer
{
    Q_OBJECT

public:
    explicit QtDeadlineTimer(QObject *parent = nullptr);
    [[nodiscard]] Clock::time_point now() const override { return Clock::now(); }
    void start(std::chrono::nanoseconds after) override;
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

// How one exchange ended.
enum class Outcome {
    Answered,
    TimedOut,      // no byte came in either try
    Incomplete,    // fewer bytes than the request asks for
    BadCrc,        // the answer's CRC does not match its bytes
    WrongStation,  // another station answered
    WrongFunction, // the answer is for another function
    WrongLength,   // the answer's byte count (or a write's echo) is not the request's
    Exception,     // the device refused the request (function | 0x80, a code)
    PortClosed,
};

struct Reply
{
    Outcome outcome = Outcome::TimedOut;
    QByteArray answer; // the bytes of the last try, when any came
    int exceptionCode = 0;
    int tries = 0;
    // From the answered try's request leaving to its answer's last byte.
    std::chrono::nanoseconds responseTime{};

    [[nodiscard]] bool ok() const { return outcome == Outcome::Answered; }
};

// Why an exchange failed, in the window's language.
[[nodiscard]] QString outcomeText(const Reply &reply);

// A device's time between the end of a request and the start of its answer that the tool
// allows for: the RX904 answers within a few milliseconds, a busy USB adapter adds tens.
inline constexpr std::chrono::milliseconds kTurnaroundAllowance{100};

// How long one try waits at a line speed: the request and the answer on the line, the
// frame silence after each, and the turnaround allowance. 9600 baud, a 35-byte answer:
// 43 x 1.04 ms + 2 x 3.65 ms + 100 ms = 152 ms.
[[nodiscard]] std::chrono::nanoseconds tryTimeout(int baud, int answerLength);

// One request at a time over a transport it holds alone (lent by the main window): each try
// waits for the answer the request asks for or its time-out, the exchange judge decides,
// and everything but a refusal gets one more try. Bytes that come while no request waits,
// or late for an earlier try, are dropped before the next request leaves.
class DeviceClient : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(const Reply &)>;

    // Without a transport (the port would not open) every request ends as PortClosed.
    DeviceClient(serial::Transport *line, DeadlineTimer &timer, QObject *parent = nullptr);

    // The line speed: the line is set to it at once, and the time-outs follow it.
    void setBaud(int baud);
    [[nodiscard]] int baud() const { return m_baud; }

    // Tries per request, 1 or more (2 unless set).
    void setTries(int tries);
    // Each try's time-out instead of tryTimeout() at the line speed; nothing to follow it again.
    void setTryTimeout(std::optional<std::chrono::nanoseconds> timeout);
    // After a try without a usable answer the next request leaves only once the line has had
    // this long to carry the late answer, whose bytes are dropped (0 unless set).
    void setQuietAfterFailure(std::chrono::nanoseconds quiet);
    // Bytes dropped so far: come while no request waited, or left by a failed try.
    [[nodiscard]] qint64 discardedBytes() const { return m_discarded; }
    // How the last request that ended did; a job's message names it only in words.
    [[nodiscard]] const Reply &lastReply() const { return m_lastReply; }

    // Sends the request; done runs from the event loop once it has ended, never inside
    // send. The answer must come from `station`, the one the request is sent to, or from any
    // station when none is given (the address read). false, and nothing sent, while another
    // request is open.
    bool send(const modbus::RequestFrame &request, std::optional<std::uint8_t> station, Done done);
    [[nodiscard]] bool busy() const { return static_cast<bool>(m_done); }
    // Forgets the open request; its done never runs.
    void cancel();

    // Works over another line from now on (the port opened again after it was lost).
    void setLine(serial::Transport *line);
    [[nodiscard]] serial::Transport *line() const { return m_line; }

signals:
    // The line went away while held, with its cause in the window's language; the request
    // that waited, and those after it, end as PortClosed.
    void lineLost(const QString &cause);

private:
    void sendTry();
    void transmit();
    void received(const QByteArray &bytes);
    void lost(const QString &cause);
    void expired();
    [[nodiscard]] std::optional<Outcome> judge() const;
    [[nodiscard]] QByteArray requestBytes() const;
    [[nodiscard]] bool lineOpen() const;
    void finish(Outcome outcome);

    QPointer<serial::Transport> m_line;
    DeadlineTimer &m_timer;
    int m_baud = 9600;
    modbus::RequestFrame m_request{};
    std::optional<std::uint8_t> m_station;
    Done m_done;
    QByteArray m_received;
    int m_tries = 0;
    int m_maxTries = 2;
    std::optional<std::chrono::nanoseconds> m_tryTimeout;
    std::chrono::nanoseconds m_quiet{};
    std::optional<Clock::time_point> m_quietUntil; // set after a failed try
    bool m_quieting = false;
    qint64 m_discarded = 0;
    Reply m_lastReply;
    Clock::time_point m_sentAt{};
};

} // namespace commissioning
