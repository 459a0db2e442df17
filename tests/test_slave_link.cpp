#include <QtTest>

#include "LinkDatagram.h"
#include "SlaveFixture.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"
#include <QNetworkDatagram>
#include <QTimer>
#include <thread>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A slave with a test master: a socket on the master's address whose port is the
// slave's Port1, and a sender on another port that plays the master's datagrams.
struct LinkRig {
    LinkRig()
    {
        QVERIFY(master.bind(QHostAddress(kMasterAddress), 0, QAbstractSocket::DontShareAddress));
        fx.config.Port1 = master.localPort();
    }
    TolvexSMain &w() { return *fx.window; }

    // Sends `bytes` to the slave's receive port and waits until the slave has taken it.
    bool deliver(const QByteArray &bytes)
    {
        w().st.LinkStatus = QStringLiteral("?");
        sender.writeDatagram(bytes, QHostAddress(kMasterAddress), quint16(fx.config.Port2));
        return QTest::qWaitFor([this] { return w().st.LinkStatus != QLatin1String("?"); }, 5000);
    }

    // The answers that reached the master. A probe poll made in Run goes last: its
    // answer, marked by an action of its own, shows that nothing else is on its way.
    QStringList answers()
    {
        w().st.RunState = 1;
        w().st.ActionName = QStringLiteral("X");
        const QString probe = QStringLiteral("<LOX100>");
        QStringList got;
        const bool probed = deliver(link::toBytes(link::kPoll)) && QTest::qWaitFor([&] {
            while (master.hasPendingDatagrams())
                got << link::fromBytes(master.receiveDatagram().data());
            return got.contains(probe);
        }, 5000);
        got.removeAll(probe);
        return probed ? got : got << QStringLiteral("(no answer to the probe)");
    }

    // Waits until the slave has answered all it was sent (nothing reaches the master for
    // a while), throwing the answers away.
    bool settle()
    {
        QElapsedTimer quiet;
        quiet.start();
        return QTest::qWaitFor([&] {
            for (; master.hasPendingDatagrams(); quiet.restart())
                master.receiveDatagram();
            return quiet.elapsed() > 300;
        }, 10000);
    }

    SlaveFixture fx;
    QUdpSocket master;
    QUdpSocket sender;
};

} // namespace

// The slave's side of the link, over real UDP on the loopback network.
class TestSlaveLink : public QObject {
    Q_OBJECT

private slots:
    void datagrams_data();
    void datagrams();
    void commands_data();
    void commands();
    void junkNeverCostsAConnectedSecond_data();
    void junkNeverCostsAConnectedSecond();
    void errorRepliesAreLimited();
    void floodKeepsTheCycleRunning();
};

void TestSlaveLink::datagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("startDelay");
    QTest::addColumn<int>("state");      // the run state the datagram finds
    QTest::addColumn<QString>("answer"); // empty: none

    const QByteArray poll("<LOA100>");
    const QString error = link::kErrorReply;
    QTest::newRow("run") << poll << 1 << 1 << "<LOP100>";
    QTest::newRow("activation, 5 left") << poll << 5 << 0 << QString();
    QTest::newRow("activation, last second") << poll << 1 << 0 << "<LOP000>";
    QTest::newRow("countdown") << poll << 1 << 2 << QString();
    // The slave's lenient frame rule: letters in the length read as 0.
    QTest::newRow("letters as length") << QByteArray("<LOA1ab>") << 1 << 1 << "<LOP100>";
    QTest::newRow("five payload characters") << QByteArray("<LOAB05hello>") << 1 << 1 << "<LOP100>";
    QTest::newRow("letter length with payload") << QByteArray("<LOA1x>X>") << 1 << 1 << error;
    QTest::newRow("empty") << QByteArray() << 1 << 1 << error;
    QTest::newRow("binary") << QByteArray("\0\xff\xfe<LO\x80\x01>", 10) << 1 << 1 << error;
    QTest::newRow("oversized") << QByteArray("<LOA199" + QByteArray(60000, '9') + ">") << 1 << 1 << error;
}

void TestSlaveLink::datagrams()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, state);
    QFETCH(QString, answer);
    LinkRig rig;
    QFETCH(int, startDelay);
    rig.fx.config.StartDelay = startDelay;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(state));

    QVERIFY(rig.deliver(datagram));
    const bool valid = answer != link::kErrorReply;
    QCOMPARE(rig.w().st.LinkStatus, valid ? QStringLiteral("-OK-") : QStringLiteral("Error"));
    QCOMPARE(rig.w().st.NoComms, valid && state == 1 ? 0 : 1); // only Run counts a good datagram
    if (!valid) {
        QCOMPARE(rig.w().ui->Counter->text(), QStringLiteral("Connection Error"));
        QCOMPARE(colors::foreColor(rig.w().ui->Counter), quint32(0x80FF));
    }
    QCOMPARE(rig.answers(), answer.isEmpty() ? QStringList() : QStringList{answer});
    QVERIFY(!rig.sender.hasPendingDatagrams()); // answers go to the master, whoever sent
}

void TestSlaveLink::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("startDelay"); // 0: unconfigured (no master address)
    QTest::addColumn<int>("state");      // the run state the command finds
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("atTheTick"); // still waiting on the socket when the tick comes

    const QString reset = QStringLiteral(",  Reset    , Run       , Count:");
    const QString test = QStringLiteral(", *Enter    , Test      , Count:");
    const QStringList done{link::kReset};
    QTest::newRow("reset in Run") << link::kReset << 3 << 1 << reset << done << false;
    // Back in the activation's last second at once: the command is answered as a poll too.
    QTest::newRow("reset, one-second delay") << link::kReset << 1 << 1 << reset << (done + QStringList{"<LOP000>"})
                                             << false;
    QTest::newRow("test in Run") << link::kTest << 1 << 1 << test << done << false;
    QTest::newRow("test replaces a countdown") << link::kTest << 1 << 2 << test << done << false;
    QTest::newRow("test, unconfigured") << link::kTest << 0 << 0 << QString() << QStringList() << false;
    // Taken by the tick itself: the new run's first step is still a whole second away.
    QTest::newRow("reset taken by the tick") << link::kReset << 3 << 1 << reset << done << true;
    QTest::newRow("test taken by the tick") << link::kTest << 1 << 1 << test << done << true;
}

void TestSlaveLink::commands()
{
    QFETCH(QString, command);
    QFETCH(int, startDelay);
    QFETCH(QString, logged);
    LinkRig rig;
    rig.fx.config.StartDelay = qMax(startDelay, 1);
    if (startDelay == 0)
        rig.fx.config.IPAdd.clear();
    QVERIFY(rig.fx.load());
    QFETCH(int, state);
    QVERIFY(rig.fx.reach(state));
    const int logSize = int(rig.fx.log().size());

    QFETCH(bool, atTheTick);
    if (atTheTick) {
        // Sent, and left in the socket: no event is handled before the tick.
        rig.sender.writeDatagram(link::toBytes(command), QHostAddress(kMasterAddress), quint16(rig.fx.config.Port2));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        QVERIFY(rig.fx.seconds());
    } else {
        QVERIFY(rig.deliver(link::toBytes(command)));
    }
    const QString added = rig.fx.log().mid(logSize);
    QVERIFY2(logged.isEmpty() ? added.isEmpty() : added.contains(logged), qPrintable(added));
    const bool testRun = command == link::kTest && startDelay > 0;
    QCOMPARE(rig.w().st.TestMode, testRun);
    if (startDelay == 0) { // unconfigured it stays, with nowhere to answer to
        QVERIFY(rig.w().st.NotConfigured);
        return;
    }
    QCOMPARE(rig.w().st.RunState, 0);
    QCOMPARE(rig.w().st.Count, testRun ? 2 : startDelay);
    QTEST(rig.answers(), "answers");
}

void TestSlaveLink::junkNeverCostsAConnectedSecond_data()
{
    QTest::addColumn<QList<QByteArray>>("second"); // the datagrams of one second, in order
    QTest::addColumn<bool>("connected");

    const QByteArray poll("<LOA100>");
    const QByteArray junk("\x01\x02garbage");
    const QByteArray wrong("<LOX999>");
    QTest::newRow("poll, junk") << QList<QByteArray>{poll, junk} << true;
    QTest::newRow("junk, poll") << QList<QByteArray>{junk, poll} << true;
    QTest::newRow("junk, poll, wrong frame, empty") << QList<QByteArray>{junk, poll, wrong, QByteArray()} << true;
    QTest::newRow("poll, 50 wrong frames") << (QList<QByteArray>{poll} + QList<QByteArray>(50, wrong)) << true;
    QTest::newRow("junk only") << QList<QByteArray>{junk, wrong} << false;
}

// Liveness is judged by valid datagrams alone: invalid ones are shown, and answered,
// only in a second without a valid one.
void TestSlaveLink::junkNeverCostsAConnectedSecond()
{
    QFETCH(QList<QByteArray>, second);
    QFETCH(bool, connected);
    LinkRig rig;
    rig.fx.config.StartDelay = 1;
    rig.fx.config.LogLevel = 3;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));
    // Once connected, a second whose valid poll comes first is a steady one: it sets
    // nothing on the window, so nothing is painted again.
    EventCounter paints(QEvent::Paint);
    for (int i = 0; i < 3; ++i) {
        for (const QByteArray &datagram : second)
            rig.sender.writeDatagram(datagram, QHostAddress(kMasterAddress), quint16(rig.fx.config.Port2));
        QTest::qWait(30); // the arrivals, and the painting of the second before
        if (i == 1) {
            rig.w().installEventFilter(&paints);
            for (QWidget *w : rig.w().findChildren<QWidget *>())
                w->installEventFilter(&paints);
        }
        const bool shownError = rig.w().ui->Counter->text() == QLatin1String("Connection Error");
        QVERIFY(rig.fx.seconds()); // the tick takes whatever is still waiting first
        const QString line = rig.fx.log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).last();
        if (connected) {
            if (second.first() == link::toBytes(link::kPoll)) // shown only before the first valid one
                QVERIFY2(!shownError, qPrintable(QString::number(i)));
            QVERIFY2(line.contains(QLatin1String(", Count:    0, Comms: -OK-")), qPrintable(line));
            QCOMPARE(rig.w().ui->Counter->text(), QStringLiteral("Connected"));
            if (i == 2 && second.first() == link::toBytes(link::kPoll)) {
                QTest::qWait(30);
                QCOMPARE(paints.count, 0);
            }
        } else {
            QVERIFY2(line.contains(QStringLiteral(", Count:    %1, Comms: Error").arg(i + 1)), qPrintable(line));
        }
    }
}

// Every valid datagram is answered; invalid ones at most a few dozen times a second of
// the cycle, so that a flood of junk is not passed on to the master.
void TestSlaveLink::errorRepliesAreLimited()
{
    LinkRig rig;
    rig.fx.config.StartDelay = 1;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));
    const QHostAddress slave(kMasterAddress);
    const quint16 port = quint16(rig.fx.config.Port2);
    const int limit = link::kErrorRepliesPerSecond;
    QVERIFY(limit >= 10 && limit <= 60);

    for (int i = 0; i < limit + 70; ++i)
        rig.sender.writeDatagram("<LOX999>", slave, port);
    for (int i = 0; i < 20; ++i)
        rig.sender.writeDatagram("<LOA100>", slave, port);
    QTest::qWait(100); // all taken before the probe changes the answer's letter
    const QStringList first = rig.answers();
    QCOMPARE(first.count(link::kErrorReply), limit);
    QCOMPARE(first.count(QStringLiteral("<LOP100>")), 20);

    rig.sender.writeDatagram("junk", slave, port);
    QCOMPARE(rig.answers(), QStringList()); // nothing left in this second

    QVERIFY(rig.fx.seconds()); // a new second, a new allowance
    for (int i = 0; i < 5; ++i)
        rig.sender.writeDatagram("junk", slave, port);
    QCOMPARE(rig.answers(), QStringList(5, link::kErrorReply));
}

void TestSlaveLink::floodKeepsTheCycleRunning()
{
    LinkRig rig;
    rig.fx.manualTimer = false;
    rig.fx.config.StartDelay = 1;
    rig.fx.config.LogLevel = 1;
    QVERIFY(rig.fx.load());
    QSignalSpy ticks(rig.w().tmrRefresh, &QTimer::timeout);
    // What the status line showed after each tick (connected after the window's own
    // handler, so it sees the tick's result).
    QStringList shown;
    QObject::connect(rig.w().tmrRefresh, &QTimer::timeout, [&] { shown << rig.w().ui->Counter->text(); });

    // A second thread floods the receive port with polls and garbage for a few seconds
    // while the window thread runs its event loop.
    const long sent = Flood::during(3500, [port = quint16(rig.fx.config.Port2)](QUdpSocket &socket, long call) {
        return int(socket.writeDatagram(call % 4 ? "<LOA100>" : "\x01\x02garbage", QHostAddress(kMasterAddress), port) > 0);
    });

    // The one-second cycle went on through the flood and the slave reached Run.
    QVERIFY2(sent > 1000, qPrintable(QString::number(sent)));
    QVERIFY2(ticks.count() >= 2, qPrintable(QString::number(ticks.count())));
    QCOMPARE(rig.w().st.RunState, 1);
    // Polls got through the flood: some second of Run was judged connected.
    QVERIFY2(shown.contains(QStringLiteral("Connected")), qPrintable(shown.join(QStringLiteral(" | "))));

    // And the slave still hears: a poll after the flood is taken and answered.
    QVERIFY(rig.settle());
    QVERIFY(!rig.answers().contains(QStringLiteral("(no answer to the probe)")));
}

QTEST_MAIN(TestSlaveLink)
#include "test_slave_link.moc"
