#pragma once
#include "ProgramHost.h"

class QWidget;

namespace tolvex {
class DesktopService;
class MonitorWindow;
} // namespace tolvex

namespace mdMisc {
// Opens a page of the maker's web site (its path below the web root; "" for the home
// page) in the default browser. A failure is reported in a box titled with the
// program's title and " Error", and otherwise ignored.
void OpenWebPage(tolvex::ProgramHost &host, const QString &page);
// The same for a window that runs before the program's services exist (the start-up
// error window).
void OpenWebPage(tolvex::MessageBoxService &boxes, tolvex::DesktopService &desktop, const QString &productTitle,
                 const QString &page);

// A modal box that closes itself after `seconds` (0 means 5 seconds); closed earlier
// by the user, its timer ends with it.
tolvex::BoxAnswer TimedMsgBox(tolvex::ProgramHost &host, const QString &prompt, int seconds,
                              tolvex::BoxButtons buttons, const QString &title);

// Takes the window's Close (the title bar's close button) away, or with `revert` puts
// the window's default title bar back, Close included. Taking it away twice is the
// same as once; putting it back always gives the default back.
void RemoveCloseMenu(QWidget &form, bool revert);

// The update window has closed: no check runs, and the Update button and menu item
// are enabled again.
void EnableUpdateControls(tolvex::MonitorWindow &m);
} // namespace mdMisc
