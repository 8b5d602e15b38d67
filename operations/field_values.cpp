#include "field_values.h"

#include "values/numeric_text.h"

#include <cmath>

namespace ops {

std::optional<double> numberIn(const Form &form, Field field)
{
    return values::numericValue(form.text(field).toStdString());
}

std::optional<double> integerPartOf(const Form &form, Field field)
{
    return values::integerPart(form.text(field).toStdString());
}

std::optional<double> roundedValueOf(const Form &form, Field field)
{
    return values::roundedValue(form.text(field).toStdString());
}

std::optional<std::uint8_t> roundedStation(const Form &form, Field field)
{
    const auto station = roundedValueOf(form, field);
    if (!station)
        return std::nullopt;
    return values::asByte(*station);
}

long long queryBase(std::string_view startText)
{
    const auto start = values::integerPart(startText);
    if (!start || *start == 0)
        return 0;
    // Clamp far outside the field range so the arithmetic cannot overflow.
    const double clamped = std::fmax(std::fmin(*start, 1e6), -1e6);
    return (static_cast<long long>(clamped) - 1) * 2;
}

QString decimalText(double wholeNumber)
{
    // Plus zero, so that -0 shows as "0".
    return QString::number(wholeNumber + 0.0, 'f', 0);
}

} // namespace ops
