#include "fake_transport.h"

#include <QMetaObject>

namespace serial {

FakeTransport::FakeTransport(QString location, QObject *parent)
    : Transport(parent), m_location(std::move(location))
{
}

OpenAttempt FakeTransport::open()
{
    if (m_open)
        return {OpenFailure::Other, m_location, QString()};
    m_open = openResult.failure == OpenFailure::None;
    return openResult;
}

void FakeTransport::write(const QByteArray &bytes)
{
    if (!m_open || bytes.isEmpty())
        return;
    written << bytes;
    emit sent(bytes, std::chrono::steady_clock::now());
}

void FakeTransport::deliver(const QByteArray &bytes, std::optional<TimePoint> at)
{
    const TimePoint when = at.value_or(std::chrono::steady_clock::now());
    QMetaObject::invokeMethod(
        this,
        [this, bytes, when] {
            if (m_open)
                emit received(bytes, when);
        },
        Qt::QueuedConnection);
}

void FakeTransport::loseLine(const QString &cause)
{
    m_open = false;
    QMetaObject::invokeMethod(
        this, [this, cause] { emit lost(cause); }, Qt::QueuedConnection);
}

} // namespace serial
