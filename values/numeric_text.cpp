#include "numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace values {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the decimal-number token at the start of text, or 0 when there is none.
std::size_t numberTokenLength(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-'))
            ++exp;
        const std::size_t expDigitsStart = exp;
        while (exp < text.size() && isDigit(text[exp]))
            ++exp;
        if (exp == expDigitsStart)
            return 0;
        pos = exp;
    }
    return pos;
}

// Rough power of ten of a vetted number token, enough to tell overflow from underflow.
long long decimalMagnitude(std::string_view token)
{
    std::size_t pos = (token.front() == '-') ? 1 : 0;
    long long magnitude = 0;
    bool significant = false;
    for (; pos < token.size() && isDigit(token[pos]); ++pos) {
        significant = significant || token[pos] != '0';
        if (significant)
            ++magnitude;
    }
    if (pos < token.size() && token[pos] == '.') {
        for (++pos; pos < token.size() && isDigit(token[pos]) && !significant; ++pos) {
            if (token[pos] != '0')
                significant = true;
            else if (magnitude > -100000)
                --magnitude;
        }
        while (pos < token.size() && isDigit(token[pos]))
            ++pos;
    }
    if (pos < token.size() && (token[pos] == 'e' || token[pos] == 'E')) {
        ++pos;
        const bool negative = pos < token.size() && token[pos] == '-';
        if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
            ++pos;
        long long exponent = 0;
        for (; pos < token.size(); ++pos)
            exponent = std::min(exponent * 10 + (token[pos] - '0'), 1000000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

} // namespace

std::optional<double> numericValue(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || numberTokenLength(text) != text.size())
        return std::nullopt;

    // from_chars takes no leading '+'; the grammar above already vetted the rest.
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Underflow ("1e-400") reads as zero; overflow ("1e309") does not read as a number.
        if (decimalMagnitude(text) > 0)
            return std::nullopt;
        return text.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> integerPart(std::string_view text)
{
    const auto value = numericValue(text);
    if (!value)
        return std::nullopt;
    return std::floor(*value);
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<double> roundedValue(std::string_view text)
{
    const auto value = numericValue(text);
    if (!value)
        return std::nullopt;
    return roundHalfEven(*value);
}

std::optional<unsigned char> asByte(double wholeValue)
{
    if (!(wholeValue >= 0 && wholeValue <= 255) || std::floor(wholeValue) != wholeValue)
        return std::nullopt;
    return static_cast<unsigned char>(wholeValue);
}

} // namespace values
