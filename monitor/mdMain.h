#pragma once
#include "InstanceLock.h"
#include <QString>

namespace mdMain {

// The lock steps of the entry procedure. "Tolvex" is shared by master and slave;
// `projectName` is "TolvexM" or "TolvexS". Answers false when the start-up error
// window is to be shown instead of the main window.
bool TakeInstanceLock(tolvex::InstanceLock &lock, const QString &commandLine, const QString &projectName);

} // namespace mdMain
