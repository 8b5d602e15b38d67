#pragma once
#include "transport.h"

#include <QList>

namespace serial {

// A transport for tests: it opens or fails as told, keeps what is written, and delivers bytes
// and a lost line when the test says, in any pieces and at any moment. Like the real ones it
// raises its signals only from the event loop.
class FakeTransport : public Transport
{
    Q_OBJECT

public:
    explicit FakeTransport(QString location = QStringLiteral("/dev/fake"),
                           QObject *parent = nullptr);

    // What open() gives from now on; nothing fails by default.
    OpenAttempt openResult;
    // Every write while open, in order.
    QList<QByteArray> written;
    int inputDiscards = 0;

    [[nodiscard]] QString location() const override { return m_location; }
    [[nodiscard]] OpenAttempt open() override;
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    void write(const QByteArray &bytes) override;
    void discardInput() override { ++inputDiscards; }
    [[nodiscard]] std::optional<LineSettings> line() const override { return m_line; }
    void setLine(const LineSettings &settings) override { m_line = settings; }

    // Bytes from the device, raised from the event loop as received(); `at` defaults to now.
    void deliver(const QByteArray &bytes, std::optional<TimePoint> at = std::nullopt);
    // The line goes away: closed at once, lost(cause) from the event loop.
    void loseLine(const QString &cause = QStringLiteral("设备 /dev/fake 已断开"));

private:
    QString m_location;
    LineSettings m_line;
    bool m_open = false;
};

} // namespace serial
