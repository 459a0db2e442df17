#include "ConfigScan.h"
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tolvex {
namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Reads a decimal number at `pos`: optional sign, digits, one optional decimal point.
// Returns the number of characters used (0 when there is no digit).
int scanNumber(const QString &text, int pos, double &value)
{
    const int start = pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        negative = text[pos] == QLatin1Char('-');
        ++pos;
    }
    std::string intDigits;
    std::string fracDigits;
    bool anyDigit = false;
    while (pos < text.size() && isAsciiDigit(text[pos])) {
        intDigits.push_back(char(text[pos].unicode()));
        anyDigit = true;
        ++pos;
    }
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        int after = pos + 1;
        while (after < text.size() && isAsciiDigit(text[after])) {
            fracDigits.push_back(char(text[after].unicode()));
            anyDigit = true;
            ++after;
        }
        if (anyDigit)
            pos = after;
    }
    if (!anyDigit) {
        value = 0;
        return 0;
    }
    const std::string::size_type firstSignificant = intDigits.find_first_not_of('0');
    const bool hasIntegerPart = firstSignificant != std::string::npos;
    std::string digits = (intDigits.empty() ? std::string("0") : intDigits);
    if (!fracDigits.empty())
        digits += "." + fracDigits;
    double result = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), result,
                                        std::chars_format::fixed);
    if (parsed.ec == std::errc::result_out_of_range)
        result = hasIntegerPart ? std::numeric_limits<double>::infinity() : 0.0;
    value = negative ? -result : result;
    return pos - start;
}

} // namespace

double numberOfText(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    double value = 0;
    scanNumber(text, pos, value);
    return value;
}

namespace configscan {

std::optional<int> wholeNumberFor(const QString &text, ValueKind kind)
{
    const double whole = std::nearbyint(numberOfText(text));  // halves to even
    const double low = kind == ValueKind::Long ? -2147483648.0 : -32768.0;
    const double high = kind == ValueKind::Long ? 2147483647.0 : 32767.0;
    if (!(whole >= low && whole <= high))
        return std::nullopt;
    return int(whole);
}

std::optional<double> strictNumber(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    double value = 0;
    const int used = scanNumber(text, pos, value);
    if (used == 0)
        return std::nullopt;
    pos += used;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    return value;
}

QString trimBlanks(const QString &line)
{
    int begin = 0;
    int end = line.size();
    while (begin < end && line[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && line[end - 1] == QLatin1Char(' '))
        --end;
    return line.mid(begin, end - begin);
}

} // namespace configscan
} // namespace tolvex
