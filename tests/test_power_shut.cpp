#include "PowerBackend.h"
#include "mdShut.h"
#include <QtTest>
#include <climits>

using tolvex::PowerAction;
using tolvex::RecordingPowerBackend;

enum class Backend { Plain, Refusing, Unsupported, Failing };  // what the recording backend answers
constexpr int kHibernate = 1000, kStandby = 1001;               // calls beside ShutdownSystem's flags

class TestPowerShut : public QObject {
    Q_OBJECT

private slots:
    void flagsChooseAction_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<PowerAction>("action");
        QTest::addColumn<bool>("force");
        const std::tuple<int, PowerAction, bool> rows[] = {
            {0, PowerAction::LogOff, false},   {4, PowerAction::LogOff, true},    {1, PowerAction::Halt, false},
            {5, PowerAction::Halt, true},      {2, PowerAction::Reboot, false},   {6, PowerAction::Reboot, true},
            {8, PowerAction::PowerOff, false}, {12, PowerAction::PowerOff, true}, {3, PowerAction::Reboot, false},
            {16, PowerAction::LogOff, false},  {31, PowerAction::PowerOff, true}};
        for (const auto &[flags, action, force] : rows)
            QTest::addRow("%d", flags) << flags << action << force;
    }

    // The privilege step for the action first, then the one request.
    void flagsChooseAction()
    {
        QFETCH(int, flags);
        QFETCH(PowerAction, action);
        QFETCH(bool, force);
        RecordingPowerBackend backend;
        mdShut::PowerContext ctx{backend, "TolvexMu"};
        QVERIFY(mdShut::ShutdownSystem(ctx, flags));
        const auto &calls = backend.calls();
        QCOMPARE(calls.size(), size_t(2));
        QCOMPARE(std::make_tuple(calls[0].privilegeStep, calls[0].action), std::make_tuple(true, action));
        QCOMPARE(std::make_tuple(calls[1].privilegeStep, calls[1].action, calls[1].force),
                 std::make_tuple(false, action, force));
    }

    void suspendCarriesOnWhenItFailsOrIsUnsupported()
    {
        // Each asks the privilege for its own action, then makes a forced request; a
        // failed request is not reported.
        RecordingPowerBackend failing;
        failing.failPerform("Sleep verb \"hibernate\" not supported");
        mdShut::PowerContext ctx{failing, "TolvexSu"};
        QVERIFY(mdShut::Hibernate(ctx) && mdShut::Standby(ctx));
        using Step = std::pair<bool, PowerAction>;  // privilege step or request, and its action
        QList<Step> calls;
        for (const auto &call : failing.calls()) {
            calls.append({call.privilegeStep, call.action});
            QVERIFY(call.privilegeStep || call.force);
        }
        QCOMPARE(calls, QList<Step>({{true, PowerAction::Hibernate}, {false, PowerAction::Hibernate},
                                     {true, PowerAction::Suspend}, {false, PowerAction::Suspend}}));
        // A computer that cannot suspend at all: no request, no effect, the program carries on.
        RecordingPowerBackend unsupported;
        unsupported.privilegeUnsupported("not supported");
        mdShut::PowerContext plain{unsupported, "TolvexMu"};
        QVERIFY(mdShut::Hibernate(plain) && mdShut::Standby(plain));
        QVERIFY(unsupported.performed().empty());
    }

    void failuresRaiseTheirErrors_data()
    {
        QTest::addColumn<Backend>("backend");
        QTest::addColumn<QString>("reason");  // the backend's text
        QTest::addColumn<int>("call");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("calls");  // backend calls made before the error
        for (int flags : {32, -1, INT_MAX, INT_MIN})
            QTest::addRow("flags %d", flags) << Backend::Plain << "" << flags << mdShut::kErrInvalidParameter
                                            << "Invalid parameter to ShutdownSystem: " + QString::number(flags) << 0;
        const QString refused = QStringLiteral("Can't enable shutdown: You do not have the privileges to shutdown "
                                               "this system. [%1]");
        const QString reason = QStringLiteral("Interactive authentication required.");
        for (int call : {8, kHibernate, kStandby})
            QTest::addRow("refused %d", call) << Backend::Refusing << reason << call << mdShut::kErrNoPrivileges
                                              << refused.arg(reason) << 1;
        QTest::newRow("refused without text") << Backend::Refusing << "" << 0 << mdShut::kErrNoPrivileges
                                              << refused.arg("") << 1;
        QTest::newRow("power off unsupported") << Backend::Unsupported << "not supported" << 8
                                               << mdShut::kErrNoPrivileges << refused.arg("not supported") << 1;
        QTest::newRow("request failed") << Backend::Failing << "Operation denied due to active block inhibitor" << 2
                                        << mdShut::kErrShutdownFailed
                                        << "ShutdownSystem failed: Operation denied due to active block inhibitor" << 2;
    }

    void failuresRaiseTheirErrors()
    {
        QFETCH(Backend, backend);
        QFETCH(QString, reason);
        QFETCH(int, call);
        QFETCH(long, number);
        QFETCH(QString, description);
        QFETCH(int, calls);
        RecordingPowerBackend power;
        if (backend == Backend::Refusing)
            power.refusePrivilege(reason);
        else if (backend == Backend::Unsupported)
            power.privilegeUnsupported(reason);
        else if (backend == Backend::Failing)
            power.failPerform(reason);
        mdShut::PowerContext ctx{power, "TolvexSu"};
        try {
            call == kHibernate ? mdShut::Hibernate(ctx) : call == kStandby ? mdShut::Standby(ctx)
                                                                            : mdShut::ShutdownSystem(ctx, call);
            QFAIL("no error raised");
        } catch (const mdShut::ShutdownError &e) {
            QCOMPARE(std::make_tuple(e.number, e.source, e.description),
                     std::make_tuple(number, QString("TolvexSu.mShutDown"), description));
        }
        QCOMPARE(int(power.calls().size()), calls);
    }
};

QTEST_MAIN(TestPowerShut)
#include "test_power_shut.moc"
