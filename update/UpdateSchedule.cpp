#include "UpdateSchedule.h"

namespace tolvex::update {

bool checkDue(int commandMode, const QDateTime &now, const QDateTime &nextCheck, int updateOn, bool updaterBusy)
{
    const bool switchAllows = commandMode == 0 || commandMode == 5 || commandMode == 6;
    return switchAllows && nextCheck.isValid() && now >= nextCheck && updateOn == 2 && !updaterBusy;
}

QDateTime nextCheckAfter(const QDateTime &now, int commandMode)
{
    return commandMode == 5 ? now.addSecs(7) : now.addSecs(24 * 3600);
}

} // namespace tolvex::update
