#pragma once
#include "ProgramHost.h"

namespace tolvex {

// What a configuration screen needs of the program that opened it: the program's
// services, the user's rights, the program-wide flags it reads and sets, and the
// main window's side of leaving the screen. Each main window implements it.
class ConfigScreenHost {
public:
    virtual ~ConfigScreenHost() = default;

    virtual ProgramHost &programHost() = 0;
    // The administrator test, answered afresh for the program's command mode.
    virtual bool IsAdmin() const = 0;
    virtual int commandMode() const = 0;

    // True while a dialog is open: the monitoring cycle pauses.
    virtual bool &dialogOpen() = 0;
    // Seconds left before the monitoring cycle closes the screen.
    virtual int &configCountdown() = 0;
    // A file was saved on the screen; leaving it must apply the file.
    virtual bool &configSaved() = 0;
    virtual bool notConfigured() const = 0;
    // The user's own choice of minimised or normal no longer holds (a save that
    // changes the start-minimised setting).
    virtual void clearWindowToggled() = 0;

    // Gives the main window its buttons and menu items back.
    virtual void restoreMainControls() = 0;
    // The maker's home page in the default browser.
    virtual void openHomePage() = 0;
    // Runs the start-up chain again, so that the saved file takes effect at once.
    virtual void applyConfiguration() = 0;
};

} // namespace tolvex
