#include <QtTest>

#include "MasterFixture.h"
#include "RealProgram.h"
#include "SlaveFixture.h"
#include <QLineEdit>
#include <QNetworkDatagram>

using namespace tolvex;
using namespace tolvex::test;

namespace {

constexpr int kStartMs = RealProgram::kStartMs;
// A slave of the test's master that answers to port1 and receives on port2.
QString slaveFile(int port1, int port2)
{
    return slaveConfigFileText(linkedSlave(kMasterAddress, port1, port2), 1, 0, QDateTime::currentDateTime());
}

const QStringList kAllowMulti{"-InhibitShutdown", "-AllowMulti"};
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
    const int masterRx = freeUdpPort(2);
    const int slaveRx = masterRx + 1;
    MasterConfig mc = masterScreenDefaults();
    linkMaster(mc, kMasterAddress, slaveRx, masterRx);
    mc.CName[0] = QStringLiteral("Master");
    RealProgram master(TOLVEX_MU_PATH, "TolvexM", masterConfigFileText(mc, 1, 0, QDateTime::currentDateTime()),
                       {"-InhibitShutdown"});
    // The master writes its log once it holds the machine-wide lock.
    QVERIFY(eventually([&] { return !master.log().isEmpty() || master.errors().contains(QLatin1String("[window]")); },
                       kStartMs));
    if (master.errors().contains(QLatin1String("[window]")))
        QSKIP("another Tolvex program holds the machine-wide lock");
    RealProgram slave(TOLVEX_SU_PATH, "TolvexS", slaveFile(masterRx, slaveRx), kAllowMulti);

    // The poll goes round: the slave runs with a good link, the master sees row 1 connected.
    QVERIFY2(eventually([&] { return slave.log().contains(kRunningWell); }), qPrintable(slave.log() + slave.errors()));
    QVERIFY2(eventually([&] { return master.log().contains(QLatin1String(", Comms: 2, 0, 0, 0")); }),
             qPrintable(master.log() + master.errors()));

    // A second slave without -AllowMulti gets the slave's start-up error window.
    RealProgram refused(TOLVEX_SU_PATH, "TolvexS", QString(), {"-InhibitShutdown"});
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
    const int rowPort = freeUdpPort(2);
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
    RealProgram slaves[] = {{TOLVEX_SU_PATH, "TolvexS", slaveFile(rowPort, slaveRx[1]), kAllowMulti},
                            {TOLVEX_SU_PATH, "TolvexS", slaveFile(rowPort + 1, slaveRx[2]), kAllowMulti}};

    // The master is a window in this process, so that the test reads its grid and
    // presses its Reset and Test. Its seconds run ten times as fast as the slaves' (a
    // slave answers each poll at once); its own countdown is far off.
    MasterFixture mf;
    linkMaster(mf.config, kMasterAddress, relay.localPort(), rowPort, 2);
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
