#include "line_settings.h"

#include <QStringList>

namespace serial {

namespace {

std::optional<qint32> parseBaudRate(const QString &field)
{
    if (field.isEmpty())
        return std::nullopt;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint32 rate = field.toInt(&ok);
    if (!ok || rate <= 0)
        return std::nullopt;
    return rate;
}

std::optional<Parity> parseParity(const QString &field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toUpper().unicode()) {
    case 'N':
        return Parity::None;
    case 'E':
        return Parity::Even;
    case 'O':
        return Parity::Odd;
    case 'M':
        return Parity::Mark;
    case 'S':
        return Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<int> parseDataBits(const QString &field)
{
    if (field == QLatin1String("5"))
        return 5;
    if (field == QLatin1String("6"))
        return 6;
    if (field == QLatin1String("7"))
        return 7;
    if (field == QLatin1String("8"))
        return 8;
    return std::nullopt;
}

std::optional<StopBits> parseStopBits(const QString &field)
{
    if (field == QLatin1String("1"))
        return StopBits::One;
    if (field == QLatin1String("1.5"))
        return StopBits::OneAndHalf;
    if (field == QLatin1String("2"))
        return StopBits::Two;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    const auto baudRate = parseBaudRate(fields.at(0).trimmed());
    const auto parity = parseParity(fields.at(1).trimmed());
    const auto dataBits = parseDataBits(fields.at(2).trimmed());
    const auto stopBits = parseStopBits(fields.at(3).trimmed());
    if (!baudRate || !parity || !dataBits || !stopBits)
        return std::nullopt;
    return LineSettings{*baudRate, *parity, *dataBits, *stopBits};
}

int halfBitsPerCharacter(const LineSettings &settings)
{
    int stopHalfBits = 2;
    if (settings.stopBits == StopBits::OneAndHalf)
        stopHalfBits = 3;
    else if (settings.stopBits == StopBits::Two)
        stopHalfBits = 4;
    const int parityHalfBits = settings.parity == Parity::None ? 0 : 2;
    return 2 + 2 * settings.dataBits + parityHalfBits + stopHalfBits;
}

QString lineSettingsText(const LineSettings &settings)
{
    const char parity = settings.parity == Parity::Even    ? 'E'
                        : settings.parity == Parity::Odd   ? 'O'
                        : settings.parity == Parity::Mark  ? 'M'
                        : settings.parity == Parity::Space ? 'S'
                                                           : 'N';
    const QString stop = settings.stopBits == StopBits::OneAndHalf ? QStringLiteral("1.5")
                         : settings.stopBits == StopBits::Two      ? QStringLiteral("2")
                                                                   : QStringLiteral("1");
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baudRate)
        .arg(QLatin1Char(parity))
        .arg(settings.dataBits)
        .arg(stop);
}

} // namespace serial
