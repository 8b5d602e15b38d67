#include "whole_number.h"

#include "values/numeric_text.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace ctl {

std::variant<long long, QString> wholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (digits.match(text).hasMatch()) {
        bool ok = false;
        const long long value = text.toLongLong(&ok);
        if (!ok)
            return QCoreApplication::translate("ctl::WholeNumber", "数值太大");
        return value;
    }
    if (values::numericValue(text.toStdString()))
        return QCoreApplication::translate("ctl::WholeNumber", "不是整数");
    return QCoreApplication::translate("ctl::WholeNumber", "不是数字");
}

std::variant<long long, QString> wholeNumberIn(const QString &what, const QString &text,
                                               long long low, long long high)
{
    const auto number = wholeNumber(text);
    if (const auto *reason = std::get_if<QString>(&number))
        return QCoreApplication::translate("ctl::WholeNumber", "%1 %2：%3")
            .arg(what, text, *reason);
    const long long value = std::get<long long>(number);
    if (value < low || value > high)
        return QCoreApplication::translate("ctl::WholeNumber", "%1 %2：超出 %3..%4")
            .arg(what, text)
            .arg(low)
            .arg(high);
    return value;
}

} // namespace ctl
