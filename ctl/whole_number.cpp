#include "whole_number.h"

#include "values/numeric_text.h"

#include <QRegularExpression>

namespace ctl {

std::variant<long long, QString> wholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (digits.match(text).hasMatch()) {
        bool ok = false;
        const long long value = text.toLongLong(&ok);
        if (!ok)
            return QStringLiteral("is too large");
        return value;
    }
    if (values::numericValue(text.toStdString()))
        return QStringLiteral("is not a whole number");
    return QStringLiteral("is not a number");
}

std::variant<long long, QString> wholeNumberIn(const QString &what, const QString &text,
                                               long long low, long long high)
{
    const auto number = wholeNumber(text);
    if (const auto *reason = std::get_if<QString>(&number))
        return QStringLiteral("%1 %2: %3").arg(what, text, *reason);
    const long long value = std::get<long long>(number);
    if (value < low || value > high)
        return QStringLiteral("%1 %2: outside %3..%4").arg(what, text).arg(low).arg(high);
    return value;
}

} // namespace ctl
