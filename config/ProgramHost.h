#pragma once
#include "MessageBoxService.h"
#include <QString>
#include <QStringList>

namespace tolvex {

class Clock;
class DesktopService;
class ProgramEnd;
class TrayService;

// What the shared procedures (fatal checks, log writers, configuration reader) need
// of the program they run in. Each program's one state object implements it.
class ProgramHost {
public:
    virtual ~ProgramHost() = default;

    // "Tolvex" in the master, "Tolvex Slave" in the slave: the product title that
    // begins box titles and the log's first line.
    virtual QString productTitle() const = 0;
    virtual MessageBoxService &boxes() = 0;
    virtual const Clock &clock() const = 0;
    virtual ProgramEnd &programEnd() = 0;
    virtual TrayService &tray() = 0;
    virtual DesktopService &desktop() = 0;
    // Stops the main window's repeating timer tmrRefresh.
    virtual void stopMainTimer() = 0;
    // True from the first step of a countdown to its end: a file that cannot be written
    // then must not end the program before its power action.
    virtual bool countdownUnderWay() const { return false; }
};

// The fatal path shared by every check: stop the main timer, show the modal box
// (OK only), delete the tray icon, end the program. Never returns.
[[noreturn]] void fatalExit(ProgramHost &host, const QString &title, const QStringList &lines, BoxIcon icon,
                            bool stopTimer = true);

// Joins lines with CR LF, the way every box text is built.
QString joinCrLf(const QStringList &lines);

} // namespace tolvex
