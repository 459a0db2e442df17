#pragma once
#include <QString>

// The power actions by their configured code 1 to 7.
namespace tolvex::shut {

// "Power Off", "Reboot", "Shutdown", "Monitor", "Hibernate", "Standby", "Log Off";
// a null string for a code outside 1 to 7.
QString actionName(int shutType);

// The countdown text of the warning line; `programWord` is the program's name used
// by the "Monitor" action ("Tolvex" or "Tolvex Slave").
QString countdownText(int shutType, const QString &programWord);

// The exit flags for action 1, 2, 3 or 7: 8, 2, 1, 0, plus 4 when forced (Force 2).
int exitFlags(int shutType, int force);

// The seconds of the day of a time hhmm, read as the last four characters of
// "0000" followed by the number: (hh x 60 + mm) x 60.
int secondsOfDay(int hhmm);

} // namespace tolvex::shut
