#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

// The pure parts of archiving and clearing a log: the archive copy's name, whether
// a log holds data, and the text of a fresh log.
namespace tolvex::logarchive {

// LogPath & base & "_" & yymmdd & "_" & n & ext, with the smallest n from 1 whose file
// does not exist yet; base is LogName up to its first ".", ext the rest from there.
// Empty when LogName holds no ".".
QString archiveName(const QString &logPath, const QString &logName, const QDate &today);

// Whether the log holds data: 9 lines or more (a fresh log has 6). Only the first
// lines are read, so a log of any length answers at once. Empty when it cannot be read.
std::optional<bool> holdsData(const QString &path);

// The six lines of a fresh log, each ended by CR LF: the product's log title, the
// version, "File Created", the creation stamp the rotation reads back, two empty lines.
QString freshLogText(const QString &product, const QDateTime &now);

} // namespace tolvex::logarchive
