#pragma once
#include "ConfigRecord.h"
#include <QDateTime>
#include <QString>

namespace tolvex {

// Reading, dumping, checking and writing the configuration files of both programs.
// One reader and one dump serve both, each program with its own key table.

enum class ConfigReadStatus {
    Ok,         // both counters reached 0
    Corrupted,  // a section or key count is off
    ReadError   // cannot open/read, not text, a value too large for its field
};

struct ConfigReadResult {
    ConfigReadStatus status = ConfigReadStatus::Ok;
    int sectionErrors = 0;  // the section counter as it ended (may be negative)
    int keyErrors = 0;      // the key counter as it ended (may be negative)
    QString logText;        // the configuration dump for the log header
};

// `filePath` is the file to read (already checked to exist). The record is updated in
// place: a key absent from the file keeps the field's previous value.
ConfigReadResult readMasterConfig(const QString &filePath, MasterConfig &rec);
ConfigReadResult readSlaveConfig(const QString &filePath, SlaveConfig &rec);

struct ConfigCheck {
    int errors = 0;            // failed rules; above 0 the file counts as corrupted
    bool notConfigured = false;
};

// Completes an empty LogPath with "Log\" and judges the record. `configFile` is the
// program's own configuration file, which the log must never be.
ConfigCheck validateMasterConfig(MasterConfig &rec, const QString &configFile = QStringLiteral("Data\\TolvexM.ini"));
ConfigCheck validateSlaveConfig(SlaveConfig &rec, const QString &configFile = QStringLiteral("Data\\TolvexS.ini"));

// A log name is a file name: it holds no folder separator ("/" or "\").
bool isPlainLogName(const QString &logName);
// The log name rule of the configuration: a plain name that, in the log folder, is
// not `configFile`. Both the file validators and the screens judge LogName by it.
bool isUsableLogName(const QString &logPath, const QString &logName, const QString &configFile);

// The whole file text as the configuration screen writes it (CR LF line ends).
QString masterConfigFileText(const MasterConfig &rec, int major, int minor, const QDateTime &savedAt);
QString slaveConfigFileText(const SlaveConfig &rec, int major, int minor, const QDateTime &savedAt);

// The values the configuration screen's Restore puts in (fields it keeps are left as
// in a fresh record, with DName 1).
MasterConfig masterScreenDefaults();
SlaveConfig slaveScreenDefaults();

// Number of a text: the leading decimal number (blanks skipped, optional sign and
// decimal point), 0 when there is none.
double numberOfText(const QString &text);

// A time of day hhmm as "hh:mm" (930 -> "09:30", 5 -> "00:05").
QString timeText(int hhmm);

} // namespace tolvex

namespace mdIPCheck {
// Dotted quad, each part 1 to 255.
bool IsIPAddress(const QString &address);
}

namespace mdInit {
// "hh:mm", hours 0 to 23, minutes 0 to 59.
bool IsValidTime(const QString &text);
}
