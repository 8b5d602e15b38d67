#pragma once
#include "form.h"

#include <optional>

namespace ops {

// The window's number rules applied to a field's text (see modbus/numeric_text.h).
[[nodiscard]] std::optional<double> numberIn(const Form &form, Field field);
[[nodiscard]] std::optional<double> integerPartOf(const Form &form, Field field);
[[nodiscard]] std::optional<double> roundedValueOf(const Form &form, Field field);

// A station address from a field, rounded halves-to-even, when it is a number 0..255.
[[nodiscard]] std::optional<std::uint8_t> roundedStation(const Form &form, Field field);

// Decimal text of a whole number: digits, a minus sign when negative, nothing else.
[[nodiscard]] QString decimalText(double wholeNumber);

} // namespace ops
