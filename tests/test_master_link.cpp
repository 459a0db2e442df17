// The master's link over real UDP on the loopback: polls, answers, reset and test,
// port failures and hostile datagrams.
#include "LinkDatagram.h"
#include "MasterFixture.h"
#include "ui_TolvexMMain.h"
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A base port with `count` free consecutive UDP ports on this machine.
int freePortRun(int count)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        QUdpSocket probe;
        probe.bind(QHostAddress::AnyIPv4, 0);
        const int base = probe.localPort();
        probe.close();
        if (base < 1024 || base + count > 65535)
            continue;
        bool allFree = true;
        std::vector<std::unique_ptr<QUdpSocket>> held;
        for (int i = 0; i < count && allFree; ++i) {
            held.push_back(std::make_unique<QUdpSocket>());
            allFree = held.back()->bind(QHostAddress::AnyIPv4, quint16(base + i), QAbstractSocket::DontShareAddress);
        }
        if (allFree)
            return base;
    }
    return 0;
}

// A slave stand-in: listens on its address and the master's Port1, answers each
// datagram with `reply` (when set) to the sender, and keeps what it received.
struct FakeSlave {
    QUdpSocket socket;
    QString reply;
    QStringList received;

    bool listen(const QString &address, int port)
    {
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                received << QString::fromLatin1(d.data());
                if (!reply.isEmpty())
                    socket.writeDatagram(reply.toLatin1(), d.senderAddress(), quint16(d.senderPort()));
            }
        });
        return socket.bind(QHostAddress(address), quint16(port), QAbstractSocket::DontShareAddress);
    }
};

} // namespace

class MasterLinkTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void answersMarkTheRows();
    void silentSlavesLeadToSimulation();
    void resetAndTestAreSentOnce();
    void hostileDatagramsOnlyMarkTheRow();
    void portInUseAnsweredNoLeavesItUnconfigured();
    void portInUseAnsweredYesEnds();
    void basePortPastTheRangeIsAPortError();
    void oneUnreachableSlaveDoesNotStopTheOthers();

private:
    // A master with two rows on 127.0.0.1 and 127.0.0.2, fake slaves listening.
    void setUpTwoRows(MasterFixture &f);
    void networkSecond(MasterFixture &f);

    int m_base = 0;
    int m_slavePort = 0;
    FakeSlave m_slave1;
    FakeSlave m_slave2;
};

void MasterLinkTest::init()
{
    m_base = freePortRun(4);
    m_slavePort = freePortRun(1);
    QVERIFY(m_base > 0 && m_slavePort > 0);
    m_slave1.socket.close();
    m_slave2.socket.close();
    m_slave1.socket.disconnect();
    m_slave2.socket.disconnect();
    m_slave1.received.clear();
    m_slave2.received.clear();
    m_slave1.reply = QStringLiteral("<LOP100>");
    m_slave2.reply = QStringLiteral("<LOS200>");
}

void MasterLinkTest::setUpTwoRows(MasterFixture &f)
{
    // Addresses with a part 0 are no "IPv4 addresses" to the configuration's rule;
    // they are given in the host-name mode, where any name or address is looked up.
    f.config.DName = 2;
    f.config.IPAdd[1] = QStringLiteral("127.0.0.1");
    f.config.IPAdd[2] = QStringLiteral("127.0.0.2");
    f.config.CName[1] = QStringLiteral("Alpha");
    f.config.Port1 = m_slavePort;
    f.config.Port2 = m_base;
    f.config.StartDelay = 1;
    f.config.LogLevel = 3;
    QVERIFY(m_slave1.listen(QStringLiteral("127.0.0.1"), m_slavePort));
    QVERIFY(m_slave2.listen(QStringLiteral("127.0.0.2"), m_slavePort));
}

void MasterLinkTest::networkSecond(MasterFixture &f)
{
    f.window->tmrRefresh_Timer();
    QTest::qWait(40);
    f.clock.advanceSeconds(1);
    f.window->tmrRefresh_Timer();
    QTest::qWait(40);
}

void MasterLinkTest::answersMarkTheRows()
{
    MasterFixture f;
    setUpTwoRows(f);
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    for (int i = 0; i < 3; ++i)
        networkSecond(f);
    QCOMPARE(m.st.RunState, 1);
    m.tmrRefresh_Timer(); // the next cycle shows what came in
    QCOMPARE(m.Type1[1]->text(), QStringLiteral(" Connected"));
    QCOMPARE(m.Type1[2]->text(), QStringLiteral(" Connected"));
    QCOMPARE(m.Comp[1]->text(), QStringLiteral(" Alpha"));
    QCOMPARE(m.Comp[2]->text(), QStringLiteral(" 127.0.0.2"));
    QCOMPARE(m.Shut1[1]->text(), QStringLiteral("P"));
    QCOMPARE(m.Shut1[2]->text(), QStringLiteral("S**"));
    QCOMPARE(m.Type1[0]->text(), QStringLiteral(" Network OK"));
    QCOMPARE(m.Comp[3]->text(), QStringLiteral(" ---"));
    QVERIFY(f.log().contains(QStringLiteral(", Comms: 2, 2, 0, 0")));
    QCOMPARE(m.st.Count, 0);
    QVERIFY(m_slave1.received.contains(link::kPoll));
}

void MasterLinkTest::silentSlavesLeadToSimulation()
{
    MasterFixture f;
    setUpTwoRows(f);
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    for (int i = 0; i < 3; ++i)
        networkSecond(f);
    m_slave1.reply.clear();
    m_slave2.reply.clear();
    // -InhibitShutdown arms 6 seconds of silence and a 6-second countdown.
    bool running = true;
    for (int i = 0; i < 20 && running; ++i)
        running = f.runs([&] { networkSecond(f); });
    QVERIFY(!running);
    QVERIFY(f.log().contains(QStringLiteral(",  Simulate , Power Off ,")));
    QCOMPARE(f.boxes.shown().back().text, QStringLiteral("Test Real Power Off"));
    QVERIFY(f.power.calls().empty());
}

void MasterLinkTest::resetAndTestAreSentOnce()
{
    MasterFixture f;
    setUpTwoRows(f);
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    for (int i = 0; i < 3; ++i)
        networkSecond(f);
    m_slave1.received.clear();
    m.Reset_Click();
    QTest::qWait(40);
    QCOMPARE(m_slave1.received, QStringList{link::kReset});
    QCOMPARE(m.st.TxMessage, link::kPoll);
    QVERIFY(f.log().contains(QStringLiteral(",  Reset    , Run       ,")));
    for (int i = 0; i < 2; ++i)
        networkSecond(f);
    QCOMPARE(m_slave1.received.count(link::kReset), 1);
    QVERIFY(m_slave1.received.endsWith(link::kPoll));

    m_slave2.received.clear();
    m.TestS_Click();
    QTest::qWait(40);
    QCOMPARE(m_slave2.received, QStringList{link::kTest});
}

void MasterLinkTest::hostileDatagramsOnlyMarkTheRow()
{
    MasterFixture f;
    setUpTwoRows(f);
    m_slave1.reply.clear();
    m_slave2.reply.clear();
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    networkSecond(f);
    QUdpSocket attacker;
    const QList<QByteArray> junk = {QByteArray(), QByteArray(60000, '\0'), QByteArray("<LOA1xx>"),
                                    QByteArray("<XXP100>"), QByteArray("\xff\xfe<LO\x00", 6)};
    for (const QByteArray &j : junk)
        attacker.writeDatagram(j, QHostAddress::LocalHost, quint16(m_base));
    attacker.writeDatagram(QByteArray("<QOP100>"), QHostAddress::LocalHost, quint16(m_base + 1));
    QTest::qWait(80);
    QCOMPARE(m.st.NoComms, 1);
    QCOMPARE(m.st.CommsState[2], 1);
    m.tmrRefresh_Timer();
    m.tmrRefresh_Timer();
    QCOMPARE(m.Type1[2]->text(), QStringLiteral(" Data Error"));
    QCOMPARE(m.Type1[1]->text(), QStringLiteral(" Not Connected"));
    QVERIFY(f.boxes.shown().empty());

    // A frame that passes the checks but whose state is no digit counts as unreadable.
    attacker.writeDatagram(QByteArray("<LOPx00>"), QHostAddress::LocalHost, quint16(m_base));
    QTest::qWait(40);
    QCOMPARE(m.st.CommsState[1], 0);
    QCOMPARE(m.st.NoComms, 1);
}

void MasterLinkTest::portInUseAnsweredNoLeavesItUnconfigured()
{
    MasterFixture f;
    setUpTwoRows(f);
    QUdpSocket squatter;
    QVERIFY(squatter.bind(QHostAddress::AnyIPv4, quint16(m_base + 1), QAbstractSocket::DontShareAddress));
    f.boxes.setNextAnswer(BoxAnswer::No);
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    const BoxRequest &box = f.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Port Error"));
    QCOMPARE(box.buttons, BoxButtons::YesNo);
    QCOMPARE(box.text.split(QStringLiteral("\r\n")).first(),
             QStringLiteral("The RX Port %1 Is Already In Use").arg(m_base));
    QVERIFY(m.st.NotConfigured);
    QVERIFY(f.log().contains(QStringLiteral(",  UnConfig , ********  ,")));
    QVERIFY(f.tray.isShown());
    m_slave1.received.clear();
    for (int i = 0; i < 3; ++i)
        networkSecond(f);
    QVERIFY(m_slave1.received.isEmpty());
    QCOMPARE(m.st.RunState, 0);
}

void MasterLinkTest::portInUseAnsweredYesEnds()
{
    MasterFixture f;
    setUpTwoRows(f);
    QUdpSocket squatter;
    QVERIFY(squatter.bind(QHostAddress::AnyIPv4, quint16(m_base), QAbstractSocket::DontShareAddress));
    f.boxes.setNextAnswer(BoxAnswer::Yes);
    QVERIFY(!f.load());
    QCOMPARE(f.end.endCount(), 1);
}

void MasterLinkTest::basePortPastTheRangeIsAPortError()
{
    MasterFixture f;
    setUpTwoRows(f);
    f.config.Port2 = 65535;
    QVERIFY(f.load());
    QCOMPARE(f.boxes.shown().front().title, QStringLiteral("Tolvex Port Error"));
    QVERIFY(f.window->st.NotConfigured);
}

void MasterLinkTest::oneUnreachableSlaveDoesNotStopTheOthers()
{
    MasterFixture f;
    setUpTwoRows(f);
    f.config.IPAdd[1] = QStringLiteral("no-such-host.invalid");
    f.config.IPAdd[2] = QStringLiteral("localhost"); // answered by the stand-in on 127.0.0.1
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    bool polled = false;
    for (int i = 0; i < 4 && !polled; ++i) {
        QVERIFY(f.runs([&] { networkSecond(f); }));
        polled = m_slave1.received.contains(link::kPoll);
    }
    QVERIFY(polled);
    QCOMPARE(m.Type1[0]->text(), QStringLiteral(" No Network"));
    QVERIFY(!m.st.NetworkOK);
}

QTEST_MAIN(MasterLinkTest)
#include "test_master_link.moc"
