#include "TestHost.h"

namespace tolvex::test {

TestHost::TestHost(const QString &productTitle)
    : title(productTitle), m_adapter(*this)
{
}

BoxRequest TestHost::lastBox() const
{
    return boxes.shown().empty() ? BoxRequest() : boxes.shown().back();
}

bool TestHost::trayRemoved() const
{
    for (const RecordingTrayService::Entry &entry : tray.calls()) {
        if (entry.call == RecordingTrayService::Call::Remove)
            return true;
    }
    return false;
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
