// The master's link over real UDP on the loopback: polls, answers, reset and test,
// port failures and hostile datagrams.
#include "MasterFixture.h"
#include "ui_TolvexMMain.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QNetworkDatagram>
#include <QUdpSocket>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A slave stand-in on `address` and the master's Port1: keeps what it receives and
// answers each datagram with `reply` (when set).
struct FakeSlave {
    QUdpSocket socket;
    QByteArray reply;
    QStringList received;

    FakeSlave(const char *address, int port, const char *answer)
        : reply(answer)
    {
        QVERIFY(socket.bind(QHostAddress(QLatin1String(address)), quint16(port), QAbstractSocket::DontShareAddress));
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                received << QString::fromLatin1(d.data());
                if (!reply.isEmpty())
                    socket.writeDatagram(reply, d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
};

// A master with rows 1 and 2 on 127.0.0.1 and 127.0.0.2, each answered by a stand-in.
// Addresses with a part 0 are no "IPv4 addresses" to the configuration's rule; they are
// given in the host-name mode, where any name or address is looked up.
struct Link : MasterFixture {
    int base = freeUdpPort(4);
    int slavePort = freeUdpPort();
    FakeSlave slave1{"127.0.0.1", slavePort, "<LOP100>"};
    FakeSlave slave2{"127.0.0.2", slavePort, "<LOS200>"};

    Link()
    {
        config.DName = 2;
        config.IPAdd[1] = QStringLiteral("127.0.0.1");
        config.IPAdd[2] = QStringLiteral("127.0.0.2");
        config.CName[1] = QStringLiteral("Alpha");
        config.Port1 = slavePort;
        config.Port2 = base;
        config.StartDelay = 1;
        config.LogLevel = 3;
    }
    // Loaded with both stand-ins silent, and in Run.
    bool loadSilent()
    {
        slave1.reply.clear();
        slave2.reply.clear();
        return load() && networkSecond() && window->st.RunState == 1;
    }
    // One second of the cycle with time for the datagrams; false when the program ended.
    bool networkSecond()
    {
        return runs([this] {
            window->tmrRefresh_Timer();
            QTest::qWait(40);
            clock.advanceSeconds(1);
            window->tmrRefresh_Timer();
            QTest::qWait(40);
        });
    }
};

} // namespace

class MasterLinkTest : public QObject {
    Q_OBJECT
private slots:
    void session();
    void junkNeverCostsAConnectedSecond_data();
    void junkNeverCostsAConnectedSecond();
    void floodKeepsTheMasterHearing();
    void unconfigured_data();
    void unconfigured();
    void oneUnreachableSlaveDoesNotStopTheOthers();
};

// A session: answers mark the rows; Reset and Test reach the slaves once each; silence
// then ends the test run in its box and the next run in the simulation.
void MasterLinkTest::session()
{
    Link l;
    QVERIFY(l.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *l.window;
    for (int i = 0; i < 3; ++i)
        QVERIFY(l.networkSecond());
    QCOMPARE(m.st.RunState, 1);
    m.tmrRefresh_Timer(); // the next cycle shows what came in
    QCOMPARE(m.Type1[1]->text() + '|' + m.Type1[2]->text(), QStringLiteral(" Connected| Connected"));
    QCOMPARE(m.Comp[1]->text() + '|' + m.Comp[2]->text() + '|' + m.Comp[3]->text(), QStringLiteral(" Alpha| 127.0.0.2| ---"));
    QCOMPARE(m.Shut1[1]->text() + '|' + m.Shut1[2]->text(), QStringLiteral("P|S**"));
    QCOMPARE(m.Type1[0]->text(), QStringLiteral(" Network OK"));
    QVERIFY(l.log().contains(QStringLiteral(", Comms: 2, 2, 0, 0")));

    // A steady second sets nothing on the window: nothing is painted again.
    QVERIFY(l.networkSecond());
    EventCounter paints(QEvent::Paint);
    m.installEventFilter(&paints);
    for (QWidget *w : m.findChildren<QWidget *>())
        w->installEventFilter(&paints);
    QVERIFY(l.networkSecond() && l.networkSecond());
    QCOMPARE(paints.count, 0);

    QTest::qWait(40); // the poll of the extra tick
    l.slave1.received.clear();
    m.Reset_Click();
    QTest::qWait(40);
    QCOMPARE(l.slave1.received, QStringList{"<LOC000>"});
    QVERIFY(l.log().contains(QStringLiteral(",  Reset    , Run       ,")));
    QVERIFY(l.networkSecond() && l.networkSecond());
    QCOMPARE(l.slave1.received.count(QStringLiteral("<LOC000>")), 1);
    QVERIFY(l.slave1.received.endsWith(QStringLiteral("<LOA100>")));

    l.slave1.reply.clear();
    l.slave2.reply.clear();
    l.slave2.received.clear();
    m.TestS_Click();
    QTest::qWait(40);
    QCOMPARE(l.slave2.received, QStringList{"<LOT000>"});
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex - Test Mode"));
    for (int i = 0; i < 6; ++i) // two seconds of activation, five silent ones: then the box
        QVERIFY(l.networkSecond());
    QVERIFY(l.boxes.shown().empty());
    QCOMPARE(l.slave2.received.count(QStringLiteral("<LOT000>")), 1);
    QVERIFY(l.slave2.received.endsWith(QStringLiteral("<LOA100>")));
    QVERIFY(l.networkSecond());
    QCOMPARE(int(l.boxes.shown().size()), 1);
    QCOMPARE(l.boxes.shown().front().title + '|' + l.boxes.shown().front().text, QStringLiteral("Tolvex Test|Test Power Off"));
    QVERIFY(!m.st.TestMode && m.st.RunState == 0);
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex"));
    QVERIFY(l.log().contains(QStringLiteral(", *Enter    , Test      ,")));
    QVERIFY(l.log().contains(QStringLiteral(", *Simulate , Power Off ,")));

    // -InhibitShutdown arms 6 seconds of silence and a 6-second countdown.
    bool running = true;
    for (int i = 0; i < 20 && running; ++i)
        running = l.networkSecond();
    QVERIFY(!running);
    QVERIFY(l.log().contains(QStringLiteral(",  Simulate , Power Off ,")));
    QCOMPARE(l.boxes.shown().back().text, QStringLiteral("Test Real Power Off"));
    QVERIFY(l.power.calls().empty());
}

void MasterLinkTest::junkNeverCostsAConnectedSecond_data()
{
    QTest::addColumn<QList<QByteArray>>("second"); // what reaches row 1 in one second, in order
    QTest::addColumn<QString>("shown");

    const QByteArray answer("<LOP100>");
    const QByteArray junk("\x01\x02garbage");
    const QByteArray wrong("<XXP100>");
    const QString connected = QStringLiteral(" Connected");
    QTest::newRow("answer, junk") << QList<QByteArray>{answer, junk} << connected;
    QTest::newRow("answer, wrong frame") << QList<QByteArray>{answer, wrong} << connected;
    QTest::newRow("junk, answer, wrong frame") << QList<QByteArray>{junk, answer, wrong} << connected;
    QTest::newRow("answer, state no digit") << QList<QByteArray>{answer, "<LOPx00>"} << connected;
    QTest::newRow("answer, length -1") << QList<QByteArray>{answer, "<LOP1-1>"} << connected;
    QTest::newRow("answer, 100 junk") << (QList<QByteArray>{answer} + QList<QByteArray>(100, junk)) << connected;
    // The length field is read as a number: a blank before it is allowed, -1 is no length.
    QTest::newRow("length with a blank") << QList<QByteArray>{"<LOP1 0>"} << connected;
    QTest::newRow("length -1") << QList<QByteArray>{"<LOP1-1>"} << QStringLiteral(" Data Error");
    QTest::newRow("junk only") << QList<QByteArray>{wrong, junk} << QStringLiteral(" Not Connected");
    // Hostile datagrams only mark the row, never raise a box: the last one read shows.
    const QList<QByteArray> hostile{QByteArray(), QByteArray(60000, '\0'), "<LOA1xx>", wrong,
                                    QByteArray("\xff\xfe<LO\x00", 6)};
    QTest::newRow("empty, huge, binary") << hostile << QStringLiteral(" Not Connected");
    QTest::newRow("another tag") << QList<QByteArray>{"<QOP100>"} << QStringLiteral(" Data Error");
    // A frame that passes the checks but whose state is no digit is unreadable.
    QTest::newRow("state no digit") << QList<QByteArray>{"<LOPx00>"} << QStringLiteral(" Not Connected");
}

// Liveness is judged by valid answers alone: a row that answered in a second is shown
// connected, and the second counts, whatever else arrived on that row.
void MasterLinkTest::junkNeverCostsAConnectedSecond()
{
    QFETCH(QList<QByteArray>, second);
    QFETCH(QString, shown);
    Link l;
    QVERIFY(l.loadSilent());
    TolvexMMain &m = *l.window;
    QUdpSocket attacker;
    const bool connected = shown == QLatin1String(" Connected");
    for (int i = 0; i < 3; ++i) {
        for (const QByteArray &datagram : second)
            attacker.writeDatagram(datagram, QHostAddress::LocalHost, quint16(l.base));
        QTest::qWait(30);
        QCOMPARE(m.st.NoComms, connected ? 0 : 1);
        QVERIFY(l.second()); // the cycle takes whatever is still waiting first
        QCOMPARE(m.Type1[1]->text(), shown);
        QCOMPARE(m.st.Count, connected ? 0 : i + 1);
        const QString line = l.log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).last();
        const int state = connected ? 2 : shown == QLatin1String(" Data Error") ? 1 : 0;
        QVERIFY2(line.contains(QStringLiteral(", Comms: %1, 0, 0, 0").arg(state)), qPrintable(line));
    }
    QVERIFY(l.boxes.shown().empty());
}

// Junk at full speed on a row's port: the master goes on reading it, the real answers
// among it count, and once the flood ends every answer is taken again.
void MasterLinkTest::floodKeepsTheMasterHearing()
{
    Link l;
    QVERIFY(l.load());
    TolvexMMain &m = *l.window;
    QVERIFY(l.networkSecond());
    Flood flood([port = quint16(l.base)](QUdpSocket &socket, long call) {
        return int(socket.writeDatagram(call % 2 ? "<LOX999>" : "\x01\x02garbage", QHostAddress::LocalHost, port) > 0);
    });
    QStringList rows;
    for (int i = 0; i < 12; ++i) {
        const bool running = l.networkSecond();
        rows << m.Type1[1]->text();
        if (!running)
            break;
    }
    const long sent = flood.stop();
    QVERIFY2(sent > 1000, qPrintable(QString::number(sent)));
    QVERIFY2(rows.contains(QStringLiteral(" Connected")), qPrintable(rows.join('|')));
    QVERIFY(!l.boxes.shown().size());

    // After the flood: a poll, its answer, and row 1 shown connected in the next cycle.
    QTest::qWait(200);
    QVERIFY(l.networkSecond());
    m.st.CommsState[1] = 0;
    QVERIFY(l.networkSecond());
    QCOMPARE(m.Type1[1]->text(), QStringLiteral(" Connected"));
    QCOMPARE(m.st.Count, 0);
}

void MasterLinkTest::unconfigured_data()
{
    QTest::addColumn<bool>("named"); // false: the master has no name
    QTest::addColumn<int>("port2");  // 0: the free base port
    QTest::addColumn<int>("squat");  // the row whose port is taken, 0 for none
    QTest::addColumn<bool>("yes");   // the answer to the port error box
    QTest::newRow("no name") << false << 0 << 0 << false;
    QTest::newRow("row 2 port taken, No") << true << 0 << 2 << false;
    QTest::newRow("row 1 port taken, Yes: ends") << true << 0 << 1 << true;
    QTest::newRow("rows past 65535, No") << true << 65535 << 0 << false;
}

// An unconfigured master stays idle, sends nothing and closes without an "Exit" line.
void MasterLinkTest::unconfigured()
{
    QFETCH(bool, named);
    QFETCH(int, port2);
    QFETCH(int, squat);
    QFETCH(bool, yes);
    Link l;
    if (!named)
        l.config.CName[0].clear();
    if (port2)
        l.config.Port2 = port2;
    QUdpSocket squatter;
    if (squat)
        QVERIFY(squatter.bind(QHostAddress::AnyIPv4, quint16(l.base + squat - 1), QAbstractSocket::DontShareAddress));
    l.boxes.setNextAnswer(yes ? BoxAnswer::Yes : BoxAnswer::No);
    QCOMPARE(l.load(), !yes);
    QCOMPARE(int(l.boxes.shown().size()), named ? 1 : 0);
    if (named) {
        const BoxRequest box = l.boxes.shown().front();
        QCOMPARE(box.title, QStringLiteral("Tolvex Port Error"));
        QCOMPARE(box.buttons, BoxButtons::YesNo);
        QCOMPARE(box.text.split(QStringLiteral("\r\n")).first(),
                 QStringLiteral("The RX Port %1 Is Already In Use").arg(l.config.Port2));
    }
    if (yes) {
        QCOMPARE(l.end.endCount(), 1);
        return;
    }
    TolvexMMain &m = *l.window;
    QVERIFY(m.st.NotConfigured);
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Click Configure To Set Up Tolvex"));
    QVERIFY(!m.ui->Reset->isEnabled() && !m.ui->TestS->isEnabled());
    QVERIFY(m.timerEnabled());
    QVERIFY(l.log().contains(QStringLiteral(",  UnConfig , ********  ,")));
    QVERIFY(l.tray.isShown());
    l.slave1.received.clear();
    for (int i = 0; i < 3; ++i)
        QVERIFY(l.networkSecond());
    QVERIFY(l.slave1.received.isEmpty() && l.slave2.received.isEmpty());
    QCOMPARE(m.st.RunState, 0);
    QCOMPARE(m.st.Count, l.config.StartDelay);
    QVERIFY(!l.runs([&] { m.close(); }));
    QVERIFY(!l.log().contains(QStringLiteral(", Initialise,")) && !l.log().contains(QStringLiteral(",  Exit ")));
    QVERIFY(!l.tray.isShown());
}

void MasterLinkTest::oneUnreachableSlaveDoesNotStopTheOthers()
{
    Link l;
    l.config.IPAdd[1] = QStringLiteral("no-such-host.invalid");
    l.config.IPAdd[2] = QStringLiteral("localhost"); // answered by the stand-in on 127.0.0.1
    QVERIFY(l.load());
    for (int i = 0; i < 4 && !l.slave1.received.contains(QStringLiteral("<LOA100>")); ++i)
        QVERIFY(l.networkSecond());
    QVERIFY(l.slave1.received.contains(QStringLiteral("<LOA100>")));
    QCOMPARE(l.window->Type1[0]->text(), QStringLiteral(" No Network"));
    QVERIFY(!l.window->st.NetworkOK);
}

QTEST_MAIN(MasterLinkTest)
#include "test_master_link.moc"
