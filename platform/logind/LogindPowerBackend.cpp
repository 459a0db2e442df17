#include "LogindPowerBackend.h"

#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>

#include <sys/types.h>
#include <unistd.h>

namespace tolvex {

namespace {

QString service() { return QStringLiteral("org.freedesktop.login1"); }
QString managerPath() { return QStringLiteral("/org/freedesktop/login1"); }
QString managerInterface() { return QStringLiteral("org.freedesktop.login1.Manager"); }

// logind's flag that makes block inhibitor locks hold back a privileged caller too.
constexpr qulonglong kRootCheckInhibitors = 0x01;

// The manager's method for an action; empty for log off, which has none.
QString methodOf(PowerAction action)
{
    switch (action) {
    case PowerAction::PowerOff: return QStringLiteral("PowerOff");
    case PowerAction::Reboot: return QStringLiteral("Reboot");
    case PowerAction::Halt: return QStringLiteral("Halt");
    case PowerAction::Hibernate: return QStringLiteral("Hibernate");
    case PowerAction::Suspend: return QStringLiteral("Suspend");
    case PowerAction::LogOff: break;
    }
    return QString();
}

bool failed(const QDBusMessage &reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

// The login service's answer when the process belongs to no login session.
bool noSession(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage
        && reply.errorName() == QLatin1String("org.freedesktop.login1.NoSessionForPID");
}

// The text of a failed reply: the D-Bus error's message, else its name.
QString failureText(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return QStringLiteral("The login service gave no answer.");
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

PowerResult resultOf(const QDBusMessage &reply)
{
    if (failed(reply))
        return {false, failureText(reply)};
    return {true, QString()};
}

// The answer of a Can... call: "yes" and "challenge" allow the action.
PowerResult judgeAnswer(const QDBusMessage &reply)
{
    if (failed(reply))
        return {false, failureText(reply)};
    const QVariant value = reply.arguments().value(0);
    if (value.metaType().id() != QMetaType::QString)
        return {false, QStringLiteral("The login service gave an unexpected answer.")};
    const QString answer = value.toString();
    if (answer == QLatin1String("yes") || answer == QLatin1String("challenge"))
        return {true, QString()};
    if (answer == QLatin1String("na"))
        return {false, QStringLiteral("This computer does not support this power action."), true};
    if (answer == QLatin1String("no"))
        return {false, QStringLiteral("The login service does not allow this user this power action.")};
    return {false, QStringLiteral("The login service answered \"%1\".").arg(answer)};
}

} // namespace

LogindPowerBackend::LogindPowerBackend(const QDBusConnection &bus, std::chrono::milliseconds callTimeout)
    : m_bus(bus)
    , m_timeout(callTimeout)
{
}

QDBusMessage LogindPowerBackend::callOn(const QString &path, const QString &interface, const QString &method,
                                        const QVariantList &args)
{
    if (!m_bus.isConnected()) {
        const QString text = m_bus.lastError().message();
        return QDBusMessage::createError(QDBusError::Disconnected,
                                         text.isEmpty() ? QStringLiteral("The system bus is not available.") : text);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service(), path, interface, method);
    call.setArguments(args);
    // A watchdog has nobody to answer a password prompt.
    call.setInteractiveAuthorizationAllowed(false);
    const int timeout = int(m_timeout.count());
    QElapsedTimer waited;
    waited.start();
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, timeout);
    // The library gives up with NoReply once the time-out has run out, by a timer
    // that may fire a little early; a NoReply well before it is the bus telling that
    // the service went away without answering, and keeps the bus's own text.
    const bool noReply = reply.type() == QDBusMessage::ErrorMessage
        && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply");
    if (noReply && waited.elapsed() >= timeout - timeout / 10) {
        return QDBusMessage::createError(reply.errorName(),
                                         QStringLiteral("The login service did not answer within %1 seconds.")
                                             .arg(QString::number(timeout / 1000.0)));
    }
    return reply;
}

QDBusMessage LogindPowerBackend::callManager(const QString &method, const QVariantList &args)
{
    return callOn(managerPath(), managerInterface(), method, args);
}

PowerResult LogindPowerBackend::mayPerform(PowerAction action)
{
    if (action == PowerAction::LogOff) {
        // Log off ends the caller's session, or all of the caller's processes when
        // it runs outside a session; either must be known to the login service.
        const QDBusMessage session = callManager(QStringLiteral("GetSessionByPID"), {uint(getpid())});
        if (!failed(session))
            return {true, QString()};
        if (!noSession(session))
            return {false, failureText(session)};
        const QDBusMessage user = callManager(QStringLiteral("GetUserByPID"), {uint(getpid())});
        if (!failed(user))
            return {true, QString()};
        return {false, failureText(user)};
    }
    return judgeAnswer(callManager(QStringLiteral("Can") + methodOf(action)));
}

PowerResult LogindPowerBackend::perform(PowerAction action, bool force)
{
    if (action == PowerAction::LogOff)
        return logOff();

    // logind has two kinds of inhibitor lock. A block lock stops the action unless
    // the caller may override it: root always may, unless it passes
    // kRootCheckInhibitors; others need the "...-ignore-inhibit" authorisation. A
    // delay lock is always waited for, at most InhibitDelayMaxSec, and no caller can
    // skip that wait. So an unforced request lets block locks hold it back for
    // everybody, and a forced one (flags 0) overrides them wherever the caller is
    // allowed to; the bounded wait for delay locks remains in both cases.
    const QString method = methodOf(action);
    const qulonglong flags = force ? 0 : kRootCheckInhibitors;
    QDBusMessage reply = callManager(method + QStringLiteral("WithFlags"), {QVariant::fromValue(flags)});
    if (reply.type() == QDBusMessage::ErrorMessage
        && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")) {
        // An older logind without the flag calls: the plain call, which overrides
        // block locks where the caller is allowed to.
        reply = callManager(method, {false});
    }
    return resultOf(reply);
}

PowerResult LogindPowerBackend::logOff()
{
    const QDBusMessage session = callManager(QStringLiteral("GetSessionByPID"), {uint(getpid())});
    if (noSession(session)) {
        // Not inside a login session: end every process of the user instead. Any
        // other failure (a time-out, a refusal) tells nothing about the session, and
        // must not widen the action to the user's every process.
        return resultOf(callManager(QStringLiteral("TerminateUser"), {uint(getuid())}));
    }
    if (failed(session))
        return {false, failureText(session)};
    const QString path = session.arguments().value(0).value<QDBusObjectPath>().path();
    if (path.isEmpty())
        return {false, QStringLiteral("The login service named no session for this program.")};

    const QDBusMessage idReply = callOn(path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Id")});
    if (failed(idReply))
        return {false, failureText(idReply)};
    const QString id = idReply.arguments().value(0).value<QDBusVariant>().variant().toString();
    if (id.isEmpty())
        return {false, QStringLiteral("The login service gave no identifier for this program's session.")};

    return resultOf(callManager(QStringLiteral("TerminateSession"), {id}));
}

} // namespace tolvex
