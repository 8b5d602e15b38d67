#include "records.h"

#include "assignments.h"
#include "monitor/csv_files.h"
#include "translations/device_texts.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace ctl {
namespace {

// "2026-12-08T09:24:26.468+08:00": what a program reading the output parses without guessing.
QString rfc3339(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

const modbus::RegisterRow &rowOf(int field)
{
    return modbus::registerMap()[static_cast<std::size_t>(field)];
}

QString keyOf(int field)
{
    return QLatin1String(rowOf(field).key);
}

// The caption as the JSON and CSV carry it, in Chinese whatever the language.
QString captionOf(int field)
{
    return QString::fromUtf8(rowOf(field).caption);
}

QString labelled(const QString &label, const QString &text)
{
    return QCoreApplication::translate("ctl::Records", "%1：%2").arg(label, text);
}

QString textOf(int field, std::uint16_t raw)
{
    return QString::fromStdString(modbus::fieldText(field, raw));
}

QString writeRegisterText(const modbus::RegisterRow &row)
{
    if (row.setButton < 0)
        return {};
    return QStringLiteral("0x") +
           QString::number(row.writeRegister, 16).rightJustified(4, u'0').toUpper();
}

QJsonValue valueOf(int field, const std::optional<std::uint16_t> &raw)
{
    if (!raw)
        return QJsonValue::Null;
    return modbus::fieldValue(field, *raw);
}

QJsonObject head(const Where &where)
{
    return {{QStringLiteral("version"), kFormatVersion},
            {QStringLiteral("command"), commandName(where.command)},
            {QStringLiteral("port"), where.port},
            {QStringLiteral("station"), where.station},
            {QStringLiteral("baud"), where.baud}};
}

QString headText(const Where &where)
{
    return QCoreApplication::translate("ctl::Records", "%1 站号 %2，波特率 %3")
        .arg(where.port)
        .arg(where.station)
        .arg(where.baud);
}

QString milliseconds(std::chrono::nanoseconds time)
{
    return QString::number(std::chrono::duration<double, std::milli>(time).count(), 'f', 1);
}

// Named one by one: the monitor's verdicts grow, and a table by position would then name
// them wrongly.
QString verdictKey(monitor::Verdict verdict)
{
    using monitor::Verdict;
    switch (verdict) {
    case Verdict::Request:
        return QStringLiteral("request");
    case Verdict::Complete:
        return QStringLiteral("complete");
    case Verdict::BadCrc:
        return QStringLiteral("bad_crc");
    case Verdict::Exception:
        return QStringLiteral("exception");
    case Verdict::Incomplete:
        return QStringLiteral("incomplete");
    case Verdict::Interrupted:
        return QStringLiteral("interrupted");
    case Verdict::NoAnswer:
        return QStringLiteral("no_answer");
    case Verdict::Unsolicited:
        return QStringLiteral("unsolicited");
    case Verdict::LineEvent:
        return QStringLiteral("line_event");
    }
    return {};
}

} // namespace

QString outcomeKey(commissioning::Outcome outcome)
{
    using commissioning::Outcome;
    switch (outcome) {
    case Outcome::Answered:
        return QStringLiteral("answered");
    case Outcome::TimedOut:
        return QStringLiteral("timed_out");
    case Outcome::Incomplete:
        return QStringLiteral("incomplete");
    case Outcome::BadCrc:
        return QStringLiteral("bad_crc");
    case Outcome::WrongStation:
        return QStringLiteral("wrong_station");
    case Outcome::WrongFunction:
        return QStringLiteral("wrong_function");
    case Outcome::WrongLength:
        return QStringLiteral("wrong_length");
    case Outcome::Exception:
        return QStringLiteral("exception");
    case Outcome::PortClosed:
        return QStringLiteral("port_closed");
    }
    return {};
}

Record readRecord(const Where &where, const Registers &raw, qint64 discarded)
{
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = true;
    record.json[QStringLiteral("exit_status")] = 0;
    record.csvHeader =
        QStringList{QStringLiteral("port"), QStringLiteral("station"),  QStringLiteral("key"),
                    QStringLiteral("name"), QStringLiteral("register"), QStringLiteral("value"),
                    QStringLiteral("unit"), QStringLiteral("raw")};
    record.text << headText(where);
    QJsonArray values;
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const std::uint16_t value = raw[static_cast<std::size_t>(row.field)];
        const QString unit = QString::fromUtf8(row.unit);
        values.append(QJsonObject{{QStringLiteral("key"), QLatin1String(row.key)},
                                  {QStringLiteral("name"), QString::fromUtf8(row.caption)},
                                  {QStringLiteral("register"), row.readRegister},
                                  {QStringLiteral("value"), modbus::fieldValue(row.field, value)},
                                  {QStringLiteral("text"), textOf(row.field, value)},
                                  {QStringLiteral("unit"), unit},
                                  {QStringLiteral("raw"), value}});
        record.csvRows << QStringList{where.port,
                                      QString::number(where.station),
                                      QLatin1String(row.key),
                                      QString::fromUtf8(row.caption),
                                      QString::number(row.readRegister),
                                      textOf(row.field, value),
                                      unit,
                                      QString::number(value)};
        record.text << QCoreApplication::translate("ctl::Records",
                                                   "  %1 %2 %3 寄存器 %4  原始值 %5  %6")
                           .arg(QLatin1String(row.key), -15)
                           .arg(textOf(row.field, value), 8)
                           .arg(unit, -6)
                           .arg(row.readRegister, 2)
                           .arg(value, 5)
                           .arg(i18n::caption(row));
    }
    record.json[QStringLiteral("values")] = values;
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    return record;
}

Record failureRecord(const Where &where, const Failure &failure, qint64 discarded)
{
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = false;
    record.json[QStringLiteral("outcome")] = outcomeKey(failure.outcome);
    if (failure.outcome == commissioning::Outcome::Exception)
        record.json[QStringLiteral("exception_code")] = failure.exceptionCode;
    record.json[QStringLiteral("reason")] = failure.reason;
    record.json[QStringLiteral("exit_status")] = static_cast<int>(statusOf(failure.outcome));
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    return record;
}

Record openFailureRecord(const Where &where, const QString &cause)
{
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = false;
    record.json[QStringLiteral("outcome")] = QStringLiteral("not_opened");
    record.json[QStringLiteral("reason")] = cause;
    record.json[QStringLiteral("exit_status")] = static_cast<int>(ExitStatus::PortFailed);
    return record;
}

Record pollRecord(const Where &where, const QDateTime &time, const std::optional<Registers> &raw,
                  const std::optional<Failure> &failure, qint64 discarded)
{
    Record record;
    const QString stamp = rfc3339(time);
    record.json = QJsonObject{{QStringLiteral("version"), kFormatVersion},
                              {QStringLiteral("command"), commandName(where.command)},
                              {QStringLiteral("time"), stamp},
                              {QStringLiteral("port"), where.port},
                              {QStringLiteral("station"), where.station},
                              {QStringLiteral("ok"), raw.has_value()}};
    record.csvHeader = QStringList{QStringLiteral("time"), QStringLiteral("port"),
                                   QStringLiteral("station"), QStringLiteral("outcome")};
    QStringList cells{stamp, where.port, QString::number(where.station)};
    QString text = QCoreApplication::translate("ctl::Records", "%1 %2 站号 %3：")
                       .arg(stamp, where.port)
                       .arg(where.station);
    if (raw) {
        QJsonObject values;
        cells << QStringLiteral("answered");
        for (const modbus::RegisterRow &row : modbus::registerMap()) {
            const std::uint16_t value = (*raw)[static_cast<std::size_t>(row.field)];
            values[QLatin1String(row.key)] = modbus::fieldValue(row.field, value);
            cells << textOf(row.field, value);
            text += QStringLiteral(" %1=%2").arg(QLatin1String(row.key), textOf(row.field, value));
        }
        record.json[QStringLiteral("values")] = values;
    } else {
        record.json[QStringLiteral("outcome")] = outcomeKey(failure->outcome);
        record.json[QStringLiteral("reason")] = failure->reason;
        cells << outcomeKey(failure->outcome);
        for (int k = 0; k < modbus::kValueFieldCount; ++k)
            cells << QString();
        text += QLatin1Char(' ') +
                QCoreApplication::translate("ctl::Records", "无数值：%1").arg(failure->reason);
    }
    for (const modbus::RegisterRow &row : modbus::registerMap())
        record.csvHeader << QLatin1String(row.key);
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    record.csvRows << cells;
    record.text << text;
    return record;
}

Record identRecord(const Where &where, const QString &identification, qint64 discarded)
{
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = true;
    record.json[QStringLiteral("exit_status")] = 0;
    record.json[QStringLiteral("identification")] = identification;
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    record.csvHeader = QStringList{QStringLiteral("port"), QStringLiteral("station"),
                                   QStringLiteral("identification")};
    record.csvRows << QStringList{where.port, QString::number(where.station), identification};
    record.text << labelled(headText(where), identification);
    return record;
}

Record foundRecord(const QString &port, const commissioning::FoundDevice &device)
{
    Record record;
    const QString time = milliseconds(device.responseTime);
    record.json = QJsonObject{{QStringLiteral("version"), kFormatVersion},
                              {QStringLiteral("command"), QStringLiteral("find")},
                              {QStringLiteral("port"), port},
                              {QStringLiteral("baud"), device.baud},
                              {QStringLiteral("station"), device.station},
                              {QStringLiteral("identification"), device.identification},
                              {QStringLiteral("response_ms"), time.toDouble()}};
    record.csvHeader =
        QStringList{QStringLiteral("port"), QStringLiteral("baud"), QStringLiteral("station"),
                    QStringLiteral("identification"), QStringLiteral("response_ms")};
    record.csvRows << QStringList{port, QString::number(device.baud),
                                  QString::number(device.station), device.identification, time};
    record.text << QCoreApplication::translate("ctl::Records",
                                               "%1 站号 %2，波特率 %3：%4（%5 毫秒内应答）")
                       .arg(port)
                       .arg(device.station)
                       .arg(device.baud)
                       .arg(device.identification, time);
    return record;
}

Record frameRecord(const QString &port, const monitor::Frame &frame, const QDateTime &time)
{
    const QString verdict = verdictKey(frame.verdict);
    const QString direction = frame.direction == monitor::Direction::Sent
                                  ? QStringLiteral("sent")
                                  : QStringLiteral("received");
    const QString stamp = rfc3339(time);
    const QString bytes = monitor::hexText(frame.bytes);
    const QString meaning = QString::fromStdString(frame.meaning);
    const QString response = frame.responseTime ? milliseconds(*frame.responseTime) : QString();
    Record record;
    record.json = QJsonObject{{QStringLiteral("version"), kFormatVersion},
                              {QStringLiteral("command"), QStringLiteral("monitor")},
                              {QStringLiteral("port"), port},
                              {QStringLiteral("time"), stamp},
                              {QStringLiteral("direction"), direction},
                              {QStringLiteral("bytes"), bytes},
                              {QStringLiteral("meaning"), meaning},
                              {QStringLiteral("verdict"), verdict}};
    if (frame.responseTime)
        record.json[QStringLiteral("response_ms")] = response.toDouble();
    record.csvHeader = QStringList{QStringLiteral("time"),       QStringLiteral("port"),
                                   QStringLiteral("direction"),  QStringLiteral("bytes"),
                                   QStringLiteral("meaning"),    QStringLiteral("verdict"),
                                   QStringLiteral("response_ms")};
    record.csvRows << QStringList{stamp, port, direction, bytes, meaning, verdict, response};
    record.text << QStringLiteral("%1 %2 %3 %4  %5  [%6]")
                       .arg(stamp, port,
                            frame.direction == monitor::Direction::Sent ? QStringLiteral("->")
                                                                        : QStringLiteral("<-"),
                            bytes, meaning, monitor::verdictWords(frame.verdict));
    return record;
}

Record savedRecord(const Where &where, const QString &file, const commissioning::ParameterSet &set,
                   qint64 discarded)
{
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = true;
    record.json[QStringLiteral("exit_status")] = 0;
    record.json[QStringLiteral("file")] = file;
    record.json[QStringLiteral("identification")] = set.identification;
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    record.csvHeader = QStringList{QStringLiteral("port"), QStringLiteral("station"),
                                   QStringLiteral("file"), QStringLiteral("identification")};
    record.csvRows << QStringList{where.port, QString::number(where.station), file,
                                  set.identification};
    record.text << QCoreApplication::translate("ctl::Records", "%1：%2 的参数已保存到 %3")
                       .arg(headText(where), set.identification, file);
    return record;
}

Record rowsRecord(const Where &where, const std::vector<RowReport> &rows, ExitStatus status,
                  const QString &message, qint64 discarded)
{
    // A write names the values it writes; load and check the file's.
    const bool fromFile = where.command == Command::Load || where.command == Command::Check;
    const QString wanted = fromFile ? QStringLiteral("file") : QStringLiteral("value");
    Record record;
    record.json = head(where);
    record.json[QStringLiteral("ok")] = status == ExitStatus::Ok;
    record.json[QStringLiteral("exit_status")] = static_cast<int>(status);
    if (!message.isEmpty())
        record.json[QStringLiteral("message")] = message;
    record.csvHeader = QStringList{QStringLiteral("port"),
                                   QStringLiteral("key"),
                                   QStringLiteral("name"),
                                   QStringLiteral("write_register"),
                                   wanted,
                                   QStringLiteral("device"),
                                   QStringLiteral("state"),
                                   QStringLiteral("text")};
    record.text << QCoreApplication::translate("ctl::Records", "%1：").arg(headText(where));
    QJsonArray array;
    for (const RowReport &row : rows) {
        const QString register_ = writeRegisterText(rowOf(row.field));
        array.append(QJsonObject{{QStringLiteral("key"), keyOf(row.field)},
                                 {QStringLiteral("name"), captionOf(row.field)},
                                 {QStringLiteral("write_register"), register_},
                                 {wanted, valueOf(row.field, row.wanted)},
                                 {QStringLiteral("device"), valueOf(row.field, row.device)},
                                 {QStringLiteral("state"), row.state},
                                 {QStringLiteral("text"), row.text}});
        const QString wantedText = row.wanted ? textOf(row.field, *row.wanted) : QString();
        const QString deviceText = row.device ? textOf(row.field, *row.device) : QString();
        record.csvRows << QStringList{where.port, keyOf(row.field), captionOf(row.field),
                                      register_,  wantedText,       deviceText,
                                      row.state,  row.text};
        record.text << QCoreApplication::translate("ctl::Records", "  %1 %2 %3 设备 %4  %5  %6")
                           .arg(keyOf(row.field), -15)
                           .arg(register_)
                           .arg(wantedText, 8)
                           .arg(deviceText.isEmpty() ? QStringLiteral("-") : deviceText, 8)
                           .arg(row.state, -11)
                           .arg(row.text.isEmpty()
                                    ? i18n::caption(rowOf(row.field))
                                    : labelled(i18n::caption(rowOf(row.field)), row.text));
    }
    record.json[QStringLiteral("rows")] = array;
    record.json[QStringLiteral("discarded_bytes")] = discarded;
    if (!message.isEmpty())
        record.text << QStringLiteral("  ") + message;
    return record;
}

Record parametersRecord()
{
    Record record;
    record.csvHeader = QStringList{QStringLiteral("key"),      QStringLiteral("name"),
                                   QStringLiteral("register"), QStringLiteral("write_register"),
                                   QStringLiteral("range"),    QStringLiteral("unit")};
    QJsonArray array;
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const bool writable = row.setButton >= 0;
        const QString range = writable ? rangeText(row) : QString();
        QJsonObject one{{QStringLiteral("key"), QLatin1String(row.key)},
                        {QStringLiteral("name"), QString::fromUtf8(row.caption)},
                        {QStringLiteral("register"), row.readRegister},
                        {QStringLiteral("unit"), QString::fromUtf8(row.unit)},
                        {QStringLiteral("writable"), writable}};
        if (writable) {
            one[QStringLiteral("write_register")] = writeRegisterText(row);
            one[QStringLiteral("minimum")] = row.minimum;
            one[QStringLiteral("maximum")] = row.maximum;
            QJsonArray allowed;
            for (const int value : row.allowed)
                allowed.append(value);
            if (!allowed.isEmpty())
                one[QStringLiteral("allowed")] = allowed;
        }
        array.append(one);
        record.csvRows << QStringList{QLatin1String(row.key),
                                      QString::fromUtf8(row.caption),
                                      QString::number(row.readRegister),
                                      writeRegisterText(row),
                                      range,
                                      QString::fromUtf8(row.unit)};
        record.text << QStringLiteral("%1 %2 %3 %4 %5 %6")
                           .arg(QLatin1String(row.key), -15)
                           .arg(row.readRegister, 2)
                           .arg(writable ? writeRegisterText(row) : QStringLiteral("-"), -6)
                           .arg(writable ? rangeWords(row)
                                         : QCoreApplication::translate("ctl::Records", "只读"),
                                -38)
                           .arg(QString::fromUtf8(row.unit), -6)
                           .arg(i18n::caption(row));
    }
    record.json = QJsonObject{{QStringLiteral("version"), kFormatVersion},
                              {QStringLiteral("parameters"), array}};
    return record;
}

} // namespace ctl
