// The slave's window with its configuration screen: the cycle pauses while it is
// open and closes it when its countdown ends; leaving it after a save applies the
// file at once, so the slave answers its master on the new ports.
#include "LinkDatagram.h"
#include "SlaveFixture.h"
#include "UdpEndpoint.h"
#include "frmSlaveConfig.h"
#include "ui_TolvexSMain.h"
#include "ui_frmSlaveConfig.h"
#include <QAction>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace tolvex;
using namespace tolvex::test;

namespace {

frmSlaveConfig &openScreen(SlaveFixture &f)
{
    f.window->Config_Click();
    auto *s = qobject_cast<frmSlaveConfig *>(f.window->configScreen());
    s->Timer1->stop();  // the test drives the countdown
    return *s;
}

} // namespace

class SlaveConfigTest : public QObject {
    Q_OBJECT
private slots:
    void cycleClosesTheIdleScreen_data();
    void cycleClosesTheIdleScreen();
    void saveThenExitAnswersOnTheNewPorts();
};

void SlaveConfigTest::cycleClosesTheIdleScreen_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("seconds");
    QTest::newRow("administrator") << true << 4;
    QTest::newRow("user") << false << 2;
}

void SlaveConfigTest::cycleClosesTheIdleScreen()
{
    QFETCH(bool, admin);
    QFETCH(int, seconds);
    SlaveFixture f;
    f.admin = admin;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &m = *f.window;
    QVERIFY(f.seconds(2));
    const int state = m.st.RunState;
    const int count = m.st.Count;
    frmSlaveConfig &s = openScreen(f);
    QCOMPARE(s.windowTitle(), QStringLiteral("Tolvex Slave Configuration"));
    // The switch's limits (6 and 6) stay in the run; the screen shows the file's.
    QCOMPARE(s.ui->CPUDelayT->text() + '|' + s.ui->ShutTimeT->text(),
             QString::number(f.config.CPUDelay) + '|' + QString::number(f.config.ShutTime));
    QCOMPARE(m.st.CommsLimit * 100 + m.st.ShutLimit, 606);
    QCOMPARE(s.size(), s.sizeHint().expandedTo(s.minimumSizeHint()));  // not the size the form was drawn at
    QVERIFY((s.frameGeometry().center() - s.screen()->availableGeometry().center()).manhattanLength() <= 4);
    QVERIFY(m.st.DialogOpen && !m.ui->Config->isEnabled() && !m.mPopUpConfig->isEnabled());
    int elapsed = 0;
    while (m.configScreen() && elapsed < 10) {
        QCOMPARE(m.st.RunState * 1000 + m.st.Count, state * 1000 + count);  // paused
        s.Timer1_Timer();
        QVERIFY(f.seconds());
        ++elapsed;
    }
    QCOMPARE(elapsed, seconds);
    QVERIFY(!m.st.DialogOpen);
    QVERIFY(m.ui->Config->isEnabled() && m.ui->About->isEnabled());
    QVERIFY(f.seconds(2));
    QVERIFY(m.st.RunState * 1000 + m.st.Count != state * 1000 + count);
}

void SlaveConfigTest::saveThenExitAnswersOnTheNewPorts()
{
    SlaveFixture f;
    QUdpSocket master;
    QVERIFY(master.bind(QHostAddress(kMasterAddress), 0, QAbstractSocket::DontShareAddress));
    QVERIFY(f.load());
    TolvexSMain &m = *f.window;
    QVERIFY(f.seconds(4));
    QCOMPARE(m.st.RunState, 1);

    frmSlaveConfig &s = openScreen(f);
    const int receivePort = freeUdpPort();
    s.ui->Port1T->setText(QString::number(master.localPort()));
    s.ui->Port2T->setText(QString::number(receivePort));
    s.ui->ShutNameT->setCurrentText(QStringLiteral("Standby"));
    s.Save_Click();
    QVERIFY(m.st.ConfigSaved);
    s.ExitConfig_Click();
    QVERIFY(!m.configScreen());
    QVERIFY(!m.st.DialogOpen && !m.st.ConfigSaved);
    QCOMPARE(m.udpServ->localPort(), receivePort);
    QCOMPARE(m.cfg.ShutType, 6);
    QCOMPARE(m.st.RunState, 0);
    QVERIFY(m.timerEnabled());
    QCOMPARE(f.pairs().mid(f.pairs().size() - 2), QStringList({"Config|Updated", "Start|Initialise"}));

    QVERIFY(f.seconds(3));
    QCOMPARE(m.st.RunState, 1);
    QUdpSocket sender;
    sender.writeDatagram(link::toBytes(link::kPoll), QHostAddress(kMasterAddress), quint16(receivePort));
    QVERIFY(QTest::qWaitFor([&master] { return master.hasPendingDatagrams(); }, 5000));
    QCOMPARE(link::fromBytes(master.receiveDatagram().data()), QStringLiteral("<LOB100>"));
}

QTEST_MAIN(SlaveConfigTest)
#include "test_slave_config.moc"
