#include "CommandLine.h"

namespace tolvex::cmdline {

QString join(const QStringList &argumentsAfterProgram)
{
    return argumentsAfterProgram.join(QLatin1Char(' '));
}

int commandMode(const QString &commandLine)
{
    static const char *const switches[] = {"-InhibitShutdown", "-AddErrorMessage", "-StartShutdown",
                                           "-InhibitAdmin",    "-ShortUpdateTime", "-InhibitUpdate"};
    int mode = 0;
    // Each test runs on its own; a later match overwrites an earlier one.
    for (int code = 1; code <= 6; ++code) {
        if (commandLine.startsWith(QLatin1String(switches[code - 1]), Qt::CaseSensitive))
            mode = code;
    }
    return mode;
}

bool allowMulti(const QString &commandLine)
{
    return commandLine.endsWith(QLatin1String("-AllowMulti"), Qt::CaseSensitive);
}

} // namespace tolvex::cmdline
