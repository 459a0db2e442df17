#include "LogNameRule.h"
#include "FileSystem.h"
#include <QDir>
#include <QFileInfo>

namespace tolvex {

namespace {

// The file a path names: its real path when it exists, else its cleaned absolute path.
QString resolved(const QString &path)
{
    const QFileInfo info(fs::nativePath(path));
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : real;
}

} // namespace

bool isPlainLogName(const QString &logName)
{
    return !logName.contains(QLatin1Char('/')) && !logName.contains(QLatin1Char('\\'));
}

bool logIsConfigFile(const QString &logPath, const QString &logName, const QString &configFile)
{
    return resolved(logPath + logName) == resolved(configFile);
}

} // namespace tolvex
