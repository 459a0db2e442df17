#pragma once
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantList>
#include <chrono>

#include "PowerBackend.h"

namespace tolvex {

// The power service of systemd-logind on the system bus. Every request is made
// without interactive authorisation, and every reply is checked: a D-Bus error is a
// refusal or a failure carrying the error's message.
class LogindPowerBackend : public PowerBackend {
public:
    // How long one call may wait for its answer. The calls come at the end of a
    // countdown, on the program's one thread: a login service that does not answer
    // must give a failure, not a frozen program.
    static constexpr std::chrono::milliseconds kCallTimeout{5000};

    explicit LogindPowerBackend(const QDBusConnection &bus = QDBusConnection::systemBus(),
                                std::chrono::milliseconds callTimeout = kCallTimeout);

    PowerResult mayPerform(PowerAction action) override;
    PowerResult perform(PowerAction action, bool force) override;

private:
    QDBusMessage callManager(const QString &method, const QVariantList &args = {});
    QDBusMessage callOn(const QString &path, const QString &interface, const QString &method,
                        const QVariantList &args);
    PowerResult logOff();

    QDBusConnection m_bus;
    std::chrono::milliseconds m_timeout;
};

} // namespace tolvex
