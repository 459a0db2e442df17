#pragma once
#include <QString>
#include <array>

namespace tolvex {

// The run-time state of the master: the monitoring run, the link rows and the
// window flags. Run-time flags are plain bools here.
struct MasterState {
    // Monitoring run
    int RunState = 0;        // 0 activation delay, 1 Run, 2 countdown
    int Count = 0;           // the one seconds counter of all three states
    int NoComms = 1;         // 1: no valid reply since the last run step
    bool TestMode = false;
    int CommsLimit = 0;
    int DelLimit = 0;
    int DelElapsed = 0;
    double StopSeconds = 0;
    int StopReached = 0;
    QString ActionName;
    QString AppTitle;
    int CycleTick = 2;

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
    QString NextUpdateCheck;

    // Link
    QString TxMessage;
    QString RxData;
    std::array<int, 5> CommsState{};     // rows 1..4: 0 not connected, 1 data error, 2 connected
    std::array<QString, 5> RemoteLetter; // rows 1..4
    bool NetworkOK = true;
    QString CommsSummary;

    // Log
    QString LogText;
    QString LogLine;
};

} // namespace tolvex
