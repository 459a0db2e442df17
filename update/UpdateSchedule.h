#pragma once
#include <QDateTime>

// When the master's automatic update check falls due.
namespace tolvex::update {

// Due once the present moment has reached or passed `nextCheck` (so a cycle that
// comes late still runs the check), with Update_On 2, no check running, and no
// switch other than 5 ("-ShortUpdateTime") or 6 ("-InhibitUpdate") given.
bool checkDue(int commandMode, const QDateTime &now, const QDateTime &nextCheck, int updateOn, bool updaterBusy);

// The next automatic check, counted from the moment one fired: 24 hours on, 7 seconds
// with "-ShortUpdateTime" (command mode 5).
QDateTime nextCheckAfter(const QDateTime &now, int commandMode);

} // namespace tolvex::update
