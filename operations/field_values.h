#pragma once
#include "form.h"

#include <optional>
#include <string_view>

namespace ops {

// The tool's number rules applied to a field's text (see values/numeric_text.h).
[[nodiscard]] std::optional<double> numberIn(const Form &form, Field field);
[[nodiscard]] std::optional<double> integerPartOf(const Form &form, Field field);
[[nodiscard]] std::optional<double> roundedValueOf(const Form &form, Field field);

// A station address from a field, rounded halves-to-even, when it is a number 0..255.
[[nodiscard]] std::optional<std::uint8_t> roundedStation(const Form &form, Field field);

// Field index that register 0 of a query answer goes to, from the start-address text
// read when the answer arrives: floor s, 0 for s = 0, else (s - 1) * 2. A text that is
// not numeric counts as 0.
[[nodiscard]] long long queryBase(std::string_view startText);

// Decimal text of a whole number: digits, a minus sign when negative, nothing else.
[[nodiscard]] QString decimalText(double wholeNumber);

} // namespace ops
