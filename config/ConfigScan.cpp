#include "ConfigScan.h"
#include "FileSystem.h"

namespace tolvex::configscan {

namespace {

const QStringList kSections = {QStringLiteral("[Activate]"), QStringLiteral("[Comms]"), QStringLiteral("[Run]"),
                               QStringLiteral("[Shutdown]")};

// hhmm arithmetic on a 16-bit field; false when the result does not fit.
bool addToInteger(int &field, int amount)
{
    const long result = long(field) + amount;
    if (result < -32768 || result > 32767)
        return false;
    field = int(result);
    return true;
}

} // namespace

ScanResult scanConfigLines(const QStringList &lines, const std::vector<ConfigKey> &keys, int keyCount)
{
    ScanResult result;
    result.keyCounter = keyCount;
    ConfigDump dump;
    for (const QString &raw : lines) {
        // A comment is recognised before trimming: an indented "#" line is no comment.
        if (raw.isEmpty() || raw.startsWith(QLatin1Char('#')))
            continue;
        const QString line = trimBlanks(raw);
        for (const ConfigKey &key : keys) {
            if (!line.startsWith(key.prefix))
                continue;
            const QString value = line.mid(key.prefix.size());
            if (key.kind == ValueKind::Text) {
                key.store(value, 0);
            } else {
                const std::optional<int> number = wholeNumberFor(value, key.kind);
                if (!number) {
                    result.readError = true;
                    return result;
                }
                key.store(QString(), *number);
            }
            --result.keyCounter;
            break;
        }
        if (kSections.contains(line))
            --result.sectionCounter;
        dump.add(line);
    }
    result.dump = dump.text();
    return result;
}

bool finishCommonKeys(CommonConfig &rec, int fatOnValue, int &keyCounter)
{
    if (rec.UserExit != 0) {
        rec.UserExitA = rec.UserExit == 2 ? 1 : (rec.UserExit == 1 ? 2 : 0);
        ++keyCounter;
        rec.UserExit = 0;
    }
    if (rec.StartTime != 0) {
        if (fatOnValue != 0)
            ++keyCounter;
    } else {
        rec.StartTime = fatOnValue;
    }
    if (rec.StartTime == 2 && rec.StartDelay < 10000 && !addToInteger(rec.StartDelay, 10000))
        return false;
    if (!addToInteger(rec.StopTime, -10000))
        return false;
    if (rec.StartTime == 2 && !addToInteger(rec.StartDelay, -10000))
        return false;
    return true;
}

ConfigReadResult readConfigFile(const QString &filePath, const std::vector<ConfigKey> &keys, int keyCount,
                                CommonConfig &rec, const int &fatOnValue)
{
    ConfigReadResult result;
    rec.StartTime = 0;
    QStringList lines;
    if (fs::readTextLines(fs::nativePath(filePath), lines) != fs::ReadStatus::Ok) {
        result.status = ConfigReadStatus::ReadError;
        return result;
    }
    ScanResult scan = scanConfigLines(lines, keys, keyCount);
    result.logText = scan.dump;
    result.sectionErrors = scan.sectionCounter;
    if (scan.readError || !finishCommonKeys(rec, fatOnValue, scan.keyCounter)) {
        result.status = ConfigReadStatus::ReadError;
        return result;
    }
    result.keyErrors = scan.keyCounter;
    if (scan.sectionCounter != 0 || scan.keyCounter != 0)
        result.status = ConfigReadStatus::Corrupted;
    return result;
}

} // namespace tolvex::configscan
