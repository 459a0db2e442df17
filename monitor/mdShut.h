#pragma once
#include <QString>
#include <stdexcept>

#include "PowerBackend.h"

// The power actions at the end of a countdown, over the system's power service.
// Every failure is raised as a ShutdownError; nothing is shown or logged here.
namespace mdShut {

constexpr long kErrShutdownFailed = 0x8004062B;
constexpr long kErrNoPrivilegeValue = 0x8004062C;
constexpr long kErrNoProcess = 0x8004062D;
constexpr long kErrNoPrivileges = 0x8004062E;
constexpr long kErrInvalidParameter = 0x8004062F;

struct ShutdownError : std::runtime_error {
    ShutdownError(long num, QString src, QString desc)
        : std::runtime_error(desc.toStdString()), number(num), source(std::move(src)), description(std::move(desc)) {}
    long number;
    QString source;       // the executable's name + ".mShutDown"
    QString description;
};

// The context every call needs: the backend and the program's executable name
// (without extension) for the error source.
struct PowerContext {
    tolvex::PowerBackend &backend;
    QString programName;
};

// Flags of the system's exit call: 0 log off, 1 shut down, 2 restart, 8 power off,
// plus 4 to force. Valid values 0 to 31.
bool ShutdownSystem(PowerContext &ctx, int flags);
bool Hibernate(PowerContext &ctx);
bool Standby(PowerContext &ctx);
// The privilege step: asks the power service whether this process may carry out
// `action`; a refusal raises 0x8004062E.
bool EnableShutdownPrivilege(PowerContext &ctx, tolvex::PowerAction action);

} // namespace mdShut
