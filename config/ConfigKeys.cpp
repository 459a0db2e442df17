#include "ConfigScan.h"

// The key tables of the two configuration files, in the order the reader tries them.
namespace tolvex {

using configscan::ConfigKey;
using configscan::ValueKind;

namespace {

ConfigKey textKey(const char *prefix, QString &field)
{
    return {QLatin1String(prefix), ValueKind::Text, [&field](const QString &text, int) { field = text; }};
}

ConfigKey numberKey(const char *prefix, int &field, ValueKind kind = ValueKind::Integer)
{
    return {QLatin1String(prefix), kind, [&field](const QString &, int number) { field = number; }};
}

} // namespace

ConfigReadResult readMasterConfig(const QString &filePath, MasterConfig &rec)
{
    int fatOn = 0;
    const std::vector<ConfigKey> keys = {
        textKey("CName0=", rec.CName[0]),
        textKey("CName1=", rec.CName[1]),
        textKey("CName2=", rec.CName[2]),
        textKey("CName3=", rec.CName[3]),
        textKey("CName4=", rec.CName[4]),
        numberKey("Del_On=", rec.Del_On),
        numberKey("DelTime=", rec.DelTime),
        numberKey("DName=", rec.DName),
        numberKey("FAT_On=", fatOn),
        numberKey("Force=", rec.Force),
        textKey("IPAdd1=", rec.IPAdd[1]),
        textKey("IPAdd2=", rec.IPAdd[2]),
        textKey("IPAdd3=", rec.IPAdd[3]),
        textKey("IPAdd4=", rec.IPAdd[4]),
        numberKey("CPUDelay=", rec.CPUDelay),
        numberKey("LogLevel=", rec.LogLevel),
        textKey("LogName=", rec.LogName),
        textKey("LogPath=", rec.LogPath),
        numberKey("LogR_On=", rec.LogR_On),
        numberKey("NoWarn=", rec.NoWarn),
        numberKey("Port1=", rec.Port1, ValueKind::Long),
        numberKey("Port2=", rec.Port2, ValueKind::Long),
        numberKey("RunOnTop=", rec.RunOnTop),
        numberKey("StartMin=", rec.StartMin),
        numberKey("ShutTime=", rec.ShutTime),
        numberKey("ShutType=", rec.ShutType),
        numberKey("StartDelay=", rec.StartDelay),
        numberKey("StartTime=", rec.StartTime),
        numberKey("StopTime=", rec.StopTime),
        numberKey("Stop_On=", rec.Stop_On),
        numberKey("Update_On=", rec.Update_On),
        numberKey("UserExit=", rec.UserExit),
        numberKey("UserExitA=", rec.UserExitA),
    };
    return configscan::readConfigFile(filePath, keys, 31, rec, fatOn);
}

ConfigReadResult readSlaveConfig(const QString &filePath, SlaveConfig &rec)
{
    int fatOn = 0;
    const std::vector<ConfigKey> keys = {
        textKey("IPAdd=", rec.IPAdd),
        numberKey("CPUDelay=", rec.CPUDelay),
        numberKey("DName=", rec.DName),
        numberKey("FAT_On=", fatOn),
        numberKey("Force=", rec.Force),
        numberKey("LogLevel=", rec.LogLevel),
        textKey("LogName=", rec.LogName),
        textKey("LogPath=", rec.LogPath),
        numberKey("LogR_On=", rec.LogR_On),
        numberKey("NoWarn=", rec.NoWarn),
        numberKey("Port1=", rec.Port1, ValueKind::Long),
        numberKey("Port2=", rec.Port2, ValueKind::Long),
        numberKey("RunOnTop=", rec.RunOnTop),
        numberKey("StartMin=", rec.StartMin),
        numberKey("ShutTime=", rec.ShutTime),
        numberKey("ShutType=", rec.ShutType),
        numberKey("StartDelay=", rec.StartDelay),
        numberKey("StartTime=", rec.StartTime),
        numberKey("StopTime=", rec.StopTime),
        numberKey("Stop_On=", rec.Stop_On),
        numberKey("UserExit=", rec.UserExit),
        numberKey("UserExitA=", rec.UserExitA),
    };
    return configscan::readConfigFile(filePath, keys, 20, rec, fatOn);
}

} // namespace tolvex
