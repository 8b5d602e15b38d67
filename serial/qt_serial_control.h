#pragma once
#include "comm_events.h"
#include "line_settings.h"
#include "open_failure.h"
#include "serial_control.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>

namespace serial {

// Bytes received and not yet read are kept up to this many, like the input buffer of a
// hardware serial control; what arrives beyond it is dropped and reported once as
// kComEventRxOver.
inline constexpr qsizetype kInBufferSize = 4096;

// The serial-port control on QSerialPort. COMn reaches a device by the rule in
// port_names.h, looked up again at every open. Everything runs on the thread that owns
// the object; OnComm is raised only from the event loop.
//
// A COMn named "tcp://HOST:PORT" reaches a serial device server over a QTcpSocket instead,
// with the same buffer and events. Its line settings are kept but do not apply (the
// converter's own settings set the line), a refused or unanswered connection is a failed
// open, and a dropped connection is a vanished port.
class QtSerialControl : public SerialControl
{
    Q_OBJECT

public:
    explicit QtSerialControl(QObject *parent = nullptr);
    ~QtSerialControl() override;

    // Values outside 1..25 are ignored. Set while open, the number waits for the next open.
    void setCommPort(int port) override;
    [[nodiscard]] int commPort() const override { return m_commPort; }
    // A text that does not parse is ignored and the previous settings stay.
    void setSettings(const QString &settings) override;
    [[nodiscard]] LineSettings settings() const { return m_settings; }

    [[nodiscard]] bool portOpen() const override;
    bool setPortOpen(bool open) override;
    [[nodiscard]] QString openFailureCause() const override;

    void setInputMode(int mode) override;
    [[nodiscard]] int inputMode() const { return m_inputMode; }
    void setInputLen(int length) override;
    [[nodiscard]] int inputLen() const { return m_inputLen; }
    // 0 also discards the bytes QSerialPort or the socket has taken from the system, and on a
    // port what the system holds.
    void setInBufferCount(int count) override;
    [[nodiscard]] int inBufferCount() const override;
    // Over TCP nothing is discarded: a request leaves at once, and what the system still
    // holds of it cannot be taken back without cutting a frame.
    void setOutBufferCount(int count) override;
    void setSThreshold(int threshold) override;
    [[nodiscard]] int sThreshold() const { return m_sThreshold; }
    void setRThreshold(int threshold) override;
    [[nodiscard]] int rThreshold() const override { return m_rThreshold; }

    void setOutput(const QByteArray &bytes) override;
    // With InputLen 0 everything waiting, otherwise at most InputLen bytes.
    [[nodiscard]] QByteArray input() override;
    [[nodiscard]] int commEvent() const override { return m_commEvent; }
    // The stored settings, nothing while the device last opened is a device server.
    [[nodiscard]] std::optional<LineSettings> line() const override;

private:
    bool openPort();
    void closePort();
    bool holdExclusively();
    void applySettings(QSerialPort &port) const;
    enum class RaiseEvents { No, Yes };
    void takeIn(RaiseEvents events);
    void portErrorOccurred(QSerialPort::SerialPortError error);
    void connectionDropped();
    [[nodiscard]] bool overTcp() const { return m_device == &m_socket; }
    [[nodiscard]] bool deviceHungUp() const;
    void losePort();
    void discardReceived();
    void raise(int event);

    QSerialPort m_port;
    QTcpSocket m_socket;
    // The one of the two opened last: the port, or the socket for a device server.
    QIODevice *m_device = &m_port;
    OpenAttempt m_lastOpen;
    QByteArray m_inBuffer;
    LineSettings m_settings;
    int m_commPort = 1;
    int m_inputMode = kInputModeText;
    int m_inputLen = 0;
    int m_sThreshold = 0;
    int m_rThreshold = 0;
    int m_commEvent = 0;
    bool m_overrun = false;
    bool m_closing = false;
};

} // namespace serial
