#pragma once
#include <optional>
#include <string_view>

namespace values {

// The tool's one rule for "is this text a number", for the window's fields and a parameter
// file's values alike: optional blanks, an optional sign, ASCII digits with an optional
// fraction ("1.", ".5"), an optional exponent, optional blanks. Independent of the user's
// locale; "inf", "nan", "0x1A", "1,5", "1a" and full-width digits are not numbers, and
// neither is a text whose value overflows a double ("1e309").
// Returns the value read as a double, or nothing when the text is not numeric.
[[nodiscard]] std::optional<double> numericValue(std::string_view text);

// Integer part: rounded down towards minus infinity (15.9 -> 15, -0.5 -> -1).
[[nodiscard]] std::optional<double> integerPart(std::string_view text);

// Rounded value: to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
[[nodiscard]] std::optional<double> roundedValue(std::string_view text);

// Halves-to-even rounding of a number already read.
[[nodiscard]] double roundHalfEven(double value);

// The value as a byte when it is a whole number 0..255.
[[nodiscard]] std::optional<unsigned char> asByte(double wholeValue);

} // namespace values
