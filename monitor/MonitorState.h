#pragma once
#include <QString>

namespace tolvex {

// The run-time state both programs keep: the monitoring run and the window flags.
// Run-time flags are plain bools here.
struct MonitorState {
    // Monitoring run
    int RunState = 0;        // 0 activation delay, 1 Run, 2 countdown
    int Count = 0;           // the one seconds counter of all three states
    int NoComms = 1;         // 1: no valid datagram since the last Run second
    bool TestMode = false;
    // The limits this run goes by: CPUDelay and ShutTime from the configuration, or
    // the test switches' shorter ones. The configuration itself is never changed.
    int CommsLimit = 0;
    int ShutLimit = 0;       // seconds of the countdown
    double StopSeconds = 0;
    int StopReached = 0;
    QString ActionName;

    // Program
    int CommandMode = 0;
    bool DialogOpen = false;
    bool NotConfigured = false;
    int AboutCountdown = 30;
    int ConfigCountdown = 30;
    bool ConfigSaved = false;
    bool ApplyStartMin = true;
    bool WindowToggled = false;
    bool CentreOnShow = false;
    bool UpdaterBusy = false;
    bool ManualCheck = false;

    // Link: the master's next poll or command, the slave's next answer.
    QString TxMessage;

    // Log
    QString LogText;
    QString LogLine;
};

} // namespace tolvex
