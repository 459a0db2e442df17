#include "LoginStandIn.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutexLocker>
#include <QTimer>

namespace tolvex::test {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionPrefix = QStringLiteral("/org/freedesktop/login1/session/");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The manager's methods a program may call, with their argument signatures.
const QMap<QString, QString> &managerMethods()
{
    static const QMap<QString, QString> methods = [] {
        QMap<QString, QString> m;
        for (const char *action : {"PowerOff", "Reboot", "Halt", "Hibernate", "Suspend"}) {
            const QString name = QLatin1String(action);
            m.insert(QStringLiteral("Can") + name, QString());
            m.insert(name, QStringLiteral("b"));
            m.insert(name + QStringLiteral("WithFlags"), QStringLiteral("t"));
        }
        m.insert(QStringLiteral("GetSessionByPID"), QStringLiteral("u"));
        m.insert(QStringLiteral("GetUserByPID"), QStringLiteral("u"));
        m.insert(QStringLiteral("TerminateSession"), QStringLiteral("s"));
        m.insert(QStringLiteral("TerminateUser"), QStringLiteral("u"));
        return m;
    }();
    return methods;
}

LoginAnswer defaultAnswer(const QString &member, const QDBusMessage &call)
{
    if (member.startsWith(QLatin1String("Can")))
        return LoginAnswer::reply({QStringLiteral("yes")});
    if (member == QLatin1String("GetSessionByPID")) {
        return LoginAnswer::error(QStringLiteral("org.freedesktop.login1.NoSessionForPID"),
                                  QStringLiteral("PID %1 does not belong to any known session")
                                      .arg(call.arguments().value(0).toUInt()));
    }
    if (member == QLatin1String("GetUserByPID"))
        return LoginAnswer::reply({QVariant::fromValue(QDBusObjectPath(QLatin1String(LoginStandIn::kUserPath)))});
    if (member == QLatin1String("Get"))
        return LoginAnswer::reply({QVariant::fromValue(QDBusVariant(QLatin1String(LoginStandIn::kSessionId)))});
    return LoginAnswer::reply();
}

// What the real service says of a call it cannot take, or an empty answer.
LoginAnswer refusal(const QDBusMessage &call)
{
    const QString path = call.path();
    if (path == kManagerPath) {
        const auto method = managerMethods().constFind(call.member());
        if ((!call.interface().isEmpty() && call.interface() != kManagerInterface) || method == managerMethods().cend())
            return LoginAnswer::unknownMethod();
        if (call.signature() != *method)
            return LoginAnswer::error(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                      QStringLiteral("Invalid arguments '%1' to call %2()")
                                          .arg(call.signature(), call.member()));
        return {};
    }
    if (path != QLatin1String(LoginStandIn::kSessionPath))
        return LoginAnswer::error(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                                  QStringLiteral("Unknown object '%1'.").arg(path));
    if (call.interface() != kProperties || call.member() != QLatin1String("Get"))
        return LoginAnswer::unknownMethod();
    if (call.arguments() != QVariantList{QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Id")})
        return LoginAnswer::error(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                  QStringLiteral("Unknown interface or property."));
    return {};
}

} // namespace

LoginAnswer LoginAnswer::unknownMethod()
{
    return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), QStringLiteral("Unknown method"));
}

class LoginStandIn::Object : public QDBusVirtualObject {
public:
    QString introspect(const QString &) const override { return QString(); }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        LoginAnswer answer = refusal(message);
        {
            QMutexLocker lock(&mutex);
            calls.append({message.path(), message.interface(), message.member(), message.signature(),
                          message.arguments(), message.isInteractiveAuthorizationAllowed()});
            if (answer.errorName.isEmpty())
                answer = answers.value(message.member(), defaultAnswer(message.member(), message));
        }
        if (answer.kind == LoginAnswer::Reply && answer.delayMs > 0) {
            QTimer::singleShot(answer.delayMs, this, [connection, reply = message.createReply(answer.values)] {
                connection.send(reply);
            });
        } else if (answer.kind == LoginAnswer::Reply) {
            connection.send(message.createReply(answer.values));
        }
        if (answer.kind == LoginAnswer::Error)
            connection.send(message.createErrorReply(answer.errorName, answer.errorText));
        return true;
    }

    mutable QMutex mutex;
    QMap<QString, LoginAnswer> answers;
    QList<LoginCall> calls;
};

LoginStandIn::LoginStandIn(const QString &busAddress)
    : m_connectionName(QStringLiteral("tolvex-login-stand-in-%1").arg(quintptr(this)))
    , m_connection(QDBusConnection::connectToBus(busAddress, m_connectionName))
    , m_object(std::make_unique<Object>())
{
    if (!m_connection.isConnected()) {
        m_error = QStringLiteral("cannot connect to the bus: ") + m_connection.lastError().message();
        return;
    }
    if (!m_connection.registerVirtualObject(kManagerPath, m_object.get(), QDBusConnection::SubPath)) {
        m_error = QStringLiteral("cannot register the manager's object");
        return;
    }
    m_object->moveToThread(&m_thread);
    m_thread.start();
    if (!m_connection.registerService(kService))
        m_error = QStringLiteral("cannot own the name ") + kService + QStringLiteral(": ")
            + m_connection.lastError().message();
}

LoginStandIn::~LoginStandIn()
{
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(kManagerPath, QDBusConnection::UnregisterTree);
        m_connection.unregisterService(kService);
    }
    m_thread.quit();
    m_thread.wait();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool LoginStandIn::isServing() const
{
    return m_error.isEmpty() && m_connection.isConnected()
        && m_connection.interface()->serviceOwner(kService).value() == m_connection.baseService();
}

void LoginStandIn::script(const QString &member, const LoginAnswer &answer)
{
    QMutexLocker lock(&m_object->mutex);
    m_object->answers.insert(member, answer);
}

void LoginStandIn::placeCallerInSession()
{
    script(QStringLiteral("GetSessionByPID"),
           LoginAnswer::reply({QVariant::fromValue(QDBusObjectPath(QLatin1String(kSessionPath)))}));
}

QList<LoginCall> LoginStandIn::calls() const
{
    QMutexLocker lock(&m_object->mutex);
    return m_object->calls;
}

QStringList LoginStandIn::described() const
{
    QStringList out;
    for (const LoginCall &call : calls()) {
        QStringList args;
        for (const QVariant &arg : call.args)
            args << arg.toString();
        QString text = call.member + QLatin1Char('(') + (call.signature + QLatin1Char(' ') + args.join(' ')).trimmed()
            + QLatin1Char(')');
        if (call.path != kManagerPath || call.interface != kManagerInterface)
            text = call.path + QLatin1Char(' ') + call.interface + QLatin1Char('.') + text;
        if (call.interactive)
            text += QStringLiteral(" +interactive");
        out << text;
    }
    return out;
}

} // namespace tolvex::test
