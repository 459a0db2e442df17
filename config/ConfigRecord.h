#pragma once
#include <QString>
#include <array>

namespace tolvex {

// Settings both programs keep under the same keys. Integer fields are 16-bit in the
// file's rules, Port1/Port2 32-bit; on/off values are 1 (off) or 2 (on); clock
// times are hhmm in memory.
struct CommonConfig {
    int StartTime = 0;   // key FAT_On: 1 after a delay, 2 at a clock time
    int LogLevel = 0;    // 1 None, 2 Normal, 3 Full
    QString LogName;
    QString LogPath;
    int LogR_On = 0;
    int RunOnTop = 0;
    int StartDelay = 0;  // seconds, or hhmm with StartTime 2
    int StartMin = 0;
    int DName = 0;       // 1 IPv4 addresses, 2 host names
    int Port1 = 0;
    int Port2 = 0;
    int CPUDelay = 0;
    int StopTime = 0;    // hhmm
    int Stop_On = 0;
    int Force = 0;
    int NoWarn = 0;
    int ShutTime = 0;
    int ShutType = 0;    // 1 Power Off .. 7 Log Off
    int UserExitA = 0;
    int UserExit = 0;    // old key, read and turned into UserExitA
};

struct MasterConfig : CommonConfig {
    std::array<QString, 5> CName;  // 0 = this computer, 1..4 the remote computers
    std::array<QString, 5> IPAdd;  // 1..4 used
    int Del_On = 0;
    int DelTime = 0;
    int Update_On = 0;
};

struct SlaveConfig : CommonConfig {
    QString IPAdd;                 // the master's address or host name
};

} // namespace tolvex
