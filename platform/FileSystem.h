#pragma once
#include <QString>
#include <QStringList>

// The file layer: every file access of the programs goes through here.
// Paths may be written with "\" (turned into "/"); a folder or file name that is
// missing in the exact letter case is looked up without regard to case.
// Text is written as UTF-8 exactly as given (the callers put CR LF themselves) and
// read with LF or CR LF line ends; bytes that are not valid UTF-8 read as Latin-1.
namespace tolvex::fs {

// "\" to "/", then each missing component matched case-insensitively when one
// such entry exists. A trailing separator is kept.
QString nativePath(const QString &path);

bool folderExists(const QString &path);
bool fileExists(const QString &path);

enum class ReadStatus { Ok, CannotOpen, NotText, TooLarge };
// Reads a whole text file into lines (line ends removed). Refuses files above
// `maxBytes`, lines longer than `maxLineLength`, and bytes that are not text
// (NUL and other control characters except TAB).
ReadStatus readTextLines(const QString &path, QStringList &lines,
                         qint64 maxBytes = 1024 * 1024, int maxLineLength = 4096);

// Reads at most `count` first lines (for the log's creation stamp). False when the
// file cannot be opened.
bool readFirstLines(const QString &path, int count, QStringList &lines);

// Appends text to an existing file; false when the file is missing or cannot be
// written. An append that fails part-way is cut off again: the file is left as it was.
bool appendText(const QString &path, const QString &text);

// appendText() for whole lines: when the file does not end with a line end (a line
// cut short by an earlier failure or a crash), the text starts on a fresh line.
bool appendLines(const QString &path, const QString &text);

// Both paths name one existing file (also through another name or a link).
bool sameFile(const QString &a, const QString &b);

// Writes a whole file in one step: a temporary file in the same folder, renamed over
// the target, so an interruption never leaves an empty or half-written file. A file
// replaced keeps its mode, and its owner and group where the process may set them
// (all of them as root; the group when the process belongs to it).
bool replaceWithText(const QString &path, const QString &text);

bool removeFile(const QString &path);
bool renameFile(const QString &from, const QString &to);

} // namespace tolvex::fs
