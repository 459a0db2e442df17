#include "LogFile.h"
#include "Clock.h"
#include "FatalChecks.h"
#include "FileSystem.h"
#include "TolvexVersion.h"

using tolvex::BoxIcon;
using tolvex::LogSettings;
using tolvex::ProgramHost;

namespace mdInit {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString logFilePath(const LogSettings &log) { return tolvex::fs::nativePath(log.LogPath + log.LogName); }

QString versionLine()
{
    return QStringLiteral("Version ") + QString::number(tolvex::kVersionMajor) + QLatin1Char('.')
        + QString::number(tolvex::kVersionMinor);
}

[[noreturn]] void startFailure(ProgramHost &host, const LogSettings &log, const QString &wording)
{
    tolvex::fatalExit(host, host.productTitle() + QStringLiteral(" Log File Error"),
                      {QStringLiteral("Unable to ") + wording + log.LogName + QLatin1Char('.'),
                       QStringLiteral("This may be a permissions problem."),
                       QStringLiteral("The program will now terminate.")},
                      BoxIcon::Exclamation);
}

[[noreturn]] void writeFailure(ProgramHost &host, const LogSettings &log)
{
    tolvex::fatalExit(host, host.productTitle() + QStringLiteral(" Log File Write Error"),
                      {QStringLiteral("Unable to write to the log file ") + log.LogName + QLatin1Char('.'),
                       QStringLiteral("This may be a permissions problem."),
                       QStringLiteral("The program will now terminate.")},
                      BoxIcon::Exclamation);
}

// The log's creation stamp is its fourth line. False when the log cannot be read,
// is shorter, or the line is no stamp.
bool creationStamp(const QString &path, QDateTime &created)
{
    QStringList lines;
    if (!tolvex::fs::readFirstLines(path, 4, lines) || lines.size() < 4)
        return false;
    created = tolvex::parseLogStamp(lines.at(3));
    return created.isValid();
}

// The name of a generation ("_A" or "_B"): before the last "." of the name, or at
// its end when it has none.
QString generationName(const QString &logName, const QString &generation)
{
    const int dot = logName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return logName + generation;
    return logName.left(dot) + generation + logName.mid(dot);
}

// Moves the log to its "_A" generation and that one to "_B". False on any failure.
bool rotate(const LogSettings &log)
{
    const QString genA = tolvex::fs::nativePath(log.LogPath + generationName(log.LogName, QStringLiteral("_A")));
    const QString genB = tolvex::fs::nativePath(log.LogPath + generationName(log.LogName, QStringLiteral("_B")));
    if (tolvex::fs::fileExists(genB) && !tolvex::fs::removeFile(genB))
        return false;
    if (tolvex::fs::fileExists(genA) && !tolvex::fs::renameFile(genA, genB))
        return false;
    return tolvex::fs::renameFile(logFilePath(log), genA);
}

} // namespace

void StartLogFile(ProgramHost &host, const LogSettings &log)
{
    if (log.LogLevel < 2)
        return;
    CheckLogDirectory(host, log.LogPath);

    const QString rotateWording = QStringLiteral("rotate the log file ");
    const QString path = logFilePath(log);
    const QDateTime now = host.clock().now();
    bool rotated = false;
    if (tolvex::fs::fileExists(path) && log.LogR_On == 2) {
        // A log whose stamp cannot be read back (cut short by a crash or a full disk)
        // is put aside as due, so that it never keeps the program from starting.
        QDateTime created;
        if (!creationStamp(path, created) || tolvex::rotationDue(created, now, log.LogLevel)) {
            if (!rotate(log))
                startFailure(host, log, rotateWording);
            rotated = true;
        }
    }

    if (tolvex::fs::fileExists(path))
        return;
    // The new log and its header are written in one step, so no empty log is left.
    QString header = host.productTitle() + kCrLf + versionLine() + kCrLf + QStringLiteral("File Created") + kCrLf
        + tolvex::logStamp(now) + kCrLf;
    if (rotated)
        header += kCrLf + kCrLf + kCrLf;
    if (!tolvex::fs::replaceWithText(path, header))
        startFailure(host, log, QStringLiteral("create the log file "));
}

void WriteLogHeader(ProgramHost &host, const LogSettings &log, int mode, QString &logText)
{
    if (log.LogLevel < 2)
        return;
    if (mode == 0) {
        const QString header = host.productTitle() + kCrLf + versionLine() + kCrLf + tolvex::logDate(host.clock().now())
            + kCrLf;
        logText = log.LogLevel == 3 ? header + logText + kCrLf : header;
    } else if (mode == 1) {
        logText = kCrLf + logText + kCrLf;
    }
    CheckLogDirectory(host, log.LogPath);
    CheckWorkFile(host, QStringLiteral("log"), log.LogPath, log.LogName);
    if (!tolvex::fs::appendLines(logFilePath(log), logText + kCrLf))
        writeFailure(host, log);
}

bool AppendLogLine(ProgramHost &host, const LogSettings &log, const QString &line, LogFailure onFailure)
{
    // No log file exists at level 1, so there is nothing to write to or check.
    if (log.LogLevel < 2)
        return true;
    const QString path = logFilePath(log);
    if (onFailure == LogFailure::Report) {
        if (!tolvex::fs::folderExists(tolvex::fs::nativePath(log.LogPath)) || !tolvex::fs::fileExists(path))
            return false;
        return tolvex::fs::appendLines(path, line + kCrLf);
    }
    CheckLogDirectory(host, log.LogPath);
    CheckWorkFile(host, QStringLiteral("log"), log.LogPath, log.LogName);
    if (!tolvex::fs::appendLines(path, line + kCrLf))
        writeFailure(host, log);
    return true;
}

} // namespace mdInit
