#include "ConfigFile.h"

namespace mdIPCheck {

// Four numbers 1 to 255 separated by exactly three dots. An empty part counts as 0
// and fails; leading zeros are allowed.
bool IsIPAddress(const QString &address)
{
    if (address.isEmpty() || address.startsWith(QLatin1Char('.')) || address.endsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : address) {
        if (c != QLatin1Char('.') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    }
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        qint64 value = 0;
        for (const QChar c : part) {
            value = value * 10 + (c.unicode() - '0');
            if (value > 2147483647)  // too long for a 32-bit number
                return false;
        }
        if (value < 1 || value > 255)
            return false;
    }
    return true;
}

} // namespace mdIPCheck
