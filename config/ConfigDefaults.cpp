#include "ConfigFile.h"

// The values the configuration screens' Restore puts in. Names and addresses are
// kept by Restore, so a fresh record leaves them empty, with IPv4 addresses (DName 1).
namespace tolvex {

namespace {

void commonDefaults(CommonConfig &rec)
{
    rec.StartTime = 1;
    rec.LogLevel = 2;
    rec.LogPath = QStringLiteral("Log\\");
    rec.LogR_On = 2;
    rec.RunOnTop = 1;
    rec.StartDelay = 2;
    rec.StartMin = 1;
    rec.DName = 1;
    rec.CPUDelay = 60;
    rec.StopTime = 0;  // 00:00, written 10000
    rec.Stop_On = 1;
    rec.Force = 2;
    rec.NoWarn = 1;
    rec.ShutTime = 60;
    rec.ShutType = 1;
    rec.UserExitA = 2;
    rec.UserExit = 0;
}

} // namespace

MasterConfig masterScreenDefaults()
{
    MasterConfig rec;
    commonDefaults(rec);
    rec.LogName = QStringLiteral("TolvexM.log");
    rec.Update_On = 2;
    rec.Port1 = 10000;
    rec.Port2 = 10001;
    rec.Del_On = 1;
    rec.DelTime = 900;
    return rec;
}

SlaveConfig slaveScreenDefaults()
{
    SlaveConfig rec;
    commonDefaults(rec);
    rec.LogName = QStringLiteral("TolvexS.log");
    rec.Port1 = 10001;
    rec.Port2 = 10000;
    return rec;
}

} // namespace tolvex
