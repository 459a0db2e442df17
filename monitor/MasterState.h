#pragma once
#include "MonitorState.h"
#include <QDateTime>
#include <array>

namespace tolvex {

// What the master keeps beyond the common run state: its title, the half-second
// tick, the fixed delay, the update schedule and the slave rows.
struct MasterState : MonitorState {
    QString AppTitle;
    int CycleTick = 2;
    int DelLimit = 0;
    int DelElapsed = 0;
    QDateTime NextUpdateCheck; // the moment of the next automatic update check

    QString RxData;
    std::array<int, 5> CommsState{};     // rows 1..4: 0 not connected, 1 data error, 2 connected
    std::array<QString, 5> RemoteLetter; // rows 1..4
    bool NetworkOK = true;
    QString CommsSummary;
};

} // namespace tolvex
