#pragma once
#include "ProgramHost.h"

// The fatal folder and file checks. Each returns at once when its path exists and
// otherwise ends the program through fatalExit() with its own box.
namespace mdInit {
void CheckDirectory(tolvex::ProgramHost &host, const QString &n);
void CheckLogDirectory(tolvex::ProgramHost &host, const QString &p);
void CheckWorkFile(tolvex::ProgramHost &host, const QString &k, const QString &f, const QString &m);
void CheckInstalledFile(tolvex::ProgramHost &host, const QString &k, const QString &f, const QString &m);
}
