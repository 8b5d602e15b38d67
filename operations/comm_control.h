#pragma once
#include "serial/comm_events.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

namespace serial {
class Transport;
}

namespace ops {

// The main window's serial-port control MSComm1: the operations its handlers use, named
// after the properties of the classic serial communications control they stand for. Every
// setting is accepted while the port is closed and takes effect at the next open; only
// opening can fail.
class CommControl : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~CommControl() override = default;

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

    // What took the port away when it was last lost ("设备 /dev/ttyUSB0 已断开"), given once:
    // empty after that, and after the next open.
    [[nodiscard]] virtual QString takeLostCause() { return QString(); }

    // The tooltips of COM1 … COM25 in the port list: the device each reaches now.
    [[nodiscard]] virtual QStringList portToolTips() { return {}; }

    // The open line, lent to another part of the tool that then talks to the device alone
    // (the configuration window); nothing when there is none to lend. While it is lent the
    // control sees no bytes and keeps none; given back, the control is as it was.
    [[nodiscard]] virtual serial::Transport *lend() { return nullptr; }
    virtual void giveBack() {}
    [[nodiscard]] virtual bool lent() const { return false; }

signals:
    // Raised from the event loop, never from inside one of the calls above.
    void OnComm();
};

} // namespace ops
