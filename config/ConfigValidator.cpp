#include "ConfigFile.h"

namespace tolvex {

namespace {

bool outside(int value, int low, int high) { return value < low || value > high; }

bool isFolderPath(const QString &path)
{
    return path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'));
}

// The rules both programs apply to the keys they share.
int commonErrors(CommonConfig &rec, const QString &configFile)
{
    if (rec.LogPath.isEmpty())
        rec.LogPath = QStringLiteral("Log\\");

    int errors = 0;
    auto fail = [&errors](bool failed) { errors += failed ? 1 : 0; };
    fail(outside(rec.CPUDelay, 5, 600));
    fail(outside(rec.DName, 1, 2));
    fail(outside(rec.Force, 1, 2));
    fail(outside(rec.LogLevel, 1, 3));
    fail(outside(int(rec.LogName.size()), 8, 20));
    fail(!isUsableLogName(rec.LogPath, rec.LogName, configFile));
    fail(!isFolderPath(rec.LogPath) || rec.LogPath.size() > 100 || rec.LogPath.size() < 2);
    fail(outside(rec.LogR_On, 1, 2));
    fail(outside(rec.NoWarn, 1, 2));
    fail(outside(rec.Port1, 1024, 65535));
    fail(outside(rec.Port2, 1024, 65535));
    fail(outside(rec.RunOnTop, 1, 2));
    fail(outside(rec.ShutTime, 2, 600));
    fail(outside(rec.StartMin, 1, 2));
    fail(outside(rec.ShutType, 1, 7));
    fail(outside(rec.StartTime, 1, 2));
    fail(outside(rec.Stop_On, 1, 2));
    fail(outside(rec.UserExitA, 1, 2));
    if (rec.StartTime == 1) {
        fail(outside(rec.StartDelay, 1, 3600));
    } else if (rec.StartTime == 2) {
        fail(outside(rec.StartDelay, 0, 2359));
        fail(!mdInit::IsValidTime(timeText(rec.StartDelay)));
    }
    // A StopTime of 1hhmm passes: only its last four digits are read as the time.
    fail(outside(rec.StopTime, 0, 12359));
    fail(!mdInit::IsValidTime(timeText(rec.StopTime)));
    return errors;
}

// The address rule: with DName 1 an IPv4 address (or nothing), with DName 2 a name.
bool addressFails(int dName, const QString &address)
{
    const bool ip = mdIPCheck::IsIPAddress(address);
    if (dName == 1)
        return !address.isEmpty() && !ip;
    if (dName == 2)
        return ip || address.size() > 100;
    return false;
}

} // namespace

ConfigCheck validateMasterConfig(MasterConfig &rec, const QString &configFile)
{
    ConfigCheck check;
    check.errors = commonErrors(rec, configFile);
    auto fail = [&check](bool failed) { check.errors += failed ? 1 : 0; };
    for (const QString &name : rec.CName)
        fail(name.size() > 25);
    fail(outside(rec.Del_On, 1, 2));
    fail(outside(rec.DelTime, 60, 10800));
    fail(outside(rec.Update_On, 1, 2));
    fail(rec.Del_On == 2 && rec.CPUDelay >= rec.DelTime);
    for (int i = 1; i <= 4; ++i)
        fail(addressFails(rec.DName, rec.IPAdd[i]));

    bool notConfigured = rec.CName[0].isEmpty();
    for (int i = 1; i <= 4; ++i) {
        if (rec.CName[i].isEmpty())
            continue;
        if (rec.DName == 1 && !mdIPCheck::IsIPAddress(rec.IPAdd[i]))
            notConfigured = true;
        if (rec.DName == 2 && rec.IPAdd[i].isEmpty())
            notConfigured = true;
    }
    if (mdIPCheck::IsIPAddress(rec.IPAdd[2]) && mdIPCheck::IsIPAddress(rec.IPAdd[4])
        && !mdIPCheck::IsIPAddress(rec.IPAdd[1]) && !mdIPCheck::IsIPAddress(rec.IPAdd[3]))
        notConfigured = true;
    check.notConfigured = notConfigured;
    return check;
}

ConfigCheck validateSlaveConfig(SlaveConfig &rec, const QString &configFile)
{
    ConfigCheck check;
    check.errors = commonErrors(rec, configFile) + (addressFails(rec.DName, rec.IPAdd) ? 1 : 0);
    const bool ip = mdIPCheck::IsIPAddress(rec.IPAdd);
    if (rec.DName == 1)
        check.notConfigured = !ip;
    else if (rec.DName == 2)
        check.notConfigured = rec.IPAdd.isEmpty() || rec.IPAdd.size() > 100 || ip;
    return check;
}

} // namespace tolvex
