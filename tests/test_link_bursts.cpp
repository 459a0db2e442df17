// Bursts of valid datagrams against a master and a slave living in this process, over
// real UDP on the loopback, with the event loop running: after every burst both still
// receive and answer. A socket that once stopped reading would stay silent for good,
// and its program would count a live link as lost.
#include <QtTest>

#include "LinkDatagram.h"
#include "MasterFixture.h"
#include "SlaveFixture.h"
#include <optional>

using namespace tolvex;
using namespace tolvex::test;

namespace {

constexpr int kBursts = 24;
constexpr int kBurstMs = 300;

} // namespace

class TestLinkBursts : public QObject {
    Q_OBJECT

private slots:
    void bothProgramsHearAfterEveryBurst();
};

void TestLinkBursts::bothProgramsHearAfterEveryBurst()
{
    // The master polls row 1 at the slave's port; the slave answers to the master's row.
    MasterFixture mf;
    const int slavePort = freeUdpPort();
    int rowPort = freeUdpPort();
    while (rowPort == slavePort)
        rowPort = freeUdpPort();
    mf.config.DName = 2;
    mf.config.CName[1] = QStringLiteral("Slave");
    mf.config.IPAdd[1] = QStringLiteral("127.0.0.1");
    mf.config.Port1 = slavePort;
    mf.config.Port2 = rowPort;
    mf.config.StartDelay = 1;
    mf.config.LogLevel = 1;
    QVERIFY(mf.load());
    TolvexMMain &master = *mf.window;

    std::optional<SlaveFixture> sf; // after the master: it works in its own folder
    sf.emplace();
    sf->config.Port1 = rowPort;
    sf->config.Port2 = slavePort;
    sf->config.StartDelay = 1;
    sf->config.LogLevel = 1;
    QVERIFY(sf->load());
    TolvexSMain &slave = *sf->window;

    QVERIFY(mf.second() && mf.second());
    QCOMPARE(master.st.RunState, 1);
    QVERIFY(sf->reach(1));

    // One poll of the master: the slave takes it and answers, the master takes the answer.
    auto roundTrip = [&] {
        slave.st.LinkStatus = QStringLiteral("?");
        master.st.CommsState[1] = 0;
        master.SendToRemotes();
        return QTest::qWaitFor([&] {
            return slave.st.LinkStatus == QLatin1String("-OK-") && master.st.CommsState[1] == 2;
        }, 5000);
    };
    QVERIFY(roundTrip());

    // Polls at the slave (each answered at the master's row) and answers from a
    // stranger at the master's row, as fast as they go.
    for (int i = 1; i <= kBursts; ++i) {
        const long sent = Flood::during(kBurstMs, [&](QUdpSocket &socket, long call) {
            const bool poll = call % 2 == 0;
            return int(socket.writeDatagram(poll ? "<LOA100>" : "<LOP100>", QHostAddress::LocalHost,
                                            quint16(poll ? slavePort : rowPort)) > 0);
        });
        QVERIFY2(sent > 1000, qPrintable(QString::number(sent)));
        QTest::qWait(150); // what the burst left waiting is read and answered
        QVERIFY2(roundTrip(), qPrintable(QStringLiteral("no round trip after burst %1: slave %2, master row %3")
                                             .arg(i).arg(slave.st.LinkStatus).arg(master.st.CommsState[1])));
    }
}

QTEST_MAIN(TestLinkBursts)
#include "test_link_bursts.moc"
