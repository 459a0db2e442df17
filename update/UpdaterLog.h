#pragma once
#include "ProgramHost.h"
#include "UpdateReply.h"
#include <QDateTime>

// The updater's own log, "Updater.log" in the log folder, written only while a file
// "LogOn.txt" lies beside it (placed there by hand). Each entry is written with one
// call and gets a line end after its own last character; lines end in CR LF.
namespace tolvex::update {

// The whole text of a new log: "Updater", "Version 1.0", "File Created", the moment,
// and two empty lines.
QString updaterLogHeader(int versionMajor, int versionMinor, const QDateTime &now);

// Entry 1, when a check starts: the moment, "Update Check" and the request URL.
QString requestEntry(const QDateTime &now, const QString &url);
// Entry 2: what the program sends about itself.
QString programEntry(int commandMode, const QString &displayName, const QString &major, const QString &minor,
                     const QString &osVer);
// Entry 3, written in two calls: its heading, then the reply with the blanks at both
// ends removed, and an empty line. Entries 3 and 4 show the server's text as
// serverText() makes it.
QString replyHeading();
QString replyPageEntry(const QString &page);
// Entry 4: the elements read from the reply and how many were missing.
QString replyDataEntry(const UpdateReply &reply);

// Text from the server as the log keeps it: every control character made visible as
// "\x" and two hex digits ("\x1b"), so that showing the log never lets the server
// drive a terminal. CR LF and a bare LF both become the log's line end CR LF; a bare
// CR is made visible like any other control character.
QString serverText(const QString &text);

// Spaces removed at both ends (not other white space).
QString trimSpaces(const QString &text);

// Makes sure the log exists with its header; when it cannot be created the program
// ends with a box. `logPath` is the log folder, ending with a separator.
void createUpdaterLog(ProgramHost &host, const QString &logPath, int versionMajor, int versionMinor);
// Appends one entry while "LogOn.txt" exists; a missing log, or one that cannot be
// written, ends the program with a box.
void writeUpdaterLog(ProgramHost &host, const QString &logPath, const QString &text);
// Whether the marker "LogOn.txt" is in the log folder.
bool updaterLogOn(const QString &logPath);

} // namespace tolvex::update
