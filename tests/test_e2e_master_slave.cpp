#include <QtTest>

#include "MasterFixture.h"
#include "SlaveFixture.h"
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QProcess>

using namespace tolvex;
using namespace tolvex::test;

namespace {

constexpr int kStartMs = 10000;

// A program started headless in its own installation folder, its files named after
// `fileName`. Its boxes and windows are read from its standard error; it is killed when
// the test lets go of it.
struct Program {
    Program(const char *executable, const char *fileName, const QString &configuration, const QString &commandLine)
        : name(QLatin1String(fileName))
    {
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        if (!configuration.isEmpty())
            writeFile(dir.filePath(QStringLiteral("Data/%1.ini").arg(name)), configuration.toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOLVEX_BOX_ANSWERS"), QString());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(QLatin1String(executable), commandLine.split(QLatin1Char(' ')));
        process.waitForStarted(kStartMs);
    }
    ~Program()
    {
        process.kill();
        process.waitForFinished(kStartMs);
    }
    QString errors() { return stderrText += QString::fromUtf8(process.readAllStandardError()); }
    QString log() const { return QString::fromUtf8(readFile(dir.filePath(QStringLiteral("Log/%1.log").arg(name)))); }

    QTemporaryDir dir;
    QString name;
    QProcess process;
    QString stderrText;
};

bool eventually(const std::function<bool()> &condition, int ms = 30000) { return QTest::qWaitFor(condition, ms); }

// A master of `rows` slaves at the test address: it sends to port1 and receives on
// port2 and the ports after it.
void configureMaster(MasterConfig &cfg, int port1, int port2, int rows)
{
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.Update_On = 1;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    for (int i = 1; i <= rows; ++i) {
        cfg.CName[i] = QStringLiteral("Slave%1").arg(i);
        cfg.IPAdd[i] = kMasterAddress;
    }
}

// A slave that answers to port1 and receives on port2; its countdown only closes it.
QString slaveFile(int port1, int port2)
{
    SlaveConfig cfg = slaveScreenDefaults();
    cfg.IPAdd = kMasterAddress;
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.ShutType = 4;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    return slaveConfigFileText(cfg, 1, 0, QDateTime::currentDateTime());
}

// A UDP port p with p + 1 free as well, for the master's first two rows.
int freePortPair()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QUdpSocket first;
        QUdpSocket second;
        if (first.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress) && first.localPort() < 65535
            && second.bind(QHostAddress::AnyIPv4, first.localPort() + 1, QAbstractSocket::DontShareAddress))
            return first.localPort();
    }
    return 0;
}

const QString kAllowMulti = QStringLiteral("-InhibitShutdown -AllowMulti");
const QLatin1String kRunningWell(",  Run      ,           , Count:    0, Comms: -OK-");

} // namespace

class TestE2eMasterSlave : public QObject {
    Q_OBJECT

private slots:
    void init();
    void masterProgramAndSlave();
    void masterWindowAndTwoSlaves();
};

void TestE2eMasterSlave::init()
{
    if (QByteArray(TOLVEX_SU_PATH).isEmpty())
        QSKIP("TolvexSu is not built");
}

void TestE2eMasterSlave::masterProgramAndSlave()
{
    const int masterRx = freeUdpPort();
    const int slaveRx = freeUdpPort();
    MasterConfig mc = masterScreenDefaults();
    configureMaster(mc, slaveRx, masterRx, 1);
    mc.CName[0] = QStringLiteral("Master");
    mc.ShutType = 4; // the countdown only closes the program, whatever else happens
    Program master(TOLVEX_MU_PATH, "TolvexM", masterConfigFileText(mc, 1, 0, QDateTime::currentDateTime()),
                   QStringLiteral("-InhibitShutdown"));
    // The master writes its log once it holds the machine-wide lock.
    QVERIFY(eventually([&] { return !master.log().isEmpty() || master.errors().contains(QLatin1String("[window]")); },
                       kStartMs));
    if (master.errors().contains(QLatin1String("[window]")))
        QSKIP("another Tolvex program holds the machine-wide lock");
    Program slave(TOLVEX_SU_PATH, "TolvexS", slaveFile(masterRx, slaveRx), kAllowMulti);

    // The poll goes round: the slave runs with a good link, the master sees row 1 connected.
    QVERIFY2(eventually([&] { return slave.log().contains(kRunningWell); }), qPrintable(slave.log() + slave.errors()));
    QVERIFY2(eventually([&] { return master.log().contains(QLatin1String(", Comms: 2, 0, 0, 0")); }),
             qPrintable(master.log() + master.errors()));

    // A second slave without -AllowMulti gets the slave's start-up error window.
    Program refused(TOLVEX_SU_PATH, "TolvexS", QString(), QStringLiteral("-InhibitShutdown"));
    const QString window = QStringLiteral("[window] Tolvex Slave Start Up Error | Tolvex Slave or Tolvex /  is already "
                                          "running. / Only one instance can / be running at a time.");
    QVERIFY2(eventually([&] { return refused.errors().contains(window); }, kStartMs), qPrintable(refused.errors()));
    QVERIFY(refused.log().isEmpty());

    // Without its master the slave loses the link, counts down and, under the switch,
    // only simulates the end and announces it.
    master.process.kill();
    QVERIFY2(slave.process.waitForFinished(45000), qPrintable(slave.log()));
    QCOMPARE(slave.process.exitCode(), 0);
    QVERIFY2(slave.log().contains(QLatin1String(",  Simulate , Monitor   , Count:")), qPrintable(slave.log()));
    QVERIFY2(slave.errors().contains(QLatin1String("[box] Tolvex Slave Simulate Monitor | Test Real Monitor")),
             qPrintable(slave.errors()));
}

void TestE2eMasterSlave::masterWindowAndTwoSlaves()
{
    // Every slave receives on the master's one Port1, so two slaves on one computer
    // cannot both bind it. A relay stands in for the network: it takes the master's
    // polls on that port and passes each row's on to its slave's own receive port. The
    // answers go straight from the slaves to the master's rows (two ports in a row).
    const int rowPort = freePortPair();
    QVERIFY(rowPort > 0);
    QUdpSocket relay;
    QVERIFY(relay.bind(QHostAddress(kMasterAddress), 0, QAbstractSocket::DontShareAddress));
    const int slaveRx[] = {0, freeUdpPort(), freeUdpPort()};
    QObject::connect(&relay, &QUdpSocket::readyRead, &relay, [&] {
        while (relay.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = relay.receiveDatagram();
            const int row = datagram.senderPort() - rowPort + 1;
            if (row == 1 || row == 2)
                relay.writeDatagram(datagram.data(), QHostAddress(kMasterAddress), quint16(slaveRx[row]));
        }
    });
    Program slaves[] = {{TOLVEX_SU_PATH, "TolvexS", slaveFile(rowPort, slaveRx[1]), kAllowMulti},
                        {TOLVEX_SU_PATH, "TolvexS", slaveFile(rowPort + 1, slaveRx[2]), kAllowMulti}};

    // The master is a window in this process, so that the test reads its grid and
    // presses its Reset and Test. Its seconds run ten times as fast as the slaves' (a
    // slave answers each poll at once); its own countdown is far off.
    MasterFixture mf;
    configureMaster(mf.config, relay.localPort(), rowPort, 2);
    mf.config.CPUDelay = 300;
    QVERIFY(mf.load());
    TolvexMMain &m = *mf.window;
    auto runUntil = [&mf](const std::function<bool()> &done) {
        for (int i = 0; i < 300 && !done(); ++i) {
            if (!mf.second())
                return false;
            QTest::qWait(100);
        }
        return done();
    };
    auto bothLogged = [&slaves](const QString &text) {
        return [&slaves, text] { return slaves[0].log().contains(text) && slaves[1].log().contains(text); };
    };

    QVERIFY2(runUntil([&m] { return m.Type1[1]->text() == QLatin1String(" Connected")
                                  && m.Type1[2]->text() == QLatin1String(" Connected"); }),
             qPrintable(mf.log() + slaves[0].log()));
    QCOMPARE(m.Shut1[1]->text() + m.Shut1[2]->text(), QStringLiteral("MM")); // each slave's action letter
    QVERIFY(mf.log().contains(QLatin1String(", Comms: 2, 2, 0, 0")));
    QVERIFY(runUntil(bothLogged(kRunningWell)));

    // The master's reset and test reach both slaves.
    m.Reset_Click();
    QVERIFY2(runUntil(bothLogged(QStringLiteral(",  Reset    , Run       , Count:"))), qPrintable(slaves[0].log()));
    m.TestS_Click();
    QVERIFY2(runUntil(bothLogged(QStringLiteral(", *Enter    , Test      , Count:"))), qPrintable(slaves[0].log()));
    QVERIFY(slaves[0].process.state() == QProcess::Running && slaves[1].process.state() == QProcess::Running);
}

QTEST_MAIN(TestE2eMasterSlave)
#include "test_e2e_master_slave.moc"
