#include "UpdateSchedule.h"

namespace tolvex::update {

QString scheduleText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool checkDue(int commandMode, const QDateTime &now, const QString &nextCheck, int updateOn, bool updaterBusy)
{
    const bool switchAllows = commandMode == 0 || commandMode == 5 || commandMode == 6;
    return switchAllows && scheduleText(now) == nextCheck && updateOn == 2 && !updaterBusy;
}

QString nextCheckAfter(const QDateTime &now, int commandMode)
{
    return scheduleText(commandMode == 5 ? now.addSecs(7) : now.addSecs(24 * 3600));
}

} // namespace tolvex::update
