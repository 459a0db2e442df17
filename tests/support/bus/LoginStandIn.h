#pragma once
#include <QDBusConnection>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVariantList>
#include <memory>

namespace tolvex::test {

// One method call the stand-in received.
struct LoginCall {
    QString path;
    QString interface;
    QString member;
    QString signature;
    QVariantList args;
    bool interactive = false; // the caller allowed an interactive authorisation
};

// How the stand-in answers a method.
struct LoginAnswer {
    enum Kind { Reply, Error, Silence } kind = Reply;
    QVariantList values;
    QString errorName;
    QString errorText;
    int delayMs = 0; // a reply sent this long after the call

    static LoginAnswer reply(const QVariantList &values = {}) { return {Reply, values, {}, {}}; }
    // A slow service: the reply comes, but only after `ms`.
    static LoginAnswer late(int ms, const QVariantList &values = {}) { return {Reply, values, {}, {}, ms}; }
    static LoginAnswer error(const QString &name, const QString &text) { return {Error, {}, name, text}; }
    // What a service answers that does not have the method at all.
    static LoginAnswer unknownMethod();
    // No answer ever.
    static LoginAnswer silence() { return {Silence, {}, {}, {}}; }
};

// The login service as a program sees it, on a private bus: it owns the service's
// name, takes the manager's methods on the manager's path and the Id property on a
// session's path, checks their argument signatures as the real service does, answers
// as scripted per method (by default: every Can... "yes", every action done, the caller
// outside any session) and records every call. Its object answers on a thread of its
// own, so a caller that blocks its thread while it waits still gets the answer.
class LoginStandIn {
public:
    static constexpr char kSessionPath[] = "/org/freedesktop/login1/session/_33";
    static constexpr char kSessionId[] = "3";
    static constexpr char kUserPath[] = "/org/freedesktop/login1/user/_1000";

    explicit LoginStandIn(const QString &busAddress);
    ~LoginStandIn();
    LoginStandIn(const LoginStandIn &) = delete;
    LoginStandIn &operator=(const LoginStandIn &) = delete;

    // Connected, and the owner of the service's name on that bus.
    bool isServing() const;
    QString error() const { return m_error; }

    // Replaces the answer to `member` (the property Get is the member "Get").
    void script(const QString &member, const LoginAnswer &answer);
    // The caller belongs to the session at kSessionPath, whose Id is kSessionId.
    void placeCallerInSession();
    QList<LoginCall> calls() const;
    // Each call as "Member(signature arguments)"; a call off the manager names its path
    // and interface first, and one that allows an interactive authorisation says so.
    QStringList described() const;

    class Object; // the object on the bus, shared with its thread

private:
    QString m_connectionName;
    QDBusConnection m_connection;
    QThread m_thread;
    std::unique_ptr<Object> m_object;
    QString m_error;
};

} // namespace tolvex::test

Q_DECLARE_METATYPE(tolvex::test::LoginAnswer)
