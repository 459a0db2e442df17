// A real master and a real slave on the loopback, both logging every second, while
// their receive ports get junk, wrong frames and bursts of valid polls from a stranger:
// no second of the live link may be counted as lost, no countdown may start, and both
// go on hearing each other once the traffic ends.
#include <QtTest>

#include "ConfigFile.h"
#include "RealProgram.h"
#include "SlaveFixture.h"
#include <QElapsedTimer>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// The one-second lines of Run in a program's log, from the first that shows `good` on.
QStringList runLines(const RealProgram &program, const QString &good)
{
    QStringList out;
    for (const QString &line : program.logLines()) {
        if (line.mid(8, 12) == QLatin1String(",  Run      ") && (!out.isEmpty() || line.contains(good)))
            out << line;
    }
    return out;
}

// Stranger's traffic for `ms`: junk and wrong frames at both ports, about `perSecond`
// of each a second, and every second a tenth of a second of unthrottled valid polls at
// the slave (which it answers, to the master).
long strangerTraffic(quint16 masterPort, quint16 slavePort, int perSecond, int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    long junkSent = 0;
    return Flood::during(ms, [=](QUdpSocket &socket, long) mutable {
        const bool bursting = elapsed.elapsed() % 1000 < 100;
        if (!bursting && junkSent > elapsed.elapsed() * perSecond / 1000) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            return 0;
        }
        const QHostAddress to(kMasterAddress);
        const char *junk = junkSent % 2 ? "<LOX999>" : "\x01\xfe garbage";
        junkSent += bursting ? 0 : 1;
        return int(socket.writeDatagram(junk, to, masterPort) > 0)
            + int(socket.writeDatagram(bursting ? "<LOA100>" : junk, to, slavePort) > 0);
    });
}

} // namespace

class TestE2eLinkLoad : public QObject {
    Q_OBJECT

private slots:
    void strangerTrafficCostsNoSecond();
};

void TestE2eLinkLoad::strangerTrafficCostsNoSecond()
{
    if (QByteArray(TOLVEX_SU_PATH).isEmpty())
        QSKIP("TolvexSu is not built");
    const int masterRx = freeUdpPort(2);
    const int slaveRx = masterRx + 1;
    MasterConfig mc = masterScreenDefaults();
    mc.CName[0] = QStringLiteral("Master");
    linkMaster(mc, kMasterAddress, slaveRx, masterRx);
    const QDateTime now = QDateTime::currentDateTime();
    RealProgram master(TOLVEX_MU_PATH, "TolvexM", masterConfigFileText(mc, 1, 0, now), {"-InhibitShutdown"});
    // The master holds the machine-wide lock once it writes its log; the slave comes next.
    QVERIFY2(eventually([&] { return !master.logLines().isEmpty(); }, RealProgram::kStartMs),
             qPrintable(master.errors()));
    RealProgram slave(TOLVEX_SU_PATH, "TolvexS",
                      slaveConfigFileText(linkedSlave(kMasterAddress, masterRx, slaveRx), 1, 0, now),
                      {"-InhibitShutdown", "-AllowMulti"});
    const QString masterGood = QStringLiteral(", Count:    0, Comms: 2, 0, 0, 0");
    const QString slaveGood = QStringLiteral(", Count:    0, Comms: -OK-");
    QVERIFY2(eventually([&] {
                 return !runLines(master, masterGood).isEmpty() && !runLines(slave, slaveGood).isEmpty();
             }),
             qPrintable(master.log() + slave.log()));

    const long sent = strangerTraffic(quint16(masterRx), quint16(slaveRx), 5000, 8000);
    QVERIFY2(sent > 50000, qPrintable(QString::number(sent)));
    const int masterSeen = int(runLines(master, masterGood).size());
    const int slaveSeen = int(runLines(slave, slaveGood).size());
    QVERIFY(QTest::qWaitFor([&] { return runLines(master, masterGood).size() >= masterSeen + 3
                                         && runLines(slave, slaveGood).size() >= slaveSeen + 3; }, 10000));

    // Every second of Run in both logs was a connected one, through the traffic and after.
    for (RealProgram *p : {&master, &slave}) {
        const QString good = p == &master ? masterGood : slaveGood;
        const QStringList runs = runLines(*p, good);
        QVERIFY2(runs.size() >= 10, qPrintable(runs.join('\n')));
        for (const QString &line : runs)
            QVERIFY2(line.contains(good), qPrintable(p->name + ": " + line + "\n" + p->log()));
        QCOMPARE(p->process.state(), QProcess::Running);
        for (const QString &line : p->logLines())
            QVERIFY2(!line.contains(QLatin1String(",  Enter    , Monitor   ,")), qPrintable(line));
    }
}

QTEST_MAIN(TestE2eLinkLoad)
#include "test_e2e_link_load.moc"
