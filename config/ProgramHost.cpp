#include "ProgramHost.h"
#include "ProgramEnd.h"
#include "TrayService.h"
#include <cstdlib>

namespace tolvex {

void fatalExit(ProgramHost &host, const QString &title, const QStringList &lines, BoxIcon icon, bool stopTimer)
{
    if (stopTimer)
        host.stopMainTimer();
    BoxRequest box;
    box.title = title;
    box.text = joinCrLf(lines);
    box.icon = icon;
    box.buttons = BoxButtons::Ok;
    host.boxes().show(box);
    host.tray().remove();
    host.programEnd().endProgram(1);
    // endProgram() never returns; should an implementation ever do so, stop here
    // rather than run on after a fatal condition.
    std::abort();
}

QString joinCrLf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace tolvex
