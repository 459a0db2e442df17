#pragma once
#include "MonitorState.h"

namespace tolvex {

// What the slave keeps beyond the common run state: the link's state for its log.
struct SlaveState : MonitorState {
    QString LinkStatus = QStringLiteral("...."); // "....", "Fail", "-OK-" or "Error"
};

} // namespace tolvex
