#include "PowerBackend.h"

namespace tolvex {

PowerResult RecordingPowerBackend::mayPerform(PowerAction action)
{
    m_calls.push_back({true, action, false});
    return m_privilege;
}

PowerResult RecordingPowerBackend::perform(PowerAction action, bool force)
{
    m_calls.push_back({false, action, force});
    return m_perform;
}

std::vector<RecordingPowerBackend::Call> RecordingPowerBackend::performed() const
{
    std::vector<Call> result;
    for (const Call &c : m_calls) {
        if (!c.privilegeStep)
            result.push_back(c);
    }
    return result;
}

} // namespace tolvex
