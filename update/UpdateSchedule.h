#pragma once
#include <QDateTime>
#include <QString>

// When the master's automatic update check falls due.
namespace tolvex::update {

// The moment as the schedule keeps it: a date-time text to the second.
QString scheduleText(const QDateTime &moment);

// Due only in the very second of `nextCheck`, with Update_On 2, no check running,
// and no switch other than 5 or 6 given.
bool checkDue(int commandMode, const QDateTime &now, const QString &nextCheck, int updateOn, bool updaterBusy);

// The next automatic check after one has fired: 24 hours on, 7 seconds with
// "-ShortUpdateTime" (command mode 5).
QString nextCheckAfter(const QDateTime &now, int commandMode);

} // namespace tolvex::update
