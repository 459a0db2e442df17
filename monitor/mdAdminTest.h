#pragma once
#include <QStringList>
#include <sys/types.h>
#include <vector>

namespace mdAdminTest {

// True when the process runs as root or belongs to the administrators group of the
// distribution ("sudo", "wheel" or "admin"); always false with the switch
// "-InhibitAdmin" (command mode 4). Asked afresh on every call.
bool IsAdmin(int commandMode);

// The rule itself, on a given user and group list, for tests.
bool isAdminAccount(uid_t effectiveUid, const QStringList &groupNames);

// Names of the groups the running process belongs to (the whole list, whatever its size).
QStringList processGroupNames();

} // namespace mdAdminTest
