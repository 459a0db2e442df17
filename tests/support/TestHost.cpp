#include "TestHost.h"
#include <algorithm>

namespace tolvex::test {

bool TestHost::trayRemoved() const
{
    const auto &calls = trayService.calls();
    return std::any_of(calls.begin(), calls.end(),
                       [](const auto &entry) { return entry.call == RecordingTrayService::Call::Remove; });
}

bool TestHost::ends(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ProgramEndedException &) {
        return true;
    }
    return false;
}

} // namespace tolvex::test
