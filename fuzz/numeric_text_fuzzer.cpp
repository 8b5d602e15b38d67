// The tool's number rules on arbitrary text. The reference is a grammar written here as
// a state machine of its own, with strtod in the C locale for the value, so that the rules
// are checked against something other than themselves.
#include "values/numeric_text.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char *what, std::string_view text)
{
    std::fprintf(stderr, "numeric text rule broken: %s for \"%.*s\"\n", what,
                 static_cast<int>(std::min<std::size_t>(text.size(), 200)), text.data());
    std::abort();
}

// Blanks, [sign], digits with an optional point (at least one digit on either side),
// [e [sign] digits], blanks.
bool plainDecimal(std::string_view text)
{
    enum State { Lead, Sign, Int, PointNoInt, Frac, Exp, ExpSign, ExpDigits, Trail };
    State state = Lead;
    for (const char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        const bool sign = c == '+' || c == '-';
        switch (state) {
        case Lead:
            state = blank ? Lead : sign ? Sign : digit ? Int : c == '.' ? PointNoInt : Trail;
            if (state == Trail)
                return false;
            break;
        case Sign:
            if (digit)
                state = Int;
            else if (c == '.')
                state = PointNoInt;
            else
                return false;
            break;
        case Int:
            if (digit)
                break;
            if (c == '.')
                state = Frac;
            else if (c == 'e' || c == 'E')
                state = Exp;
            else if (blank)
                state = Trail;
            else
                return false;
            break;
        case PointNoInt:
            if (!digit)
                return false;
            state = Frac;
            break;
        case Frac:
            if (digit)
                break;
            if (c == 'e' || c == 'E')
                state = Exp;
            else if (blank)
                state = Trail;
            else
                return false;
            break;
        case Exp:
            if (sign)
                state = ExpSign;
            else if (digit)
                state = ExpDigits;
            else
                return false;
            break;
        case ExpSign:
            if (!digit)
                return false;
            state = ExpDigits;
            break;
        case ExpDigits:
            if (digit)
                break;
            if (!blank)
                return false;
            state = Trail;
            break;
        case Trail:
            if (!blank)
                return false;
            break;
        }
    }
    return state == Int || state == Frac || state == ExpDigits || state == Trail;
}

void checkText(std::string_view text)
{
    const auto value = values::numericValue(text);
    const bool grammar = plainDecimal(text);
    if (value && !grammar)
        fail("accepted outside the decimal grammar", text);
    if (value && !std::isfinite(*value))
        fail("value not finite", text);

    if (grammar) {
        // NUL cannot be in a grammar text, so the copy ends where the text ends.
        const std::string copy(text);
        errno = 0;
        const double reference = std::strtod(copy.c_str(), nullptr);
        const bool overflow = std::isinf(reference);
        if (overflow && value)
            fail("overflowing text accepted", text);
        if (!overflow && !value)
            fail("decimal text refused", text);
        if (value) {
            const bool tiny = std::fabs(reference) < DBL_MIN;
            if (tiny ? std::fabs(*value) >= DBL_MIN : *value != reference)
                fail("value differs from strtod", text);
        }
    }

    const auto whole = values::integerPart(text);
    const auto rounded = values::roundedValue(text);
    if (whole.has_value() != value.has_value() || rounded.has_value() != value.has_value())
        fail("integer part or rounded value disagree on numeric", text);
    if (!value)
        return;
    // Above 2^53 every double is whole; below it whole + 1 is exact.
    const bool beyondFractions = std::fabs(*value) >= 9007199254740992.0;
    if (*whole > *value || std::floor(*whole) != *whole ||
        (beyondFractions ? *whole != *value : !(*value < *whole + 1)))
        fail("integer part not the floor", text);
    if (std::floor(*rounded) != *rounded || std::fabs(*rounded - *value) > 0.5)
        fail("rounded value not the nearest integer", text);
    if (std::fabs(*rounded - *value) == 0.5 && std::fmod(*rounded, 2.0) != 0.0)
        fail("half not rounded to even", text);
    const auto byte = values::asByte(*rounded);
    if (byte.has_value() != (*rounded >= 0 && *rounded <= 255))
        fail("asByte range", text);
    if (byte && *byte != *rounded)
        fail("asByte value", text);
}

// The same rules on a double taken bit for bit from the input (halves, huge values).
void checkDouble(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double))
        return;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return;
    const double rounded = values::roundHalfEven(value);
    if (std::floor(rounded) != rounded || std::fabs(rounded - value) > 0.5)
        std::abort();
    if (std::fabs(rounded - value) == 0.5 && std::fmod(rounded, 2.0) != 0.0)
        std::abort();
    const auto byte = values::asByte(value);
    if (byte.has_value() != (value >= 0 && value <= 255 && std::floor(value) == value))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkText(text);
    checkDouble(data, size);
    return 0;
}
