#pragma once
#include "ProgramHost.h"
#include <QDateTime>
#include <QPixmap>

namespace tolvex::update {

// What the update window reads from its program when it loads.
struct UpdaterSettings {
    QString webRoot;          // the maker's web root, ending in "/"
    QString logPath;          // the log folder of "LogOn.txt" and "Updater.log"
    int commandMode = 0;
    bool manualCheck = false; // opened by the user (shown) rather than by the schedule (hidden)
    bool slave = false;       // the slave program's window
};

// What the update window needs of the main window that opens it.
class UpdaterHost {
public:
    virtual ~UpdaterHost() = default;
    // Boxes, clock and program end for the updater log's checks; its product title
    // ("Tolvex" or "Tolvex Slave") is the name the window shows.
    virtual ProgramHost &program() = 0;
    virtual UpdaterSettings updaterSettings() const = 0;
    // The moment of the next automatic check, set when a check loads.
    virtual void setNextUpdateCheck(const QDateTime &moment) = 0;
    // Opens a page of the maker's web site ("" for the home page).
    virtual void openWebPage(const QString &page) = 0;
    // The window has unloaded: the Update controls are given back, and the window may
    // be deleted (not from inside this call).
    virtual void updaterUnloaded() = 0;
    virtual QPixmap logo() const = 0;
};

} // namespace tolvex::update
