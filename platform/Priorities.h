#pragma once

namespace tolvex {
// Raises the calling thread to the highest and the process to a high priority.
// Best effort: without the right to do so nothing changes and nothing is reported.
void raiseProcessPriorities();
}
