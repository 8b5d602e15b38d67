#pragma once
#include "comm_control.h"

#include "serial/line_settings.h"
#include "serial/open_failure.h"
#include "serial/port_directory.h"
#include "serial/transport_factory.h"

#include <memory>
#include <utility>

namespace ops {

// Received bytes not yet read are kept up to this many, like the input buffer of a hardware
// serial control; what arrives beyond it is dropped and reported once as kComEventRxOver.
inline constexpr qsizetype kInBufferSize = 4096;

// MSComm1 over a transport: the control's operations, its receive buffer, threshold and
// events, on whichever transport reaches the device behind CommPort (made anew at every
// open, so COMn follows the device map and the system's devices of that moment).
//
// The open transport can be lent to another part of the tool (the configuration window),
// which then talks to the device alone: while lent, the control sees no bytes and keeps
// none, and a lost line is the holder's to report. Given back, the control is as it was,
// on the line settings it had.
class CommAdapter : public CommControl
{
    Q_OBJECT

public:
    explicit CommAdapter(serial::PortDirectory &ports,
                         serial::TransportFactory factory = serial::makeTransport,
                         QObject *parent = nullptr);
    ~CommAdapter() override;

    // Values outside 1..25 are ignored. Set while open, the number waits for the next open.
    void setCommPort(int port) override;
    [[nodiscard]] int commPort() const override { return m_commPort; }
    // A text that does not parse is ignored and the previous settings stay.
    void setSettings(const QString &settings) override;
    [[nodiscard]] serial::LineSettings settings() const { return m_settings; }

    [[nodiscard]] bool portOpen() const override;
    bool setPortOpen(bool open) override;
    [[nodiscard]] QString openFailureCause() const override;

    // The transport always gives bytes, and sends no send events: both are accepted as the
    // handlers set them, and change nothing.
    void setInputMode(int mode) override { Q_UNUSED(mode); }
    void setSThreshold(int threshold) override { Q_UNUSED(threshold); }
    void setInputLen(int length) override;
    // 0 also discards what the system has received and not delivered yet.
    void setInBufferCount(int count) override;
    [[nodiscard]] int inBufferCount() const override;
    // Every request is handed to the system at once, so nothing waits to be discarded; a
    // request already on its way is never cut.
    void setOutBufferCount(int count) override { Q_UNUSED(count); }
    void setRThreshold(int threshold) override;
    [[nodiscard]] int rThreshold() const override { return m_rThreshold; }

    void setOutput(const QByteArray &bytes) override;
    // With InputLen 0 everything waiting, otherwise at most InputLen bytes.
    [[nodiscard]] QByteArray input() override;
    [[nodiscard]] int commEvent() const override { return m_commEvent; }

    [[nodiscard]] QString takeLostCause() override { return std::exchange(m_lostCause, {}); }
    [[nodiscard]] QStringList portToolTips() override { return m_ports.describePorts(); }

    // The transport of the last open, for those who only watch it; nothing before the first.
    [[nodiscard]] serial::Transport *transport() const { return m_transport.get(); }

    // Nothing to lend while the port is closed or lent already.
    [[nodiscard]] serial::Transport *lend() override;
    void giveBack() override;
    [[nodiscard]] bool lent() const override { return m_lent; }

signals:
    // An open made a new transport: watchers of the line follow it from here.
    void transportChanged(serial::Transport *transport);
    // The port was opened (with its settings) or closed, in words for the traffic record.
    void lineEvent(const QString &text);

private:
    void received(const QByteArray &bytes);
    void lineLost(const QString &cause);
    [[nodiscard]] bool refusalWaiting() const;
    void discardReceived();
    void raise(int event);

    serial::PortDirectory &m_ports;
    serial::TransportFactory m_factory;
    std::unique_ptr<serial::Transport> m_transport;
    serial::OpenAttempt m_lastOpen;
    QString m_lostCause;
    // The request last written, to tell a refusal from the start of a longer answer.
    QByteArray m_lastRequest;
    QByteArray m_inBuffer;
    serial::LineSettings m_settings;
    int m_commPort = 1;
    int m_inputLen = 0;
    int m_rThreshold = 0;
    int m_commEvent = 0;
    bool m_overrun = false;
    bool m_lent = false;
};

} // namespace ops
