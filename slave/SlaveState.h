#pragma once
#include "LinkDatagram.h"
#include "MonitorState.h"

namespace tolvex {

// What the slave keeps beyond the common run state: the link's state for its log.
struct SlaveState : MonitorState {
    QString LinkStatus = QStringLiteral("...."); // "....", "Fail", "-OK-" or "Error"
    // Renewed on every tick of the cycle: a valid datagram came in this second (then no
    // invalid one marks the link), and the error replies still allowed in it.
    bool ValidThisSecond = false;
    int ErrorRepliesLeft = link::kErrorRepliesPerSecond;
};

} // namespace tolvex
