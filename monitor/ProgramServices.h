#pragma once
#include "Clock.h"
#include "DesktopService.h"
#include "MessageBoxService.h"
#include "PowerBackend.h"
#include "ProgramEnd.h"
#include "TrayService.h"
#include <QString>
#include <functional>

namespace tolvex {

// The outside world of one program: everything that shows, ends, tells the time,
// powers the computer down or asks for administrator rights goes through here, so
// that a program can run headless and harmless in a test.
struct ProgramServices {
    MessageBoxService &boxes;
    ProgramEnd &end;
    Clock &clock;
    TrayService &tray;
    PowerBackend &power;
    // Web pages and the log, handed to the desktop.
    DesktopService &desktop;
    // The administrator test for a command mode (-1/0 in the rules: true/false here).
    std::function<bool(int commandMode)> isAdmin;
    // The executable's name without extension ("TolvexMu"), for power error sources.
    QString programName;
};

} // namespace tolvex
