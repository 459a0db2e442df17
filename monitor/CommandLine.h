#pragma once
#include <QString>
#include <QStringList>

// The command line as one text: the arguments after the program name joined with
// single blanks. At most one test switch counts, at the very start of the line.
namespace tolvex::cmdline {

QString join(const QStringList &argumentsAfterProgram);

// 0 when no switch is found, else 1 "-InhibitShutdown", 2 "-AddErrorMessage",
// 3 "-StartShutdown", 4 "-InhibitAdmin", 5 "-ShortUpdateTime", 6 "-InhibitUpdate".
int commandMode(const QString &commandLine);

// True when the line ends with "-AllowMulti" (case-sensitive).
bool allowMulti(const QString &commandLine);

} // namespace tolvex::cmdline
