// The real power backend against a stand-in login service on a bus of the test's own.
// Before anything else the process's bus addresses are pointed away from every bus of
// the computer, and the backend is only ever given a connection to the private bus.
#include "LogindPowerBackend.h"
#include "LoginStandIn.h"
#include "PrivateBus.h"
#include "mdShut.h"
#include <QDBusVariant>
#include <QtTest>

#include <csignal>
#include <memory>
#include <thread>
#include <unistd.h>

using tolvex::LogindPowerBackend;
using tolvex::PowerAction;
using tolvex::PowerResult;
using tolvex::test::LoginAnswer;
using tolvex::test::LoginCall;
using tolvex::test::LoginStandIn;
using tolvex::test::PrivateBus;
using namespace std::chrono_literals;

namespace {

// A short time-out for the tables of silent answers; the backend's own one is tested once.
constexpr std::chrono::milliseconds kShortTimeout = 250ms;
const QString kShortTimeoutText = QStringLiteral("The login service did not answer within 0.25 seconds.");
const QString kSessionGet = QStringLiteral("/org/freedesktop/login1/session/_33 org.freedesktop.DBus.Properties."
                                           "Get(ss org.freedesktop.login1.Session Id)");

// The machine actions and the names of their methods at the login service.
const std::pair<PowerAction, QString> kMachineActions[] = {
    {PowerAction::PowerOff, "PowerOff"}, {PowerAction::Reboot, "Reboot"},   {PowerAction::Halt, "Halt"},
    {PowerAction::Hibernate, "Hibernate"}, {PowerAction::Suspend, "Suspend"}};

QString pidArg(const char *member) { return QStringLiteral("%1(u %2)").arg(QLatin1String(member)).arg(getpid()); }

// What mdShut raised, as "number description".
QString raised(const std::function<void()> &call)
{
    try {
        call();
    } catch (const mdShut::ShutdownError &e) {
        return QString::number(quint32(e.number), 16) + QLatin1Char(' ') + e.description;
    }
    return QStringLiteral("nothing raised");
}

} // namespace

class TestPowerLogind : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<LoginStandIn> m_standIn;
    QDBusConnection m_connection{QString()};

    LogindPowerBackend backend(std::chrono::milliseconds timeout = LogindPowerBackend::kCallTimeout)
    {
        return LogindPowerBackend(m_connection, timeout);
    }
    LoginStandIn &standIn() { return *m_standIn; }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
        PrivateBus::pointEnvironmentAt(m_bus->address().toUtf8());
        m_connection = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("backend"));
        QVERIFY2(m_connection.isConnected(), qPrintable(m_connection.lastError().message()));
    }

    void init()
    {
        m_standIn = std::make_unique<LoginStandIn>(m_bus->address());
        QVERIFY2(m_standIn->isServing(), qPrintable(m_standIn->error()));
    }

    void cleanup() { m_standIn.reset(); }

    void cleanupTestCase()
    {
        m_connection = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(QStringLiteral("backend"));
        m_bus.reset();
    }

    void actionAsksItsMethodWithItsFlag_data()
    {
        QTest::addColumn<PowerAction>("action");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("older"); // a service without the flag calls
        QTest::addColumn<QStringList>("calls");
        // Unforced, the flag keeps the inhibitor locks holding back a privileged caller
        // too. An older service gets the plain call, never interactive.
        for (const auto &[action, method] : kMachineActions) {
            for (bool force : {true, false}) {
                const QString flagged = QStringLiteral("%1WithFlags(t %2)").arg(method).arg(force ? 0 : 1);
                for (bool older : {false, true}) {
                    QTest::addRow("%s%s%s", qPrintable(method), force ? " forced" : "", older ? ", older service" : "")
                        << action << force << older
                        << (older ? QStringList{flagged, method + QStringLiteral("(b false)")} : QStringList{flagged});
                }
            }
        }
    }

    void actionAsksItsMethodWithItsFlag()
    {
        QFETCH(PowerAction, action);
        QFETCH(bool, force);
        QFETCH(bool, older);
        QFETCH(QStringList, calls);
        if (older)
            standIn().script(calls.first().section(QLatin1Char('('), 0, 0), LoginAnswer::unknownMethod());
        LogindPowerBackend power = backend();
        const PowerResult result = power.perform(action, force);
        QVERIFY2(result.ok, qPrintable(result.errorText));
        QCOMPARE(standIn().described(), calls);
    }

    void failedActionKeepsItsText_data()
    {
        QTest::addColumn<PowerAction>("action");
        QTest::addColumn<bool>("force");
        QTest::addColumn<LoginAnswer>("flagged"); // the answer to the ...WithFlags call
        QTest::addColumn<LoginAnswer>("plain");   // the answer to the plain call
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("calls");
        const LoginAnswer done = LoginAnswer::reply();
        // Only an unknown method leads to the plain call: a refusal or a time-out is the answer.
        QTest::newRow("refused") << PowerAction::Reboot << false
                                 << LoginAnswer::error("org.freedesktop.DBus.Error.AccessDenied",
                                                       "Operation denied due to active block inhibitor")
                                 << done << "Operation denied due to active block inhibitor"
                                 << QStringList{"RebootWithFlags(t 1)"};
        QTest::newRow("plain call fails") << PowerAction::Halt << true << LoginAnswer::unknownMethod()
                                          << LoginAnswer::error("org.freedesktop.DBus.Error.Failed", "Halt failed")
                                          << "Halt failed" << QStringList{"HaltWithFlags(t 0)", "Halt(b false)"};
        // An answer long after the time-out is not waited for, nor one that never comes.
        QTest::newRow("late") << PowerAction::PowerOff << true << LoginAnswer::late(3000, {"yes"}) << done
                              << kShortTimeoutText << QStringList{"PowerOffWithFlags(t 0)"};
        QTest::newRow("never") << PowerAction::Suspend << false << LoginAnswer::silence() << done << kShortTimeoutText
                               << QStringList{"SuspendWithFlags(t 1)"};
    }

    void failedActionKeepsItsText()
    {
        QFETCH(PowerAction, action);
        QFETCH(bool, force);
        QFETCH(LoginAnswer, flagged);
        QFETCH(LoginAnswer, plain);
        QFETCH(QStringList, calls);
        const QString method = calls.first().section(QLatin1Char('('), 0, 0);
        standIn().script(method, flagged);
        standIn().script(method.chopped(int(qstrlen("WithFlags"))), plain);
        LogindPowerBackend power = backend(kShortTimeout);
        const PowerResult result = power.perform(action, force);
        QFETCH(QString, text);
        QCOMPARE(std::make_pair(result.ok, result.errorText), std::make_pair(false, text));
        QCOMPARE(standIn().described(), calls);
    }

    void mayPerformJudgesTheAnswer_data()
    {
        QTest::addColumn<LoginAnswer>("answer");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("unsupported");
        QTest::addColumn<QString>("text");
        const auto says = [](const char *word) { return LoginAnswer::reply({QString::fromLatin1(word)}); };
        QTest::newRow("yes") << says("yes") << true << false << "";
        QTest::newRow("challenge") << says("challenge") << true << false << "";
        QTest::newRow("no") << says("no") << false << false
                            << "The login service does not allow this user this power action.";
        QTest::newRow("na") << says("na") << false << true << "This computer does not support this power action.";
        QTest::newRow("other word") << says("Yes") << false << false << "The login service answered \"Yes\".";
        QTest::newRow("not a text") << LoginAnswer::reply({true}) << false << false
                                    << "The login service gave an unexpected answer.";
        QTest::newRow("error reply") << LoginAnswer::error("org.freedesktop.DBus.Error.AccessDenied", "Access denied")
                                     << false << false << "Access denied";
        QTest::newRow("error without text") << LoginAnswer::error("org.freedesktop.login1.Broken", "") << false << false
                                            << "org.freedesktop.login1.Broken";
        QTest::newRow("no answer") << LoginAnswer::silence() << false << false << kShortTimeoutText;
    }

    void mayPerformJudgesTheAnswer()
    {
        QFETCH(LoginAnswer, answer);
        QFETCH(bool, ok);
        QFETCH(bool, unsupported);
        QFETCH(QString, text);
        LogindPowerBackend power = backend(kShortTimeout);
        QStringList asked;
        for (const auto &[action, method] : kMachineActions) {
            standIn().script(QStringLiteral("Can") + method, answer);
            const PowerResult result = power.mayPerform(action);
            QCOMPARE(std::make_tuple(result.ok, result.unsupported, result.errorText),
                     std::make_tuple(ok, unsupported, text));
            asked << QStringLiteral("Can%1()").arg(method);
        }
        QCOMPARE(standIn().described(), asked);
    }

    void logOffEndsTheSessionOrTheUser_data()
    {
        QTest::addColumn<bool>("inSession");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QStringList>("calls");
        // Inside a session that session is ended, by its Id as read from the session's
        // object (not made up from its path); outside one, every process of the user.
        const QString getSession = pidArg("GetSessionByPID");
        const QStringList inSession{getSession, getSession, kSessionGet, QStringLiteral("TerminateSession(s 3)")};
        QTest::newRow("in a session, forced") << true << true << inSession;
        QTest::newRow("in a session, unforced") << true << false << inSession;
        QTest::newRow("outside a session") << false << true
                                           << QStringList{getSession, pidArg("GetUserByPID"), getSession,
                                                          QStringLiteral("TerminateUser(u %1)").arg(getuid())};
    }

    void logOffEndsTheSessionOrTheUser()
    {
        QFETCH(bool, inSession);
        QFETCH(bool, force);
        if (inSession)
            standIn().placeCallerInSession();
        LogindPowerBackend power = backend();
        QVERIFY(power.mayPerform(PowerAction::LogOff).ok);
        const PowerResult result = power.perform(PowerAction::LogOff, force);
        QVERIFY2(result.ok, qPrintable(result.errorText));
        QTEST(standIn().described(), "calls");
    }

    void logOffFailures_data()
    {
        QTest::addColumn<bool>("inSession");
        QTest::addColumn<QString>("member");        // the method that fails
        QTest::addColumn<LoginAnswer>("answer");
        QTest::addColumn<bool>("privilegeStep");    // mayPerform, else perform
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("calls");
        const LoginAnswer denied = LoginAnswer::error("org.freedesktop.DBus.Error.AccessDenied", "Access denied");
        const QString getSession = pidArg("GetSessionByPID");
        QTest::newRow("no user") << false << "GetUserByPID"
                                 << LoginAnswer::error("org.freedesktop.login1.NoUserForPID",
                                                       "PID 1 does not belong to any known or logged in user")
                                 << true << "PID 1 does not belong to any known or logged in user"
                                 << QStringList{getSession, pidArg("GetUserByPID")};
        // A failure of the session lookup says nothing of the session: the user's
        // every process is not ended instead.
        QTest::newRow("session lookup refused, privilege") << false << "GetSessionByPID" << denied << true
                                                           << "Access denied" << QStringList{getSession};
        QTest::newRow("session lookup refused") << false << "GetSessionByPID" << denied << false << "Access denied"
                                                << QStringList{getSession};
        QTest::newRow("session lookup silent") << false << "GetSessionByPID" << LoginAnswer::silence() << false
                                               << kShortTimeoutText << QStringList{getSession};
        QTest::newRow("user lookup silent") << false << "GetUserByPID" << LoginAnswer::silence() << true
                                            << kShortTimeoutText << QStringList{getSession, pidArg("GetUserByPID")};
        QTest::newRow("Id refused") << true << "Get" << denied << false << "Access denied"
                                    << QStringList{getSession, kSessionGet};
        QTest::newRow("Id silent") << true << "Get" << LoginAnswer::silence() << false << kShortTimeoutText
                                   << QStringList{getSession, kSessionGet};
        QTest::newRow("empty Id") << true << "Get" << LoginAnswer::reply({QVariant::fromValue(QDBusVariant(QString()))})
                                  << false << "The login service gave no identifier for this program's session."
                                  << QStringList{getSession, kSessionGet};
        QTest::newRow("no session path") << true << "GetSessionByPID" << LoginAnswer::reply({QStringLiteral("c3")}) << false
            << "The login service named no session for this program." << QStringList{getSession};
        QTest::newRow("end of session refused") << true << "TerminateSession" << denied << false << "Access denied"
                                                << QStringList{getSession, kSessionGet, "TerminateSession(s 3)"};
        QTest::newRow("end of session silent")
            << true << "TerminateSession" << LoginAnswer::silence() << false << kShortTimeoutText
            << QStringList{getSession, kSessionGet, "TerminateSession(s 3)"};
        const QString terminateUser = QStringLiteral("TerminateUser(u %1)").arg(getuid());
        QTest::newRow("end of user refused") << false << "TerminateUser" << denied << false << "Access denied"
                                             << QStringList{getSession, terminateUser};
        QTest::newRow("end of user silent") << false << "TerminateUser" << LoginAnswer::silence() << false
                                            << kShortTimeoutText << QStringList{getSession, terminateUser};
    }

    void logOffFailures()
    {
        QFETCH(bool, inSession);
        QFETCH(QString, member);
        QFETCH(LoginAnswer, answer);
        QFETCH(bool, privilegeStep);
        QFETCH(QString, text);
        QFETCH(QStringList, calls);
        if (inSession)
            standIn().placeCallerInSession();
        standIn().script(member, answer);
        LogindPowerBackend power = backend(kShortTimeout);
        const PowerResult result = privilegeStep ? power.mayPerform(PowerAction::LogOff)
                                                 : power.perform(PowerAction::LogOff, true);
        QCOMPARE(std::make_pair(result.ok, result.errorText), std::make_pair(false, text));
        QCOMPARE(standIn().described(), calls);
    }

    // The power module reports a time-out under its own error numbers.
    void timeOutRaisesThePowerModulesErrors()
    {
        LogindPowerBackend power = backend(kShortTimeout);
        mdShut::PowerContext ctx{power, QStringLiteral("TolvexSu")};
        standIn().script(QStringLiteral("PowerOffWithFlags"), LoginAnswer::silence());
        QCOMPARE(raised([&] { mdShut::ShutdownSystem(ctx, 12); }),
                 "8004062b ShutdownSystem failed: " + kShortTimeoutText);
        standIn().script(QStringLiteral("CanReboot"), LoginAnswer::silence());
        QCOMPARE(raised([&] { mdShut::ShutdownSystem(ctx, 2); }),
                 "8004062e Can't enable shutdown: You do not have the privileges to shutdown this system. ["
                     + kShortTimeoutText + "]");
    }

    // The backend's own time-out, as the programs use it: a few seconds, then a
    // failure, long before a slow service's answer.
    void defaultTimeOutEndsTheWait()
    {
        standIn().script(QStringLiteral("PowerOffWithFlags"), LoginAnswer::late(15000));
        LogindPowerBackend power(m_connection);
        const PowerResult result = power.perform(PowerAction::PowerOff, false);
        QCOMPARE(std::make_pair(result.ok, result.errorText),
                 std::make_pair(false, QStringLiteral("The login service did not answer within 5 seconds.")));
    }

    void noBusAtAll()
    {
        const QString name = QStringLiteral("nowhere");
        {
            LogindPowerBackend power(QDBusConnection::connectToBus(QString::fromUtf8(PrivateBus::nowhere()), name));
            for (PowerAction action : {PowerAction::PowerOff, PowerAction::LogOff}) {
                const PowerResult allowed = power.mayPerform(action);
                const PowerResult done = power.perform(action, true);
                QVERIFY(!allowed.ok && !allowed.unsupported && !done.ok);
                QVERIFY2(allowed.errorText.contains(QLatin1String("/dev/null/no-bus")), qPrintable(allowed.errorText));
                QCOMPARE(done.errorText, allowed.errorText);
            }
            mdShut::PowerContext ctx{power, QStringLiteral("TolvexMu")};
            QVERIFY(raised([&] { mdShut::Hibernate(ctx); }).startsWith(QLatin1String("8004062e ")));
        }
        QDBusConnection::disconnectFromBus(name);
    }

    // The bus dies while the service has the call: a failure at once, with the
    // bus's text, not a wait for the time-out.
    void busGoesAwayDuringTheCall()
    {
        PrivateBus bus;
        QVERIFY2(bus.isRunning(), qPrintable(bus.error()));
        const QString name = QStringLiteral("vanishing");
        {
            LoginStandIn standIn(bus.address());
            QVERIFY2(standIn.isServing(), qPrintable(standIn.error()));
            standIn.script(QStringLiteral("SuspendWithFlags"), LoginAnswer::silence());
            LogindPowerBackend power(QDBusConnection::connectToBus(bus.address(), name));
            std::thread killer([&] {
                while (standIn.calls().isEmpty())
                    std::this_thread::sleep_for(10ms);
                ::kill(pid_t(bus.processId()), SIGKILL);
            });
            const PowerResult result = power.perform(PowerAction::Suspend, true);
            killer.join();
            QVERIFY(!result.ok);
            QVERIFY2(!result.errorText.isEmpty() && !result.errorText.contains(QLatin1String("did not answer")),
                     qPrintable(result.errorText));
            QVERIFY(!power.mayPerform(PowerAction::Suspend).ok);
        }
        QDBusConnection::disconnectFromBus(name);
    }
};

TOLVEX_PRIVATE_BUS_TEST_MAIN(TestPowerLogind)
#include "test_power_logind.moc"
