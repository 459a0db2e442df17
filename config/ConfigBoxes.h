#pragma once
#include "ConfigFile.h"
#include "ProgramHost.h"

// The fatal boxes of a configuration read and check, the same in both programs but
// for their titles. Each returns only when the file read, or checked, cleanly.
namespace tolvex {

// A read error ends the program with `readErrorTitle`; a corrupted file with
// productTitle() + " Configuration File Error", led by the section and key counts
// when a test switch was given.
void endOnBadRead(ProgramHost &host, const ConfigReadResult &result, int commandMode, const QString &readErrorTitle);

// A record with failed rules ends the program; `firstLine` is the box's first line.
void endOnBadCheck(ProgramHost &host, const ConfigCheck &check, const QString &firstLine);

} // namespace tolvex
