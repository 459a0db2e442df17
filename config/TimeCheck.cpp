#include "ConfigScan.h"
#include <cmath>

namespace tolvex {

// The last four characters of "000" followed by the number, split as "hh:mm".
QString timeText(int hhmm)
{
    const QString digits = (QStringLiteral("000") + QString::number(hhmm)).right(4);
    return digits.left(2) + QLatin1Char(':') + digits.right(2);
}

} // namespace tolvex

namespace mdInit {

namespace {

// A two-character part that must read as a whole number (a blank before a digit
// is allowed, a letter is not).
bool partValue(const QString &part, int &value)
{
    const std::optional<double> number = tolvex::configscan::strictNumber(part);
    if (!number)
        return false;
    value = int(std::nearbyint(*number));
    return true;
}

} // namespace

bool IsValidTime(const QString &text)
{
    if (text.size() != 5 || text[2] != QLatin1Char(':'))
        return false;
    int hours = 0;
    int minutes = 0;
    if (!partValue(text.left(2), hours) || !partValue(text.right(2), minutes))
        return false;
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59;
}

} // namespace mdInit
