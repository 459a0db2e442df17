#pragma once
#include "ProgramHost.h"

namespace mdMisc {
// A modal box that closes itself after `seconds` (0 means 5 seconds).
tolvex::BoxAnswer TimedMsgBox(tolvex::ProgramHost &host, const QString &prompt, int seconds,
                              tolvex::BoxButtons buttons, const QString &title);
}
