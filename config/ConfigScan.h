#pragma once
#include "ConfigFile.h"
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The parts of the configuration reader that both programs share. Each program
// describes its keys in a table; the scan, the number rules and the dump are common.
namespace tolvex::configscan {

// The field type a numeric key is stored in.
enum class ValueKind {
    Text,     // the rest of the line, unchanged
    Integer,  // signed 16 bit
    Long      // signed 32 bit
};

struct ConfigKey {
    QString prefix;  // the key text including its "="
    ValueKind kind;
    // Stores the value: `text` for text keys, `number` for numeric keys.
    std::function<void(const QString &text, int number)> store;
};

// The number of a text made whole (halves to even) and checked against the
// field's range; empty when it does not fit.
std::optional<int> wholeNumberFor(const QString &text, ValueKind kind);

// The number of a text when the whole text (blanks around it aside) is one
// number; empty otherwise. Used where a text must be a number, not merely begin with one.
std::optional<double> strictNumber(const QString &text);

// Trims blanks (spaces) at both ends, the way configuration lines are trimmed.
QString trimBlanks(const QString &line);

// The dump of the configuration lines, two short lines to a row.
class ConfigDump {
public:
    ConfigDump();
    void add(const QString &trimmedLine);
    const QString &text() const { return m_text; }

private:
    QString m_text;
    bool m_pending = false;
};

struct ScanResult {
    bool readError = false;
    int sectionCounter = 4;
    int keyCounter = 0;
    QString dump;
};

// Runs the key table over the lines: skips comments and empty lines, counts keys and
// sections down from `keyCount` and 4, and builds the dump. Stops with readError
// set when a value does not fit its field.
ScanResult scanConfigLines(const QStringList &lines, const std::vector<ConfigKey> &keys, int keyCount);

// The steps after the scan that both programs share: the old keys UserExit= and
// StartTime=, and the clock-time conversion. False on an overflow.
bool finishCommonKeys(CommonConfig &rec, int fatOnValue, int &keyCounter);

// Reads the file, runs the scan and the common steps. `fatOnValue` is the variable
// the table's "FAT_On=" key stores into.
ConfigReadResult readConfigFile(const QString &filePath, const std::vector<ConfigKey> &keys, int keyCount,
                                CommonConfig &rec, const int &fatOnValue);

} // namespace tolvex::configscan
