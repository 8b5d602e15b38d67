#pragma once
#include "line_settings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

namespace serial {

// The serial-port control of the main window. Every operation the tool uses, named after
// the property it stands for. All settings are accepted while the port is closed and take
// effect at the next open; only opening can fail.
class SerialControl : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SerialControl() override = default;

    // Port number 1..25 for the next open; reading gives the number last set.
    virtual void setCommPort(int port) = 0;
    [[nodiscard]] virtual int commPort() const = 0;

    // "9600,N,8,1": speed, parity, data bits, stop bits for the next open (and, on an open
    // port, at once).
    virtual void setSettings(const QString &settings) = 0;

    [[nodiscard]] virtual bool portOpen() const = 0;
    // true opens with the current CommPort and Settings, false closes. Returns false when
    // the port cannot be opened (missing, held by another program, no permission).
    virtual bool setPortOpen(bool open) = 0;
    // Why the last failed open failed, in the window's language; empty when not known.
    [[nodiscard]] virtual QString openFailureCause() const { return QString(); }

    virtual void setInputMode(int mode) = 0;
    virtual void setInputLen(int length) = 0;
    // 0 discards received bytes not yet read.
    virtual void setInBufferCount(int count) = 0;
    [[nodiscard]] virtual int inBufferCount() const = 0;
    // 0 discards bytes not yet sent.
    virtual void setOutBufferCount(int count) = 0;
    virtual void setSThreshold(int threshold) = 0;
    // 0: no receive events; n: OnComm with CommEvent 2 once at least n bytes wait.
    virtual void setRThreshold(int threshold) = 0;
    [[nodiscard]] virtual int rThreshold() const = 0;

    // Queues the bytes for sending; does not wait for them to leave.
    virtual void setOutput(const QByteArray &bytes) = 0;
    // All waiting bytes; they leave the receive buffer.
    [[nodiscard]] virtual QByteArray input() = 0;
    // The most recent event: 2 for received data, an error code otherwise.
    [[nodiscard]] virtual int commEvent() const = 0;

    // The serial line the bytes cross, as it is set now. Nothing when the tool has no line
    // of its own: a device server over the network sets its line itself.
    [[nodiscard]] virtual std::optional<LineSettings> line() const { return std::nullopt; }

signals:
    // Raised from the event loop, never from inside one of the calls above.
    void OnComm();
    // The bytes as they leave for the line and as they come off it, with the moment they
    // passed: what a traffic monitor observes. Nothing of the tool's own work depends on them.
    void trafficSent(const QByteArray &bytes, std::chrono::steady_clock::time_point at);
    void trafficReceived(const QByteArray &bytes, std::chrono::steady_clock::time_point at);
};

} // namespace serial
