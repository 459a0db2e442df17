#include <QtTest>

#include "LinkDatagram.h"
#include "SlaveFixture.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace tolvex;
using namespace tolvex::test;

namespace {

const QString kProbe = QStringLiteral("<LOA100>");
const QString kPending = QStringLiteral("?"); // LinkStatus until the slave has taken a datagram

// A slave with a test master: a socket on the master's address whose port is the
// slave's Port1, and a sender that plays the master's polls.
class LinkRig {
public:
    LinkRig()
    {
        QVERIFY(master.bind(QHostAddress(kMasterAddress), 0, QAbstractSocket::DontShareAddress));
        fx.config.Port1 = master.localPort();
    }

    TolvexSMain &w() { return *fx.window; }

    // Sends `bytes` to the slave's receive port and waits until the slave has taken it.
    bool deliver(const QByteArray &bytes, QUdpSocket *from = nullptr)
    {
        w().st.LinkStatus = kPending;
        QUdpSocket &socket = from ? *from : sender;
        if (socket.writeDatagram(bytes, QHostAddress(kMasterAddress), quint16(fx.config.Port2)) != bytes.size())
            return false;
        return QTest::qWaitFor([this] { return w().st.LinkStatus != kPending; }, 5000);
    }
    bool deliver(const QString &text) { return deliver(link::toBytes(text)); }

    // Every answer sent so far, ending with the answer to a probe poll made in Run;
    // the probe shows that nothing else was on its way.
    QStringList answersThenProbe()
    {
        w().st.RunState = 1;
        const QString probeAnswer = link::statusReply(link::typeLetter(w().st.ActionName), 1);
        QStringList got;
        if (!deliver(kProbe))
            return got;
        QElapsedTimer waited;
        waited.start();
        while (!got.contains(probeAnswer) && waited.elapsed() < 5000) {
            if (!master.hasPendingDatagrams() && !master.waitForReadyRead(100))
                continue;
            while (master.hasPendingDatagrams()) {
                QByteArray data(int(qMax<qint64>(0, master.pendingDatagramSize())), Qt::Uninitialized);
                data.truncate(int(qMax<qint64>(0, master.readDatagram(data.data(), data.size()))));
                got << link::fromBytes(data);
            }
        }
        return got;
    }

    // The answers before the probe's.
    QStringList answers()
    {
        QStringList got = answersThenProbe();
        if (!got.isEmpty())
            got.removeLast();
        return got;
    }

    SlaveFixture fx;
    QUdpSocket master;
    QUdpSocket sender;
};

QString counterText(LinkRig &rig) { return rig.w().findChild<QLineEdit *>(QStringLiteral("Counter"))->text(); }

} // namespace

class TestSlaveLink : public QObject {
    Q_OBJECT

private slots:
    void receivePortIsNotShared();
    void answersByState_data();
    void answersByState();
    void frameRule_data();
    void frameRule();
    void resetCommand_data();
    void resetCommand();
    void testCommand();
    void unconfiguredSlaveObeysResetOnly();
    void anySenderIsTheMaster();
    void floodKeepsTheCycleRunning();
    void portInUse_data();
    void portInUse();
};

void TestSlaveLink::receivePortIsNotShared()
{
    LinkRig rig;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.w().udpServ->isBound());
    QCOMPARE(rig.w().udpServ->localPort(), rig.fx.config.Port2);
    QUdpSocket other;
    QVERIFY(!other.bind(QHostAddress::AnyIPv4, quint16(rig.fx.config.Port2),
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
}

void TestSlaveLink::answersByState_data()
{
    QTest::addColumn<int>("shutType");
    QTest::addColumn<int>("startDelay");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("noComms");

    QTest::newRow("run, power off") << 1 << 1 << 1 << 0 << "<LOP100>" << 0;
    QTest::newRow("run, shutdown") << 3 << 1 << 1 << 0 << "<LOS100>" << 0;
    QTest::newRow("run, standby") << 6 << 1 << 1 << 0 << "<LOB100>" << 0;
    QTest::newRow("activation, 5 left") << 1 << 5 << 0 << 5 << QString() << 1;
    QTest::newRow("activation, last second") << 2 << 2 << 0 << 1 << "<LOR000>" << 1;
    QTest::newRow("countdown") << 1 << 1 << 2 << -1 << QString() << -1;
}

void TestSlaveLink::answersByState()
{
    QFETCH(int, state);
    QFETCH(int, count);
    QFETCH(QString, answer);
    QFETCH(int, noComms);
    LinkRig rig;
    QFETCH(int, shutType);
    QFETCH(int, startDelay);
    rig.fx.config.ShutType = shutType;
    rig.fx.config.StartDelay = startDelay;
    QVERIFY(rig.fx.load());
    if (count > 0)
        rig.w().st.Count = count;
    else
        QVERIFY(rig.fx.reach(state));
    QCOMPARE(rig.w().st.RunState, state);

    QVERIFY(rig.deliver(kProbe));
    QCOMPARE(rig.w().st.LinkStatus, QStringLiteral("-OK-"));
    if (noComms >= 0)
        QCOMPARE(rig.w().st.NoComms, noComms);
    QCOMPARE(rig.answers(), answer.isEmpty() ? QStringList() : QStringList{answer});
}

void TestSlaveLink::frameRule_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("valid");

    QTest::newRow("poll") << QByteArray("<LOA100>") << true;
    QTest::newRow("tag AO") << QByteArray("<AOA100>") << true;
    QTest::newRow("tag PO") << QByteArray("<POA100>") << true;
    QTest::newRow("letters as length") << QByteArray("<LOA1ab>") << true;
    QTest::newRow("blank and zero as length") << QByteArray("<LOA1 0>") << true;
    QTest::newRow("five payload characters") << QByteArray("<LOAB05hello>") << true;
    QTest::newRow("NULs as letter and digit") << QByteArray("<LO\0\0" "00>", 8) << true;
    QTest::newRow("99 payload characters") << QByteArray("<LOA199" + QByteArray(99, 'z') + ">") << true;
    QTest::newRow("7 characters") << QByteArray("<LOA10>") << false;
    QTest::newRow("no <") << QByteArray("LOA100>") << false;
    QTest::newRow("other tag") << QByteArray("<XOA100>") << false;
    QTest::newRow("no final >") << QByteArray("<LOA100") << false;
    QTest::newRow("length 1 without payload") << QByteArray("<LOA101>") << false;
    QTest::newRow("letter length with payload") << QByteArray("<LOA1x>X>") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("binary") << QByteArray("\0\xff\xfe<LO\x80\x01>", 10) << false;
    QTest::newRow("huge") << QByteArray(60000, 'x') << false;
    QTest::newRow("huge frame") << QByteArray("<LOA199" + QByteArray(60000, '9') + ">") << false;
}

void TestSlaveLink::frameRule()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, valid);
    LinkRig rig;
    rig.fx.config.StartDelay = 1;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));

    QVERIFY(rig.deliver(datagram));
    auto *counter = rig.w().findChild<QLineEdit *>(QStringLiteral("Counter"));
    if (valid) {
        QCOMPARE(rig.w().st.LinkStatus, QStringLiteral("-OK-"));
        QCOMPARE(rig.w().st.NoComms, 0);
        QCOMPARE(rig.answers(), QStringList{"<LOP100>"});
    } else {
        QCOMPARE(rig.w().st.LinkStatus, QStringLiteral("Error"));
        QCOMPARE(rig.w().st.NoComms, 1);
        QCOMPARE(counter->text(), QStringLiteral("Connection Error"));
        QCOMPARE(colors::foreColor(counter), quint32(0x80FF));
        QCOMPARE(rig.answers(), QStringList{"<LOE100>"});
    }
}

void TestSlaveLink::resetCommand_data()
{
    QTest::addColumn<int>("startDelay");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("longer delay") << 3 << QStringList{"<LOC000>"};
    QTest::newRow("one-second delay") << 1 << QStringList{"<LOC000>", "<LOP000>"};
}

void TestSlaveLink::resetCommand()
{
    QFETCH(int, startDelay);
    LinkRig rig;
    rig.fx.config.StartDelay = startDelay;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));
    QVERIFY(rig.deliver(link::kReset));
    QCOMPARE(rig.w().st.RunState, 0);
    QCOMPARE(rig.w().st.Count, startDelay);
    QVERIFY(rig.fx.log().contains(QStringLiteral(",  Reset    , Run       , Count:")));
    QTEST(rig.answers(), "answers");
}

void TestSlaveLink::testCommand()
{
    LinkRig rig;
    rig.fx.config.StartDelay = 1;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));
    QVERIFY(rig.deliver(link::kTest));
    QVERIFY(rig.w().st.TestMode);
    QCOMPARE(rig.w().st.Count, 2);
    QCOMPARE(rig.w().windowTitle(), QStringLiteral("Tolvex Slave - Test Mode"));
    QVERIFY(rig.fx.log().contains(QStringLiteral(", *Enter    , Test      , Count:")));
    QCOMPARE(rig.answers(), QStringList{"<LOC000>"});

    // A test command also replaces a running countdown.
    QVERIFY(rig.fx.reach(2));
    QVERIFY(rig.deliver(link::kTest));
    QCOMPARE(rig.w().st.RunState, 0);
    QVERIFY(rig.w().st.TestMode);
}

void TestSlaveLink::unconfiguredSlaveObeysResetOnly()
{
    LinkRig rig;
    rig.fx.config.IPAdd.clear();
    QVERIFY(rig.fx.load());
    QVERIFY(rig.w().st.NotConfigured);
    QVERIFY(rig.w().udpServ->isBound());

    QVERIFY(rig.deliver(link::kTest));
    QVERIFY(!rig.w().st.TestMode);
    QCOMPARE(rig.w().st.TxMessage, QStringLiteral("<LOP000>"));

    QVERIFY(rig.deliver(link::kReset));
    QVERIFY(rig.fx.log().contains(QStringLiteral(",  Reset    , Initialise, Count:")));
    QVERIFY(rig.w().st.NotConfigured);
}

void TestSlaveLink::anySenderIsTheMaster()
{
    LinkRig rig;
    rig.fx.config.StartDelay = 1;
    QVERIFY(rig.fx.load());
    QVERIFY(rig.fx.reach(1));
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress(kMasterAddress), 0));
    QVERIFY(rig.deliver(QByteArray("<LOA100>"), &stranger));
    QCOMPARE(rig.w().st.NoComms, 0);
    QCOMPARE(rig.answers(), QStringList{"<LOP100>"});
    QVERIFY(!stranger.hasPendingDatagrams());
}

void TestSlaveLink::floodKeepsTheCycleRunning()
{
    LinkRig rig;
    rig.fx.manualTimer = false;
    rig.fx.config.StartDelay = 1;
    rig.fx.config.LogLevel = 1;
    QVERIFY(rig.fx.load());
    QSignalSpy ticks(rig.w().tmrRefresh, &QTimer::timeout);

    // A second thread floods the receive port with polls and garbage for a few seconds
    // while the window thread runs its event loop.
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    const quint16 port = quint16(rig.fx.config.Port2);
    std::thread flood([&stop, &sent, port] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(0x7F010101); // 127.1.1.1
        const char poll[] = "<LOA100>";
        const char junk[] = "\x01\x02garbage";
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(3500);
        for (long i = 0; !stop && std::chrono::steady_clock::now() < end; ++i) {
            const char *data = i % 4 ? poll : junk;
            if (::sendto(fd, data, 8, 0, reinterpret_cast<sockaddr *>(&to), sizeof to) == 8)
                ++sent;
        }
        ::close(fd);
    });
    QTest::qWait(3500);
    stop = true;
    flood.join();

    // The one-second cycle went on through the flood and the slave reached Run.
    QVERIFY2(sent > 1000, qPrintable(QString::number(sent)));
    QVERIFY2(ticks.count() >= 2, qPrintable(QString::number(ticks.count())));
    QCOMPARE(rig.w().st.RunState, 1);
    QTRY_VERIFY_WITH_TIMEOUT(counterText(rig) == QLatin1String("Connected")
                                 || counterText(rig) == QLatin1String("Connection Error"),
                             3000);
}

void TestSlaveLink::portInUse_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("logExists");
    QTest::newRow("no") << false << false;
    QTest::newRow("yes, first start") << true << false;
    QTest::newRow("yes, log present") << true << true;
}

void TestSlaveLink::portInUse()
{
    QFETCH(bool, yes);
    QFETCH(bool, logExists);
    LinkRig rig;
    QUdpSocket blocker;
    QVERIFY(blocker.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    rig.fx.config.Port2 = blocker.localPort();
    if (logExists)
        QVERIFY(writeFile(rig.fx.path("Log/TolvexS.log"), "Tolvex Slave\r\n"));
    rig.fx.boxes.setNextAnswer(yes ? BoxAnswer::Yes : BoxAnswer::No);

    QCOMPARE(rig.fx.load(), !yes);
    QCOMPARE(rig.fx.boxes.shown().size(), size_t(1)); // no log error on the way out
    const BoxRequest &box = rig.fx.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Slave Port Error"));
    QCOMPARE(box.text, QStringLiteral("The RX Port ") + QString::number(blocker.localPort())
                           + QStringLiteral(" Is Already In Use.\r\nThis Error Must Be Resolved Before\r\n"
                                            "You Can Use Tolvex Slave.\r\nUse The Configuration Screen\r\n"
                                            "To Change The RX Port.\r\nDo You Want To End The Program?"));
    QCOMPARE(int(box.icon), int(BoxIcon::Critical));
    QCOMPARE(int(box.buttons), int(BoxButtons::YesNo));

    if (yes) {
        QVERIFY(rig.fx.end.ended());
        QVERIFY(!rig.fx.tray.isShown());
        QCOMPARE(rig.fx.log().contains(QStringLiteral(",  Exit     , Initialise, Count:")), logExists);
        return;
    }
    TolvexSMain &w = rig.w();
    QVERIFY(w.st.NotConfigured);
    QVERIFY(!w.udpServ->isBound());
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Title"))->text(),
             QStringLiteral("Click Configure To Set Up Tolvex Slave"));
    QVERIFY(rig.fx.log().contains(QStringLiteral(",  UnConfig , ********  , Count:")));
    QVERIFY(rig.fx.tray.isShown());
    QVERIFY(rig.fx.seconds(5));
    QCOMPARE(w.st.RunState, 0);
}

QTEST_MAIN(TestSlaveLink)
#include "test_slave_link.moc"
