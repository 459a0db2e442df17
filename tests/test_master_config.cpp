// The master's window with its configuration screen: opening it pauses the cycle
// while the polls go on, the cycle closes it when its countdown ends, and leaving
// it after a save (or while not configured) applies the new file at once.
#include "MasterFixture.h"
#include "frmConfig.h"
#include "MasterLink.h"
#include "ui_TolvexMMain.h"
#include "ui_frmConfig.h"
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A master with one remote computer whose polls a socket on 127.1.1.1 receives.
struct Configured : MasterFixture {
    QUdpSocket slave;
    Configured()
    {
        config.CName[1] = QStringLiteral("Node1");
        config.IPAdd[1] = QStringLiteral("127.1.1.1");
        // One pair of free ports: two separate look-ups could both find the same one.
        config.Port1 = freeUdpPort(2);
        config.Port2 = config.Port1 + 1;
        slave.bind(QHostAddress(QStringLiteral("127.1.1.1")), quint16(config.Port1), QAbstractSocket::DontShareAddress);
    }
    frmConfig *screen() const { return qobject_cast<frmConfig *>(window->configScreen()); }
    frmConfig &open()
    {
        window->Config_Click();
        frmConfig *s = screen();
        s->Timer1->stop();  // the test drives the countdown
        return *s;
    }
    int polls()
    {
        QTest::qWait(30);
        int n = 0;
        while (slave.hasPendingDatagrams()) {
            slave.receiveDatagram();
            ++n;
        }
        return n;
    }
};

} // namespace

class MasterConfigTest : public QObject {
    Q_OBJECT
private slots:
    void openingPausesTheCycleNotThePolls();
    void cycleClosesTheIdleScreen_data();
    void cycleClosesTheIdleScreen();
    void saveThenExitApplies();
    void unconfiguredProgramAppliesOnEveryExit();
    void endOfProgramUnloadsTheScreen();
    void closedBehindItsOwnBox();
    void testSwitchLimitsStayInTheRun();
};

void MasterConfigTest::openingPausesTheCycleNotThePolls()
{
    Configured f;
    QVERIFY(f.load());
    for (int i = 0; i < 5; ++i)
        QVERIFY(f.second());
    TolvexMMain &m = *f.window;
    QCOMPARE(m.st.RunState, 1);
    f.polls();
    m.ui->Config->click();
    frmConfig *s = f.screen();
    QVERIFY(s && s->isVisible());
    QCOMPARE(s->windowTitle(), QStringLiteral("Tolvex Configuration"));
    // Whole, in the middle of the screen (but for the frame, unknown before it shows).
    QCOMPARE(s->size(), s->sizeHint().expandedTo(s->minimumSizeHint()));
    QVERIFY((s->frameGeometry().center() - s->screen()->availableGeometry().center()).manhattanLength() <= 4);
    QVERIFY(m.st.DialogOpen);
    QVERIFY(!m.ui->Config->isEnabled() && !m.ui->TestS->isEnabled() && !m.ui->About->isEnabled());
    QVERIFY(!m.mPopUpConfig->isEnabled());
    const int count = m.st.Count;
    for (int i = 0; i < 3; ++i)
        QVERIFY(f.second());
    QCOMPARE(m.st.Count, count);
    QCOMPARE(m.st.RunState, 1);
    QVERIFY(f.polls() >= 5);
}

void MasterConfigTest::cycleClosesTheIdleScreen_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("seconds");
    QTest::newRow("administrator") << true << 4;
    QTest::newRow("user") << false << 2;
}

void MasterConfigTest::cycleClosesTheIdleScreen()
{
    QFETCH(bool, admin);
    QFETCH(int, seconds);
    Configured f;
    f.admin = admin;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    frmConfig &s = f.open();
    QPointer<frmConfig> alive(&s);
    int elapsed = 0;
    while (m.configScreen() && elapsed < 10) {
        s.Timer1_Timer();
        QVERIFY(f.second());
        ++elapsed;
    }
    QCOMPARE(elapsed, seconds);
    QVERIFY(!m.st.DialogOpen);
    QVERIFY(m.ui->Config->isEnabled() && m.ui->About->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    // The cycle goes on: the activation delay counts down again.
    const int count = m.st.Count;
    QVERIFY(f.second());
    QVERIFY(m.st.Count != count || m.st.RunState != 0);
}

void MasterConfigTest::saveThenExitApplies()
{
    Configured f;
    QVERIFY(f.load());
    for (int i = 0; i < 5; ++i)
        QVERIFY(f.second());
    TolvexMMain &m = *f.window;
    const int oldBase = m.link->row(1).localPort();
    frmConfig &s = f.open();
    const int newBase = freeUdpPort();
    s.ui->Port2T->setText(QString::number(newBase));
    s.ui->CPUDelayT->setText(QStringLiteral("30"));
    s.ui->ShutNameT->setCurrentText(QStringLiteral("Reboot"));
    s.Save_Click();
    QVERIFY(m.st.ConfigSaved);
    QCOMPARE(m.st.RunState, 1);  // nothing applied yet
    QCOMPARE(m.link->row(1).localPort(), oldBase);

    s.ExitConfig_Click();
    QVERIFY(!m.configScreen());
    QVERIFY(!m.st.DialogOpen && !m.st.ConfigSaved);
    QCOMPARE(m.cfg.CPUDelay, 30);
    QCOMPARE(m.link->row(1).localPort(), newBase);
    QCOMPARE(m.st.RunState, 0);
    QCOMPARE(m.st.Count, f.config.StartDelay);
    QVERIFY(m.timerEnabled());
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Reboot if no comms for over 30 sec"));
    QCOMPARE(m.Shut1[0]->text(), QStringLiteral("R"));
    const QString log = f.log();
    QVERIFY(log.contains(QRegularExpression("\r\n\r\n\\d\\d:\\d\\d:\\d\\d,  Config   , Updated   , Count:    3\r\n"
                                            "\\d\\d:\\d\\d:\\d\\d,  Start    , Initialise, Count:    3\r\n$")));
    QVERIFY(m.ui->Config->isEnabled());
}

// While not configured every Exit reads the file again: one fixed by hand meanwhile
// makes the program configured.
void MasterConfigTest::unconfiguredProgramAppliesOnEveryExit()
{
    Configured f;
    f.config.CName[0].clear();
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(m.st.NotConfigured);
    frmConfig &s = f.open();
    f.config.CName[0] = QStringLiteral("Master");
    f.writeConfig(f.configText());
    s.ExitConfig_Click();
    QVERIFY(!m.st.NotConfigured);
    QCOMPARE(m.Comp[0]->text(), QStringLiteral(" Master"));
    QVERIFY(f.log().contains(QStringLiteral(",  Config   , Updated   ,")));
}

void MasterConfigTest::endOfProgramUnloadsTheScreen()
{
    Configured f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    f.open();
    QVERIFY(!MasterFixture::runs([&m] { m.Exit_Click(); }));
    QVERIFY(!m.configScreen());
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise,")));
}

// The cycle closes an idle screen also while one of the screen's boxes is open (a
// user who leaves Archive's question standing). The screen is unloaded then, but
// lives on until its handler has returned from the box.
void MasterConfigTest::closedBehindItsOwnBox()
{
    Configured f;
    f.admin = false;
    f.config.UserExitA = 2;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    frmConfig &s = f.open();
    QPointer<frmConfig> screen(&s);
    bool aliveBehindTheBox = false;
    f.boxes.whileOpen = [&] {
        if (!m.configScreen())
            return;
        m.st.ConfigCountdown = 0;
        f.second();
        QTest::qWait(1);  // the box's own event loop
        aliveBehindTheBox = !screen.isNull() && screen->isUnloaded();
    };
    f.boxes.setNextAnswer(BoxAnswer::No);  // clear the log: the handler goes on after the boxes
    f.boxes.setNextAnswer(BoxAnswer::Yes);
    s.Archive_Click();
    f.boxes.whileOpen = nullptr;
    QVERIFY(aliveBehindTheBox);
    QVERIFY(!m.configScreen() && !m.st.DialogOpen);
    QVERIFY(f.log().startsWith(QStringLiteral("Tolvex Log\r\n")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(screen.isNull());
}

// Under -InhibitShutdown the run goes by 6 seconds of silence and a 6-second
// countdown, while the screen shows and saves the limits of the file.
void MasterConfigTest::testSwitchLimitsStayInTheRun()
{
    Configured f;
    f.config.CPUDelay = 100;
    f.config.ShutTime = 100;
    f.config.StartDelay = 1;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    frmConfig &s = f.open();
    QCOMPARE(s.ui->CPUDelayT->text() + '|' + s.ui->ShutTimeT->text(), QStringLiteral("100|100"));
    s.ui->LogNameT->setText(QStringLiteral("Renamed.log"));
    s.Save_Click();
    const QByteArray file = readFile(f.path("Data/TolvexM.ini"));
    for (const char *line : {"\r\nLogName=Renamed.log\r\n", "\r\nCPUDelay=100\r\n", "\r\nShutTime=100\r\n"})
        QVERIFY2(file.contains(line), line);

    s.ExitConfig_Click();
    QCOMPARE(m.cfg.LogName, QStringLiteral("Renamed.log"));
    QCOMPARE(QList<int>({m.cfg.CPUDelay, m.cfg.ShutTime, m.st.CommsLimit, m.st.ShutLimit}), QList<int>({100, 100, 6, 6}));
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Power Off if no comms for over 6 sec"));
    for (int i = 0; i < 20 && m.st.RunState != 2; ++i)
        QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 2);
    QVERIFY2(m.ui->Counter->text().endsWith(QStringLiteral(" In 6s")), qPrintable(m.ui->Counter->text()));
}

QTEST_MAIN(MasterConfigTest)
#include "test_master_config.moc"
