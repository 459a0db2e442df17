#pragma once
#include <QString>

// What a log name may be: a plain file name in the log folder, never a path that
// leaves it, and never the program's own configuration file.
namespace tolvex {

// False when the name holds a folder separator ("/" or "\").
bool isPlainLogName(const QString &logName);

// True when LogPath & LogName name the same file as `configFile` (both relative to
// the working directory or absolute; letter case as the file layer matches it).
bool logIsConfigFile(const QString &logPath, const QString &logName, const QString &configFile);

} // namespace tolvex
