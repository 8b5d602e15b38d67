#include "assignments.h"

#include "values/parameter_value.h"
#include "whole_number.h"

namespace ctl {

const modbus::RegisterRow *rowNamed(const QString &name)
{
    if (const modbus::RegisterRow *row = modbus::findRow(name.toStdString()))
        return row;
    bool ok = false;
    const uint address = name.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? name.mid(2).toUInt(&ok, 16)
                             : name.toUInt(&ok, 10);
    if (!ok || address > 0xFFFF)
        return nullptr;
    return modbus::rowWrittenAt(static_cast<std::uint16_t>(address));
}

QString rangeText(const modbus::RegisterRow &row)
{
    if (row.allowed.empty())
        return QStringLiteral("%1..%2").arg(row.minimum).arg(row.maximum);
    QStringList values;
    for (const int value : row.allowed)
        values << QString::number(value);
    return QStringLiteral("one of ") + values.join(QStringLiteral(", "));
}

std::variant<std::uint16_t, QString> registerValueFor(const modbus::RegisterRow &row,
                                                      const QString &value)
{
    const auto number = wholeNumber(value);
    if (const auto *reason = std::get_if<QString>(&number))
        return QStringLiteral("%1=%2: %3").arg(QLatin1String(row.key), value, *reason);
    if (!modbus::inRange(row, std::get<long long>(number)))
        return QStringLiteral("%1=%2: outside its range, %3")
            .arg(QLatin1String(row.key), value, rangeText(row));
    // Within the documented range the window's rule always gives a register value.
    const auto raw =
        values::parameterRegisterValue(row, static_cast<double>(std::get<long long>(number)));
    if (const auto *refusal = std::get_if<const char *>(&raw))
        return QStringLiteral("%1=%2: %3")
            .arg(QLatin1String(row.key), value, QString::fromUtf8(*refusal));
    return std::get<std::uint16_t>(raw);
}

AssignmentsResult parseAssignments(const QStringList &texts)
{
    const auto refuse = [](const QString &error) { return AssignmentsResult{std::nullopt, error}; };
    if (texts.isEmpty())
        return refuse(QStringLiteral("write: no NAME=VALUE given"));
    Assignments result;
    for (const QString &text : texts) {
        const qsizetype equals = text.indexOf(u'=');
        if (equals < 0)
            return refuse(QStringLiteral("“%1”: not NAME=VALUE").arg(text));
        const QString name = text.left(equals).trimmed();
        const modbus::RegisterRow *row = rowNamed(name);
        if (!row)
            return refuse(QStringLiteral("“%1”: no such parameter (rx904ctl --list-parameters "
                                         "names them)")
                              .arg(name));
        if (row->setButton < 0)
            return refuse(QStringLiteral("%1 (%2): a measured value, not a parameter")
                              .arg(QLatin1String(row->key), QString::fromUtf8(row->caption)));
        const auto field = static_cast<std::size_t>(row->field);
        if (result.chosen[field])
            return refuse(QStringLiteral("%1: given twice").arg(QLatin1String(row->key)));
        const auto raw = registerValueFor(*row, text.mid(equals + 1).trimmed());
        if (const auto *reason = std::get_if<QString>(&raw))
            return refuse(*reason);
        result.raw[field] = std::get<std::uint16_t>(raw);
        result.chosen[field] = true;
    }
    return {result, {}};
}

} // namespace ctl
