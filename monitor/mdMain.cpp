#include "mdMain.h"
#include "CommandLine.h"

namespace mdMain {

bool TakeInstanceLock(tolvex::InstanceLock &lock, const QString &commandLine, const QString &projectName)
{
    const bool allowMulti = tolvex::cmdline::allowMulti(commandLine);
    const bool found = lock.checkPrevInstance(QStringLiteral("Tolvex"));
    if (!allowMulti && found)
        return false;
    // Normally the first call took the lock and this one takes nothing; it takes the
    // project's own lock when another instance runs and -AllowMulti let this one start.
    const bool found2 = lock.checkPrevInstance(projectName);
    if (!allowMulti && !found2)
        lock.holdExtra(QStringLiteral("Tolvex"));
    return true;
}

} // namespace mdMain
