#include "field_values.h"

#include "numeric_text.h"

#include <cmath>

namespace ops {

std::optional<double> numberIn(const Form &form, Field field)
{
    return numericValue(form.text(field).toStdString());
}

std::optional<double> integerPartOf(const Form &form, Field field)
{
    return integerPart(form.text(field).toStdString());
}

std::optional<double> roundedValueOf(const Form &form, Field field)
{
    return roundedValue(form.text(field).toStdString());
}

std::optional<std::uint8_t> roundedStation(const Form &form, Field field)
{
    const auto station = roundedValueOf(form, field);
    if (!station)
        return std::nullopt;
    return asByte(*station);
}

QString decimalText(double wholeNumber)
{
    // Plus zero, so that -0 shows as "0".
    return QString::number(wholeNumber + 0.0, 'f', 0);
}

} // namespace ops
