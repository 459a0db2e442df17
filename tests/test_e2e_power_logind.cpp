// A real slave program, without any test switch, carries out its power action through
// the login service: the service is a stand-in on a bus of the test's own, which the
// program finds as its system bus. The program never sees an address of a real bus.
#include <QtTest>

#include "ConfigFile.h"
#include "LoginStandIn.h"
#include "PrivateBus.h"
#include "RealProgram.h"
#include "SlaveFixture.h"
#include <memory>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// The slave's configuration: no master ever polls it, so after its activation delay
// and CPUDelay seconds without the link it counts ShutTime seconds down, with its
// warning, and powers off, unforced.
QString slaveFile()
{
    SlaveConfig cfg = slaveScreenDefaults();
    cfg.IPAdd = kMasterAddress;
    cfg.LogLevel = 2;
    cfg.StartDelay = 1;
    cfg.CPUDelay = 5;
    cfg.ShutTime = 2;
    cfg.NoWarn = 1;
    cfg.Force = 1;
    cfg.ShutType = 1;
    cfg.Port1 = freeUdpPort(2);
    cfg.Port2 = cfg.Port1 + 1;
    return slaveConfigFileText(cfg, 1, 0, QDateTime::currentDateTime());
}

} // namespace

class TestE2ePowerLogind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void silentMasterPowersTheSlaveOff();

private:
    // Why the program must not be started with `env`; empty when it may.
    QString refusal(const QProcessEnvironment &env) const;

    std::unique_ptr<PrivateBus> m_bus;
};

void TestE2ePowerLogind::initTestCase()
{
    if (QByteArray(TOLVEX_SU_PATH).isEmpty())
        QSKIP("TolvexSu is not built");
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
    PrivateBus::pointEnvironmentAt(m_bus->address().toUtf8());
}

QString TestE2ePowerLogind::refusal(const QProcessEnvironment &env) const
{
    for (const char *name : {"DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"}) {
        const QString address = env.value(QLatin1String(name));
        if (!m_bus->isAddressOfThisBus(address))
            return QStringLiteral("%1 is \"%2\", not the test's own bus").arg(QLatin1String(name), address);
    }
    for (const char *name : {"DBUS_STARTER_ADDRESS", "DBUS_STARTER_BUS_TYPE"}) {
        if (env.contains(QLatin1String(name)))
            return QStringLiteral("%1 is set").arg(QLatin1String(name));
    }
    if (!m_bus->isRunning())
        return QStringLiteral("the test's own bus is not running");
    return QString();
}

void TestE2ePowerLogind::silentMasterPowersTheSlaveOff()
{
    LoginStandIn standIn(m_bus->address());
    QVERIFY2(standIn.isServing(), qPrintable(standIn.error()));

    RealProgram slave("TolvexS");
    QVERIFY(slave.install(slaveFile()));
    QProcessEnvironment env = RealProgram::environment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_bus->address());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
    env.remove(QStringLiteral("DBUS_STARTER_ADDRESS"));
    env.remove(QStringLiteral("DBUS_STARTER_BUS_TYPE"));
    const QString refused = refusal(env);
    if (!refused.isEmpty())
        QFAIL(qPrintable(QStringLiteral("A real TolvexSu would reach a real login service, so it is not started: ")
                         + refused));

    QVERIFY(slave.start(TOLVEX_SU_PATH, {}, env));
    // The stand-in answers on its own thread while this one waits for the program.
    const bool ended = slave.process.waitForFinished(60000);
    if (slave.errors().contains(QLatin1String("[window]")))
        QSKIP("another Tolvex program holds the machine-wide lock");
    QVERIFY2(ended, qPrintable(slave.log() + slave.errors()));
    QCOMPARE(slave.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(slave.process.exitCode(), 0);

    QCOMPARE(standIn.described(), QStringList({"CanPowerOff()", "PowerOffWithFlags(t 1)"}));
    // The countdown ran, its end asked for the power off, and the log ends with Close.
    QCOMPARE(eventPairs(slave.log(), QStringLiteral("Enter|Run")),
             QStringList({"Enter|Run", "Enter|Power Off", "Start|Power Off", "Start|Power Off", "Close|Power Off"}));
    QVERIFY2(!slave.errors().contains(QLatin1String("[box]")), qPrintable(slave.errors()));
}

TOLVEX_PRIVATE_BUS_TEST_MAIN(TestE2ePowerLogind)
#include "test_e2e_power_logind.moc"
