#pragma once
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantList>

#include "PowerBackend.h"

namespace tolvex {

// The power service of systemd-logind on the system bus. Every request is made
// without interactive authorisation, and every reply is checked: a D-Bus error is a
// refusal or a failure carrying the error's message.
class LogindPowerBackend : public PowerBackend {
public:
    explicit LogindPowerBackend(const QDBusConnection &bus = QDBusConnection::systemBus());

    PowerResult mayPerform(PowerAction action) override;
    PowerResult perform(PowerAction action, bool force) override;

private:
    QDBusMessage callManager(const QString &method, const QVariantList &args = {});
    QDBusMessage callOn(const QString &path, const QString &interface, const QString &method,
                        const QVariantList &args);
    PowerResult logOff();

    QDBusConnection m_bus;
};

} // namespace tolvex
