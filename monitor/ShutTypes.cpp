#include "ShutTypes.h"
#include "ConfigFile.h"

namespace tolvex::shut {

QString actionName(int shutType)
{
    switch (shutType) {
    case 1: return QStringLiteral("Power Off");
    case 2: return QStringLiteral("Reboot");
    case 3: return QStringLiteral("Shutdown");
    case 4: return QStringLiteral("Monitor");
    case 5: return QStringLiteral("Hibernate");
    case 6: return QStringLiteral("Standby");
    case 7: return QStringLiteral("Log Off");
    default: return QString();
    }
}

QString countdownText(int shutType, const QString &programWord)
{
    switch (shutType) {
    case 1: return QStringLiteral("The Computer Will Power Off In ");
    case 2: return QStringLiteral("The Computer Will Reboot In ");
    case 3: return QStringLiteral("The Computer Will Shutdown In ");
    case 4: return programWord + QStringLiteral(" Will Close In ");
    case 5: return QStringLiteral("The Computer Will Hibernate In ");
    case 6: return QStringLiteral("The Computer Will Standby In ");
    case 7: return QStringLiteral("The Computer Will Log Off In ");
    default: return QString();
    }
}

int exitFlags(int shutType, int force)
{
    int flags = 0;
    switch (shutType) {
    case 1: flags = 8; break;
    case 2: flags = 2; break;
    case 3: flags = 1; break;
    default: flags = 0; break;
    }
    return force == 2 ? flags + 4 : flags;
}

int secondsOfDay(int hhmm)
{
    const QString four = (QStringLiteral("0000") + QString::number(hhmm)).right(4);
    const int hh = int(numberOfText(four.left(2)));
    const int mm = int(numberOfText(four.right(2)));
    return (hh * 60 + mm) * 60;
}

} // namespace tolvex::shut
