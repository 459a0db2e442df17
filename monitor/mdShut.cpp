#include "mdShut.h"

namespace mdShut {

namespace {

using tolvex::PowerAction;

constexpr int kFlagShutDown = 1;
constexpr int kFlagRestart = 2;
constexpr int kFlagForce = 4;
constexpr int kFlagPowerOff = 8;

QString errorSource(const PowerContext &ctx)
{
    return ctx.programName + QStringLiteral(".mShutDown");
}

// The action of a flag value. Only one action bit is meant to be set; when several
// are, the strongest wins in the order power off, restart, shut down, and no action
// bit at all means log off. Bit 16 (force only programs that hang) has no
// counterpart in the power service and is ignored, so 16 is an unforced log off.
PowerAction actionOfFlags(int flags)
{
    if (flags & kFlagPowerOff)
        return PowerAction::PowerOff;
    if (flags & kFlagRestart)
        return PowerAction::Reboot;
    if (flags & kFlagShutDown)
        return PowerAction::Halt;
    return PowerAction::LogOff;
}

} // namespace

namespace {

// The privilege step. A computer that cannot do the action at all answers false
// when `unsupportedIsNoEffect` is set; every other refusal raises.
bool enablePrivilege(PowerContext &ctx, tolvex::PowerAction action, bool unsupportedIsNoEffect)
{
    // The power service decides per action whether this process may carry it
    // out; there is no separate privilege lookup or process handle to fail, so
    // 0x8004062C and 0x8004062D are never raised here.
    const tolvex::PowerResult allowed = ctx.backend.mayPerform(action);
    if (!allowed.ok && allowed.unsupported && unsupportedIsNoEffect)
        return false;
    if (!allowed.ok) {
        throw ShutdownError(kErrNoPrivileges, errorSource(ctx),
                            QStringLiteral("Can't enable shutdown: You do not have the privileges to "
                                           "shutdown this system. [")
                                + allowed.errorText + QLatin1Char(']'));
    }
    return true;
}

} // namespace

bool EnableShutdownPrivilege(PowerContext &ctx, tolvex::PowerAction action)
{
    return enablePrivilege(ctx, action, false);
}

bool ShutdownSystem(PowerContext &ctx, int flags)
{
    if (flags < 0 || flags > 31) {
        throw ShutdownError(kErrInvalidParameter, errorSource(ctx),
                            QStringLiteral("Invalid parameter to ShutdownSystem: ") + QString::number(flags));
    }
    const PowerAction action = actionOfFlags(flags);
    EnableShutdownPrivilege(ctx, action);

    const tolvex::PowerResult done = ctx.backend.perform(action, (flags & kFlagForce) != 0);
    if (!done.ok) {
        throw ShutdownError(kErrShutdownFailed, errorSource(ctx),
                            QStringLiteral("ShutdownSystem failed: ") + done.errorText);
    }
    return true;
}

bool Hibernate(PowerContext &ctx)
{
    // On a computer that cannot hibernate (switched off, not supported) the request
    // has no effect and the program carries on re-armed.
    if (!enablePrivilege(ctx, PowerAction::Hibernate, true))
        return true;
    // A hibernation or standby is requested as a critical one: no program is asked
    // for leave, so it is forced. The program carries on in its re-armed state
    // whatever the request gives, so a refused or unsupported one is not reported.
    (void)ctx.backend.perform(PowerAction::Hibernate, true);
    return true;
}

bool Standby(PowerContext &ctx)
{
    if (!enablePrivilege(ctx, PowerAction::Suspend, true))
        return true;
    (void)ctx.backend.perform(PowerAction::Suspend, true);
    return true;
}

} // namespace mdShut
