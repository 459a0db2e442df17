// What a log name may be: a file in the log folder, never a way out of it and never
// the configuration file (every log line would be appended to it).
#include "ConfigFile.h"
#include "FileSystem.h"

namespace tolvex {

bool isPlainLogName(const QString &logName)
{
    return !logName.contains(QLatin1Char('/')) && !logName.contains(QLatin1Char('\\'));
}

bool isUsableLogName(const QString &logPath, const QString &logName, const QString &configFile)
{
    return isPlainLogName(logName) && !fs::sameFile(logPath + logName, configFile);
}

} // namespace tolvex
