#pragma once
#include <QString>
#include <vector>

namespace tolvex {

// What the system's power service can be asked to do.
enum class PowerAction { LogOff, Halt, Reboot, PowerOff, Hibernate, Suspend };

struct PowerResult {
    bool ok = true;
    QString errorText; // the system's own text for a failure (may be empty)
    // The computer cannot do this at all (switched off or not supported), as opposed
    // to a refusal for this user.
    bool unsupported = false;
};

// The system's power service. The privilege step asks whether this process may carry
// out the action at all; perform() asks the system to do it. `force` means: do not
// wait for programs that hold the shutdown back.
class PowerBackend {
public:
    virtual ~PowerBackend() = default;
    virtual PowerResult mayPerform(PowerAction action) = 0;
    virtual PowerResult perform(PowerAction action, bool force) = 0;
};

// For tests: records each request and answers as scripted; touches nothing real.
class RecordingPowerBackend : public PowerBackend {
public:
    struct Call { bool privilegeStep; PowerAction action; bool force; };

    PowerResult mayPerform(PowerAction action) override;
    PowerResult perform(PowerAction action, bool force) override;

    void refusePrivilege(const QString &text) { m_privilege = {false, text}; }
    void privilegeUnsupported(const QString &text) { m_privilege = {false, text, true}; }
    void failPerform(const QString &text) { m_perform = {false, text}; }

    const std::vector<Call> &calls() const { return m_calls; }
    std::vector<Call> performed() const;

private:
    std::vector<Call> m_calls;
    PowerResult m_privilege;
    PowerResult m_perform;
};

// Used by a program when no real backend is linked: every request fails, so a
// countdown end can never power anything off by accident.
class RefusingPowerBackend : public PowerBackend {
public:
    PowerResult mayPerform(PowerAction) override { return {false, QStringLiteral("No power service is available.")}; }
    PowerResult perform(PowerAction, bool) override { return {false, QStringLiteral("No power service is available.")}; }
};

} // namespace tolvex
