#include "assignments.h"

#include "translations/device_texts.h"
#include "translations/language.h"
#include "values/parameter_value.h"
#include "whole_number.h"

#include <QCoreApplication>

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

QString rangeWords(const modbus::RegisterRow &row)
{
    if (row.allowed.empty())
        return rangeText(row);
    QStringList values;
    for (const int value : row.allowed)
        values << QString::number(value);
    return QCoreApplication::translate("ctl::Assignments", "%1 之一").arg(i18n::listed(values));
}

std::variant<std::uint16_t, QString> registerValueFor(const modbus::RegisterRow &row,
                                                      const QString &value)
{
    const auto number = wholeNumber(value);
    if (const auto *reason = std::get_if<QString>(&number))
        return QCoreApplication::translate("ctl::Assignments", "%1=%2：%3")
            .arg(QLatin1String(row.key), value, *reason);
    if (!modbus::inRange(row, std::get<long long>(number)))
        return QCoreApplication::translate("ctl::Assignments", "%1=%2：超出范围，应为 %3")
            .arg(QLatin1String(row.key), value, rangeWords(row));
    // Within the documented range the window's rule always gives a register value.
    const auto raw =
        values::parameterRegisterValue(row, static_cast<double>(std::get<long long>(number)));
    if (const auto *refusal = std::get_if<const char *>(&raw))
        return QCoreApplication::translate("ctl::Assignments", "%1=%2：%3")
            .arg(QLatin1String(row.key), value, i18n::message(*refusal));
    return std::get<std::uint16_t>(raw);
}

AssignmentsResult parseAssignments(const QStringList &texts)
{
    const auto refuse = [](const QString &error) { return AssignmentsResult{std::nullopt, error}; };
    if (texts.isEmpty())
        return refuse(QCoreApplication::translate("ctl::Assignments", "write：没有给出 名称=值"));
    Assignments result;
    for (const QString &text : texts) {
        const qsizetype equals = text.indexOf(u'=');
        if (equals < 0)
            return refuse(QCoreApplication::translate("ctl::Assignments", "“%1”不是 名称=值 的形式")
                              .arg(text));
        const QString name = text.left(equals).trimmed();
        const modbus::RegisterRow *row = rowNamed(name);
        if (!row)
            return refuse(
                QCoreApplication::translate(
                    "ctl::Assignments", "没有参数“%1”（rx904ctl --list-parameters 列出所有参数）")
                    .arg(name));
        if (row->setButton < 0)
            return refuse(
                QCoreApplication::translate("ctl::Assignments", "%1（%2）是测量值，不是参数")
                    .arg(QLatin1String(row->key), i18n::caption(*row)));
        const auto field = static_cast<std::size_t>(row->field);
        if (result.chosen[field])
            return refuse(QCoreApplication::translate("ctl::Assignments", "%1 给出了两次")
                              .arg(QLatin1String(row->key)));
        const auto raw = registerValueFor(*row, text.mid(equals + 1).trimmed());
        if (const auto *reason = std::get_if<QString>(&raw))
            return refuse(*reason);
        result.raw[field] = std::get<std::uint16_t>(raw);
        result.chosen[field] = true;
    }
    return {result, {}};
}

} // namespace ctl
