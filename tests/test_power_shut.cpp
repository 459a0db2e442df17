#include <QtTest>

#include <climits>
#include <functional>
#include <optional>

#include "PowerBackend.h"
#include "mdShut.h"

using tolvex::PowerAction;
using tolvex::RecordingPowerBackend;

namespace {

std::optional<mdShut::ShutdownError> raised(const std::function<void()> &call)
{
    try {
        call();
    } catch (const mdShut::ShutdownError &e) {
        return e;
    }
    return std::nullopt;
}

} // namespace

class TestPowerShut : public QObject {
    Q_OBJECT

private slots:
    void flagsChooseAction_data();
    void flagsChooseAction();
    void hibernateAndStandby();
    void flagsOutOfRange();
    void refusedPrivilege();
    void failedRequest();
    void unsupportedSuspendHasNoEffect();
};

void TestPowerShut::flagsChooseAction_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("force");

    QTest::newRow("0 log off") << 0 << int(PowerAction::LogOff) << false;
    QTest::newRow("4 log off forced") << 4 << int(PowerAction::LogOff) << true;
    QTest::newRow("1 shut down") << 1 << int(PowerAction::Halt) << false;
    QTest::newRow("5 shut down forced") << 5 << int(PowerAction::Halt) << true;
    QTest::newRow("2 restart") << 2 << int(PowerAction::Reboot) << false;
    QTest::newRow("6 restart forced") << 6 << int(PowerAction::Reboot) << true;
    QTest::newRow("8 power off") << 8 << int(PowerAction::PowerOff) << false;
    QTest::newRow("12 power off forced") << 12 << int(PowerAction::PowerOff) << true;
    QTest::newRow("3 restart wins") << 3 << int(PowerAction::Reboot) << false;
    QTest::newRow("16 unforced log off") << 16 << int(PowerAction::LogOff) << false;
    QTest::newRow("31 power off forced") << 31 << int(PowerAction::PowerOff) << true;
}

void TestPowerShut::flagsChooseAction()
{
    QFETCH(int, flags);
    QFETCH(int, action);
    QFETCH(bool, force);

    RecordingPowerBackend backend;
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexMu")};
    QVERIFY(mdShut::ShutdownSystem(ctx, flags));

    // The privilege step for the same action comes first, then the one request.
    const auto &calls = backend.calls();
    QCOMPARE(calls.size(), size_t(2));
    QVERIFY(calls[0].privilegeStep);
    QCOMPARE(int(calls[0].action), action);
    QVERIFY(!calls[1].privilegeStep);
    QCOMPARE(int(calls[1].action), action);
    QCOMPARE(calls[1].force, force);
}

void TestPowerShut::hibernateAndStandby()
{
    // A refused suspend request is not reported: the program carries on.
    RecordingPowerBackend backend;
    backend.failPerform(QStringLiteral("Sleep verb \"hibernate\" not supported"));
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexSu")};

    QVERIFY(mdShut::Hibernate(ctx));
    QVERIFY(mdShut::Standby(ctx));

    // Each asks the privilege for its own action first, then makes a critical request.
    const auto &calls = backend.calls();
    QCOMPARE(calls.size(), size_t(4));
    const PowerAction expected[] = {PowerAction::Hibernate, PowerAction::Hibernate, PowerAction::Suspend,
                                    PowerAction::Suspend};
    for (size_t i = 0; i < 4; ++i) {
        QCOMPARE(calls[i].privilegeStep, i % 2 == 0);
        QCOMPARE(calls[i].action, expected[i]);
        if (!calls[i].privilegeStep)
            QVERIFY(calls[i].force);
    }
}

void TestPowerShut::flagsOutOfRange()
{
    RecordingPowerBackend backend;
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexMu")};
    for (int flags : {32, -1, INT_MAX, INT_MIN}) {
        const auto error = raised([&] { mdShut::ShutdownSystem(ctx, flags); });
        QVERIFY(error);
        QCOMPARE(error->number, 0x8004062FL);
        QCOMPARE(error->source, QStringLiteral("TolvexMu.mShutDown"));
        QCOMPARE(error->description, QStringLiteral("Invalid parameter to ShutdownSystem: ") + QString::number(flags));
    }
    QVERIFY(backend.calls().empty());
}

void TestPowerShut::refusedPrivilege()
{
    RecordingPowerBackend backend;
    backend.refusePrivilege(QStringLiteral("Interactive authentication required."));
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexSu")};
    const QString expected = QStringLiteral("Can't enable shutdown: You do not have the privileges to shutdown "
                                            "this system. [Interactive authentication required.]");

    const std::function<void()> actions[] = {[&] { mdShut::ShutdownSystem(ctx, 8); },
                                             [&] { mdShut::Hibernate(ctx); },
                                             [&] { mdShut::Standby(ctx); }};
    for (const auto &action : actions) {
        const auto error = raised(action);
        QVERIFY(error);
        QCOMPARE(error->number, 0x8004062EL);
        QCOMPARE(error->source, QStringLiteral("TolvexSu.mShutDown"));
        QCOMPARE(error->description, expected);
    }
    QVERIFY(backend.performed().empty());

    // A refusal without a text still closes the brackets.
    RecordingPowerBackend silent;
    silent.refusePrivilege(QString());
    mdShut::PowerContext quiet{silent, QStringLiteral("TolvexMu")};
    const auto error = raised([&] { mdShut::ShutdownSystem(quiet, 0); });
    QVERIFY(error);
    QVERIFY(error->description.endsWith(QStringLiteral("system. []")));
}

void TestPowerShut::failedRequest()
{
    RecordingPowerBackend backend;
    backend.failPerform(QStringLiteral("Operation denied due to active block inhibitor"));
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexMu")};

    const auto error = raised([&] { mdShut::ShutdownSystem(ctx, 2); });
    QVERIFY(error);
    QCOMPARE(error->number, 0x8004062BL);
    QCOMPARE(error->source, QStringLiteral("TolvexMu.mShutDown"));
    QCOMPARE(error->description,
             QStringLiteral("ShutdownSystem failed: Operation denied due to active block inhibitor"));
    QCOMPARE(backend.performed().size(), size_t(1));
}

void TestPowerShut::unsupportedSuspendHasNoEffect()
{
    // A computer with hibernation switched off: the request has no effect and the
    // program carries on; powering off such a computer still fails loudly.
    RecordingPowerBackend backend;
    backend.privilegeUnsupported(QStringLiteral("not supported"));
    mdShut::PowerContext ctx{backend, QStringLiteral("TolvexMu")};
    QVERIFY(mdShut::Hibernate(ctx));
    QVERIFY(mdShut::Standby(ctx));
    QVERIFY(backend.performed().empty());
    try {
        mdShut::ShutdownSystem(ctx, 8);
        QFAIL("no error raised");
    } catch (const mdShut::ShutdownError &e) {
        QCOMPARE(e.number, mdShut::kErrNoPrivileges);
    }
}

QTEST_MAIN(TestPowerShut)
#include "test_power_shut.moc"
