#pragma once
#include "ProgramHost.h"

namespace tolvex { class MonitorWindow; }

namespace mdMisc {
// Opens a page of the maker's web site (its path below the web root; "" for the home
// page) in the default browser. A failure is reported in a box and otherwise ignored.
void OpenWebPage(tolvex::ProgramHost &host, const QString &page);

// A modal box that closes itself after `seconds` (0 means 5 seconds).
tolvex::BoxAnswer TimedMsgBox(tolvex::ProgramHost &host, const QString &prompt, int seconds,
                              tolvex::BoxButtons buttons, const QString &title);

// The update window has closed: no check runs, and the Update button and menu item
// are enabled again.
void EnableUpdateControls(tolvex::MonitorWindow &m);
}
