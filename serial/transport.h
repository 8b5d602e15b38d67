#pragma once
#include "line_settings.h"
#include "open_failure.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

namespace serial {

using TimePoint = std::chrono::steady_clock::time_point;

// A byte line to one device: a serial port, or a serial device server over TCP. It knows
// nothing of frames; whoever holds it writes requests and reads what comes back.
//
// received() and lost() are raised from the event loop, never from inside one of the calls
// below, so their slots may call them freely (a write that fails reports the lost line on the
// next pass). sent() is raised inside write(), for observers that only look.
class Transport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~Transport() override = default;

    // "/dev/ttyUSB0", "COM3", "tcp://192.168.1.200:4001": the device this transport reaches.
    [[nodiscard]] virtual QString location() const = 0;

    // Opens the line; on failure it stays closed and the attempt says why. Opening an open
    // transport fails and leaves it open.
    [[nodiscard]] virtual OpenAttempt open() = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // Hands the bytes to the system at once, without waiting for them to leave the line.
    virtual void write(const QByteArray &bytes) = 0;
    // Drops what the system has received and not delivered yet: late bytes of an earlier
    // answer must not become the start of the next one.
    virtual void discardInput() = 0;

    // The serial line as it is set now; nothing where a device server sets its own line.
    [[nodiscard]] virtual std::optional<LineSettings> line() const { return std::nullopt; }
    // Applied at once on an open line and kept for the next open; a device server ignores it.
    virtual void setLine(const LineSettings &settings) { Q_UNUSED(settings); }

signals:
    // Bytes as they came off the line, with the moment the system handed them over.
    void received(const QByteArray &bytes, serial::TimePoint at);
    // Bytes as they were handed to the system for sending, with that moment.
    void sent(const QByteArray &bytes, serial::TimePoint at);
    // The line went away while open (adapter unplugged, server closed the connection); the
    // transport is closed already. The cause is in the window's language.
    void lost(const QString &cause);
};

} // namespace serial
