#include <QtTest>

#include "ConfigFile.h"
#include "TestSupport.h"
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <memory>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// Every part 1 to 255, as the address rule asks, and local on every Linux system.
const QString kLoopback = QStringLiteral("127.1.1.1");
constexpr int kStartMs = 10000;
constexpr int kLinkMs = 30000;
constexpr int kCountdownMs = 45000;

// One installed program in its own folder, started headless. Its boxes and windows are
// read from its standard error; it is killed when the test lets go of it.
class Program {
public:
    explicit Program(QString executable)
        : m_executable(std::move(executable))
    {
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                         [this] { m_stderr += process.readAllStandardError(); });
    }
    ~Program() { stop(); }

    void install(const QString &iniName, const QString &text)
    {
        writeFile(dir.filePath(QStringLiteral("Data/") + iniName), text.toUtf8());
    }

    bool start(const QString &commandLine)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOLVEX_BOX_ANSWERS"), QString());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.setProgram(m_executable);
        process.setArguments(commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        process.start();
        return process.waitForStarted(kStartMs);
    }

    void stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kStartMs);
        }
    }

    bool running() const { return process.state() == QProcess::Running; }
    QString errors() const { return QString::fromUtf8(m_stderr); }
    QString log(const QString &name) const
    {
        return QString::fromUtf8(readFile(dir.filePath(QStringLiteral("Log/") + name)));
    }

    QTemporaryDir dir;
    QProcess process;

private:
    QString m_executable;
    QByteArray m_stderr;
};

bool eventually(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

MasterConfig masterConfig(int port1, int port2)
{
    MasterConfig cfg = masterScreenDefaults();
    cfg.CName[0] = QStringLiteral("Master");
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.ShutType = 4; // the countdown only closes the program, whatever else happens
    cfg.Update_On = 1;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    return cfg;
}

SlaveConfig slaveConfig(int port1, int port2)
{
    SlaveConfig cfg = slaveScreenDefaults();
    cfg.IPAdd = kLoopback;
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.ShutType = 4;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    return cfg;
}

// A UDP port p with p + 1 free as well, for the master's first two rows.
int freePortPair()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QUdpSocket first;
        QUdpSocket second;
        if (!first.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress))
            continue;
        const int port = first.localPort();
        if (port < 65535 && second.bind(QHostAddress::AnyIPv4, quint16(port + 1), QAbstractSocket::DontShareAddress))
            return port;
    }
    return 0;
}

int freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress);
    return s.localPort();
}

} // namespace

class TestE2eMasterSlave : public QObject {
    Q_OBJECT

private slots:
    void init();
    void masterAndSlave();
    void masterAndTwoSlaves();

private:
    // Starts the master and waits until it holds the single-instance lock (its log is
    // written after the lock is taken). Skips when another instance holds the lock.
    bool startMaster(Program &master);
};

void TestE2eMasterSlave::init()
{
    if (QByteArray(TOLVEX_SU_PATH).isEmpty())
        QSKIP("TolvexSu is not built");
}

bool TestE2eMasterSlave::startMaster(Program &master)
{
    if (!master.start(QStringLiteral("-InhibitShutdown")))
        return false;
    return eventually([&master] {
        return !master.log(QStringLiteral("TolvexM.log")).isEmpty() || master.errors().contains(QLatin1String("[window]"))
            || !master.running();
    }, kStartMs);
}

void TestE2eMasterSlave::masterAndSlave()
{
    const int masterRx = freePort();
    const int slaveRx = freePort();
    Program master(QStringLiteral(TOLVEX_MU_PATH));
    MasterConfig mc = masterConfig(slaveRx, masterRx);
    mc.CName[1] = QStringLiteral("Slave");
    mc.IPAdd[1] = kLoopback;
    master.install(QStringLiteral("TolvexM.ini"), masterConfigFileText(mc, 1, 0, QDateTime::currentDateTime()));
    Program slave(QStringLiteral(TOLVEX_SU_PATH));
    slave.install(QStringLiteral("TolvexS.ini"),
                  slaveConfigFileText(slaveConfig(masterRx, slaveRx), 1, 0, QDateTime::currentDateTime()));

    QVERIFY(startMaster(master));
    if (master.errors().contains(QLatin1String("[window]")))
        QSKIP("another Tolvex instance holds the machine-wide lock");
    QVERIFY2(master.running(), qPrintable(master.errors()));
    QVERIFY(slave.start(QStringLiteral("-InhibitShutdown -AllowMulti")));

    // The poll goes round: the slave sees a good link, the master sees row 1 connected.
    QVERIFY2(eventually([&] { return slave.log(QStringLiteral("TolvexS.log")).contains(QLatin1String(", Comms: -OK-")); },
                        kLinkMs),
             qPrintable(slave.log(QStringLiteral("TolvexS.log")) + slave.errors()));
    QVERIFY2(eventually([&] { return master.log(QStringLiteral("TolvexM.log")).contains(QLatin1String(", Comms: 2, 0, 0, 0")); },
                        kLinkMs),
             qPrintable(master.log(QStringLiteral("TolvexM.log")) + master.errors()));
    QVERIFY2(eventually([&] {
                 return slave.log(QStringLiteral("TolvexS.log"))
                     .contains(QLatin1String(",  Run      ,           , Count:    0, Comms: -OK-"));
             }, kLinkMs),
             qPrintable(slave.log(QStringLiteral("TolvexS.log"))));

    // A second slave without -AllowMulti is refused with the start-up error window.
    Program refused(QStringLiteral(TOLVEX_SU_PATH));
    QVERIFY(refused.start(QStringLiteral("-InhibitShutdown")));
    const QString window = QStringLiteral("[window] Tolvex Slave Start Up Error | Tolvex Slave or Tolvex /  is already "
                                          "running. / Only one instance can / be running at a time.");
    QVERIFY2(eventually([&] { return refused.errors().contains(window); }, kStartMs), qPrintable(refused.errors()));
    QVERIFY(refused.log(QStringLiteral("TolvexS.log")).isEmpty());
    refused.stop();

    // Without its master the slave loses the link, counts down and, under the switch,
    // only simulates the end and announces it.
    master.stop();
    QVERIFY2(slave.process.waitForFinished(kCountdownMs), qPrintable(slave.log(QStringLiteral("TolvexS.log"))));
    QCOMPARE(slave.process.exitCode(), 0);
    slave.errors(); // flush
    const QString slaveLog = slave.log(QStringLiteral("TolvexS.log"));
    QVERIFY(slaveLog.contains(QLatin1String(", Comms: Fail")));
    QVERIFY(slaveLog.contains(QLatin1String(",  Enter    , Monitor   , Count:")));
    QVERIFY(slaveLog.contains(QLatin1String(",  Simulate , Monitor   , Count:")));
    QVERIFY(slaveLog.contains(QLatin1String(",  Close    , Monitor   , Count:")));
    QVERIFY2(slave.errors().contains(QLatin1String("[box] Tolvex Slave Simulate Monitor | Test Real Monitor")),
             qPrintable(slave.errors()));
}

void TestE2eMasterSlave::masterAndTwoSlaves()
{
    // Every slave receives on the master's one Port1, so two slaves on one computer
    // cannot both bind it. A relay in the test stands in for the network: it takes the
    // master's polls on that port and passes each row's poll on to its slave's own
    // receive port. The answers go straight from the slaves to the master's rows.
    const int rowPort = freePortPair();
    QVERIFY(rowPort > 0);
    QUdpSocket relay;
    QVERIFY(relay.bind(QHostAddress(kLoopback), 0, QAbstractSocket::DontShareAddress));
    const int slaveARx = freePort();
    const int slaveBRx = freePort();
    QObject::connect(&relay, &QUdpSocket::readyRead, &relay, [&] {
        while (relay.hasPendingDatagrams()) {
            QByteArray data(int(qMax<qint64>(0, relay.pendingDatagramSize())), Qt::Uninitialized);
            quint16 fromPort = 0;
            data.truncate(int(qMax<qint64>(0, relay.readDatagram(data.data(), data.size(), nullptr, &fromPort))));
            const int to = fromPort == rowPort ? slaveARx : fromPort == rowPort + 1 ? slaveBRx : 0;
            if (to)
                relay.writeDatagram(data, QHostAddress(kLoopback), quint16(to));
        }
    });

    Program master(QStringLiteral(TOLVEX_MU_PATH));
    MasterConfig mc = masterConfig(relay.localPort(), rowPort);
    mc.CName[1] = QStringLiteral("SlaveA");
    mc.IPAdd[1] = kLoopback;
    mc.CName[2] = QStringLiteral("SlaveB");
    mc.IPAdd[2] = kLoopback;
    master.install(QStringLiteral("TolvexM.ini"), masterConfigFileText(mc, 1, 0, QDateTime::currentDateTime()));
    Program slaveA(QStringLiteral(TOLVEX_SU_PATH));
    slaveA.install(QStringLiteral("TolvexS.ini"),
                   slaveConfigFileText(slaveConfig(rowPort, slaveARx), 1, 0, QDateTime::currentDateTime()));
    Program slaveB(QStringLiteral(TOLVEX_SU_PATH));
    slaveB.install(QStringLiteral("TolvexS.ini"),
                   slaveConfigFileText(slaveConfig(rowPort + 1, slaveBRx), 1, 0, QDateTime::currentDateTime()));

    QVERIFY(startMaster(master));
    if (master.errors().contains(QLatin1String("[window]")))
        QSKIP("another Tolvex instance holds the machine-wide lock");
    QVERIFY(slaveA.start(QStringLiteral("-InhibitShutdown -AllowMulti")));
    QVERIFY(slaveB.start(QStringLiteral("-InhibitShutdown -AllowMulti")));

    QVERIFY2(eventually([&] { return master.log(QStringLiteral("TolvexM.log")).contains(QLatin1String(", Comms: 2, 2, 0, 0")); },
                        kLinkMs),
             qPrintable(master.log(QStringLiteral("TolvexM.log")) + master.errors()));
    for (Program *slave : {&slaveA, &slaveB}) {
        QVERIFY2(slave->log(QStringLiteral("TolvexS.log")).contains(QLatin1String(", Comms: -OK-")),
                 qPrintable(slave->log(QStringLiteral("TolvexS.log"))));
        QVERIFY(slave->running());
    }
    QVERIFY(master.running());
}

QTEST_MAIN(TestE2eMasterSlave)
#include "test_e2e_master_slave.moc"
