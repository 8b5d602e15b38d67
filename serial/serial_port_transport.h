#pragma once
#include "transport.h"

#include <QSerialPort>

namespace serial {

// A serial device through QSerialPort: "/dev/ttyUSB0", a pseudo-terminal, "\\.\COM3".
// Held exclusively while open, so a second program cannot interleave its frames.
class SerialPortTransport : public Transport
{
    Q_OBJECT

public:
    explicit SerialPortTransport(QString systemLocation, QObject *parent = nullptr);
    ~SerialPortTransport() override;

    [[nodiscard]] QString location() const override { return m_location; }
    [[nodiscard]] OpenAttempt open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_port.isOpen(); }
    void write(const QByteArray &bytes) override;
    void discardInput() override;
    [[nodiscard]] std::optional<LineSettings> line() const override { return m_line; }
    void setLine(const LineSettings &settings) override;

private:
    void readAll();
    void errorOccurred(QSerialPort::SerialPortError error);
    void lose();
    void applyLine();
    [[nodiscard]] bool holdExclusively();
    [[nodiscard]] bool hungUp() const;

    QString m_location;
    QSerialPort m_port;
    LineSettings m_line;
    bool m_closing = false;
};

} // namespace serial
