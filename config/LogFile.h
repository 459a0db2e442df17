#pragma once
#include "ProgramHost.h"
#include <QDateTime>
#include <QString>

namespace tolvex {

// The log settings of one program, as the configuration gave them.
struct LogSettings {
    int LogLevel = 1;
    QString LogPath;
    QString LogName;
    int LogR_On = 1;
};

// "dd-mmm-yy" and "dd-mmm-yy hh:mm:ss" with English month abbreviations.
QString logDate(const QDateTime &t);
QString logStamp(const QDateTime &t);
// Reads back a stamp written by logStamp() (years as 20yy); invalid when it is none.
QDateTime parseLogStamp(const QString &text);

// Whether a log created at `created` is due for rotation at `now`: another calendar
// day at level 3, another calendar month at level 2.
bool rotationDue(const QDateTime &created, const QDateTime &now, int logLevel);

// One event line as written (without its final line end), day banner included when
// `now` is exactly 00:00:00; `comms` is appended after ", Comms: " when not null.
// Both words empty gives CR LF alone.
QString formatLogLine(const QDateTime &now, bool testMode, const QString &event, const QString &detail,
                      double count, const QString &comms);

// The shortest decimal text of a seconds counter (30 -> "30").
QString shortNumber(double value);

} // namespace tolvex

namespace mdInit {
// Rotation if due (a log whose creation stamp cannot be read back counts as due),
// and a new log with its 4-line header when the file is missing. Does nothing at
// LogLevel below 2. Failures end the program.
void StartLogFile(tolvex::ProgramHost &host, const tolvex::LogSettings &log);

// Appends the start header (mode 0) or the configuration dump (mode 1). `logText`
// holds the dump on entry and the text written on return. Nothing at LogLevel 1.
void WriteLogHeader(tolvex::ProgramHost &host, const tolvex::LogSettings &log, int mode, QString &logText);

// How a write failure is handled: end the program (the rule), or report it back to
// the caller (the end of a countdown, which must reach its power action).
enum class LogFailure { Fatal, Report };

// Appends `line` (already formatted) plus CR LF to the log. Nothing at LogLevel 1.
// Returns false only with LogFailure::Report when the line could not be written.
bool AppendLogLine(tolvex::ProgramHost &host, const tolvex::LogSettings &log, const QString &line,
                   LogFailure onFailure = LogFailure::Fatal);
} // namespace mdInit
