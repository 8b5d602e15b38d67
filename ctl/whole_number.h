#pragma once
#include <QString>

#include <variant>

namespace ctl {

// A whole decimal number as typed on a command line ("800", "-5", "+3"), or why the text is
// not one: "is not a number", or "is not a whole number" for "800.5" and "8e2".
[[nodiscard]] std::variant<long long, QString> wholeNumber(const QString &text);

// The number within low..high, or the reason naming `what`: "--station 300: outside 1..247".
[[nodiscard]] std::variant<long long, QString>
wholeNumberIn(const QString &what, const QString &text, long long low, long long high);

} // namespace ctl
