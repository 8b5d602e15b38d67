#include "csv_files.h"

#include <cstdlib>

#include "modbus/register_map.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSaveFile>

namespace monitor {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
const QString kLineEnd = QStringLiteral("\r\n");

QString cannotOpen(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("Record", "无法写入文件“%1”：%2").arg(path, reason);
}

QString milliseconds(std::chrono::microseconds time)
{
    return QString::number(static_cast<double>(time.count()) / 1000.0, 'f', 1);
}

} // namespace

QDateTime WallClock::at(TimePoint moment) const
{
    const auto offset = std::chrono::duration_cast<std::chrono::milliseconds>(moment - m_steady);
    return m_wall.addMSecs(offset.count());
}

QString localTimeText(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString utcOffsetText(const QDateTime &time)
{
    const int minutes = time.offsetFromUtc() / 60;
    const int size = std::abs(minutes);
    return QStringLiteral("UTC%1%2:%3")
        .arg(minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(size / 60, 2, 10, QLatin1Char('0'))
        .arg(size % 60, 2, 10, QLatin1Char('0'));
}

QString csvText(const QString &text)
{
    QString cell = text;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && kFormulaStarts.contains(cell.front()))
        cell.prepend(QLatin1Char('\''));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

QString csvCell(const QString &text)
{
    static const QRegularExpression kPlainNumber(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (text.isEmpty() || kPlainNumber.match(text).hasMatch())
        return text;
    return csvText(text);
}

QString directionText(Direction direction)
{
    switch (direction) {
    case Direction::Sent:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "发送"));
    case Direction::Received:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "接收"));
    case Direction::Line:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "串口"));
    }
    return QString();
}

QString verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Request:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "请求"));
    case Verdict::Complete:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "完整"));
    case Verdict::BadCrc:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "CRC 错误"));
    case Verdict::Exception:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "异常应答"));
    case Verdict::Incomplete:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "不完整"));
    case Verdict::Interrupted:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "被打断"));
    case Verdict::NoAnswer:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "无应答"));
    case Verdict::Unsolicited:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "无请求"));
    case Verdict::LineEvent:
        return QString::fromUtf8(QT_TRANSLATE_NOOP("Record", "事件"));
    }
    return QString();
}

QString directionWords(Direction direction)
{
    return QCoreApplication::translate("Record", directionText(direction).toUtf8());
}

QString verdictWords(Verdict verdict)
{
    return QCoreApplication::translate("Record", verdictText(verdict).toUtf8());
}

QString hexText(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()))
        .toHex(' ')
        .toUpper();
}

QString recordCsvHeader()
{
    return QStringLiteral("时间,UTC偏移,方向,长度,含义,响应时间(毫秒),字节,判定");
}

QString recordCsvLine(const Frame &frame, const QDateTime &time)
{
    // The record's columns in the window's order, then the verdict the window shows as words.
    const QStringList cells{
        localTimeText(time),
        utcOffsetText(time),
        csvText(directionText(frame.direction)),
        QString::number(frame.bytes.size()),
        csvText(QString::fromStdString(frame.meaning)),
        frame.responseTime ? milliseconds(*frame.responseTime) : QString(),
        csvText(hexText(frame.bytes)),
        csvText(verdictText(frame.verdict)),
    };
    return cells.join(QLatin1Char(','));
}

QString valueCsvHeader()
{
    QStringList cells{QStringLiteral("时间"), QStringLiteral("UTC偏移"), QStringLiteral("站号")};
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const QString caption = QString::fromUtf8(row.caption);
        cells << caption << caption + QStringLiteral(" 寄存器值");
    }
    return cells.join(QLatin1Char(','));
}

QString valueCsvLine(const Sample &sample, const QDateTime &time)
{
    QStringList cells{localTimeText(time), utcOffsetText(time), QString::number(sample.station)};
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        if (!sample.has(row.field)) {
            cells << QString() << QString();
            continue;
        }
        const std::uint16_t raw = sample.raw[row.field];
        cells << csvCell(QString::fromStdString(modbus::fieldText(row.field, raw)))
              << QString::number(raw);
    }
    return cells.join(QLatin1Char(','));
}

QString saveRecordCsv(const QString &path, const Record &record, const WallClock &clock)
{
    // Written beside the target and renamed at the end: a failed save leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotOpen(path, file.errorString());
    file.write(kByteOrderMark);
    file.write((recordCsvHeader() + kLineEnd).toUtf8());
    for (long long i = record.firstIndex(); i < record.endIndex(); ++i) {
        const Frame &frame = record.at(i);
        file.write((recordCsvLine(frame, clock.at(frame.at)) + kLineEnd).toUtf8());
    }
    if (!file.commit())
        return cannotOpen(path, file.errorString());
    return QString();
}

QString ValueLog::start(const QString &path)
{
    stop();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString reason = cannotOpen(path, m_file.errorString());
        m_file.setFileName(QString());
        return reason;
    }
    m_file.write(kByteOrderMark);
    return writeLine(valueCsvHeader());
}

QString ValueLog::write(const Sample &sample, const QDateTime &time)
{
    if (!m_file.isOpen())
        return QString();
    return writeLine(valueCsvLine(sample, time));
}

// A line a spreadsheet shows as one text cell, so a gap in the values says why it is there.
QString ValueLog::note(const QString &text, const QDateTime &time)
{
    if (!m_file.isOpen())
        return QString();
    return writeLine(csvText(QStringLiteral("# %1 %2").arg(localTimeText(time), text)));
}

QString ValueLog::writeLine(const QString &line)
{
    const QByteArray bytes = (line + kLineEnd).toUtf8();
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        const QString reason = cannotOpen(m_file.fileName(), m_file.errorString());
        stop();
        return reason;
    }
    return QString();
}

void ValueLog::stop()
{
    if (m_file.isOpen())
        m_file.close();
}

} // namespace monitor
