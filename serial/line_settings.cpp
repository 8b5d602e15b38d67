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

std::optional<QSerialPort::Parity> parseParity(const QString &field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toUpper().unicode()) {
    case 'N':
        return QSerialPort::NoParity;
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return std::nullopt;
    }
}

std::optional<QSerialPort::DataBits> parseDataBits(const QString &field)
{
    if (field == QLatin1String("5"))
        return QSerialPort::Data5;
    if (field == QLatin1String("6"))
        return QSerialPort::Data6;
    if (field == QLatin1String("7"))
        return QSerialPort::Data7;
    if (field == QLatin1String("8"))
        return QSerialPort::Data8;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> parseStopBits(const QString &field)
{
    if (field == QLatin1String("1"))
        return QSerialPort::OneStop;
    if (field == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (field == QLatin1String("2"))
        return QSerialPort::TwoStop;
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
    // QSerialPort numbers stop bits 1 (one), 3 (one and a half) and 2 (two): not half bits.
    int stopHalfBits = 2;
    if (settings.stopBits == QSerialPort::OneAndHalfStop)
        stopHalfBits = 3;
    else if (settings.stopBits == QSerialPort::TwoStop)
        stopHalfBits = 4;
    const int parityHalfBits = settings.parity == QSerialPort::NoParity ? 0 : 2;
    return 2 + 2 * static_cast<int>(settings.dataBits) + parityHalfBits + stopHalfBits;
}

QString lineSettingsText(const LineSettings &settings)
{
    const char parity = settings.parity == QSerialPort::EvenParity    ? 'E'
                        : settings.parity == QSerialPort::OddParity   ? 'O'
                        : settings.parity == QSerialPort::MarkParity  ? 'M'
                        : settings.parity == QSerialPort::SpaceParity ? 'S'
                                                                      : 'N';
    const QString stop = settings.stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                         : settings.stopBits == QSerialPort::TwoStop      ? QStringLiteral("2")
                                                                          : QStringLiteral("1");
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baudRate)
        .arg(QLatin1Char(parity))
        .arg(int(settings.dataBits))
        .arg(stop);
}

} // namespace serial
