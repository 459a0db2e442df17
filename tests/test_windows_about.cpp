// The About box of both programs and the cycles' dialog step: opening, the countdown,
// the pause of the state steps while the link goes on, closing, the controls given
// back; and the maker's web pages and the self-closing box.
#include "ConfigScreen.h"
#include "MultiInst.h"
#include "ProgramFixture.h"
#include "TolvexVersion.h"
#include "frmAbout.h"
#include "mdMisc.h"
#include "ui_TolvexMMain.h"
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

using namespace tolvex;
using namespace tolvex::test;

namespace {

const QString kAllControls = QStringLiteral("About Config Reset TestS Update Exit | About Config Reset Test Update");
const QString kUserControls = QStringLiteral("About Reset Update | About Reset Update");

// A slave stand-in on 127.0.0.1 that answers every poll of the master it is given.
struct Peer {
    QUdpSocket socket;
    int polls = 0;

    explicit Peer(MasterConfig &config)
    {
        socket.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress);
        config.DName = 2;
        config.IPAdd[1] = QStringLiteral("127.0.0.1");
        config.Port1 = socket.localPort();
        config.Port2 = freeUdpPort();
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                ++polls;
                socket.writeDatagram(QByteArray("<LOP100>"), d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
};

// One second of the program's cycle, then the About box's own second.
bool aboutSecond(ProgramFixture &f)
{
    return f.runs([&f] {
        if (f.isSlave()) {
            f.window().tmrRefresh_Timer();
        } else { // two ticks, each with time for the polls and their answers
            f.window().tmrRefresh_Timer();
            QTest::qWait(30);
            f.window().tmrRefresh_Timer();
            QTest::qWait(30);
        }
        f.clock().advanceSeconds(1);
        if (frmAbout *about = f.window().aboutBox(); about && about->isLoaded())
            about->Timer1_Timer();
    });
}

// The event word of the log's last line.
QString lastEvent(const QString &log)
{
    const QStringList lines = log.trimmed().split(QStringLiteral("\r\n"));
    return lines.last().section(QLatin1Char(','), 1, 1).trimmed();
}

} // namespace

class WindowsAboutTest : public QObject {
    Q_OBJECT
private slots:
    void opensCountsDownAndClosesThroughTheCycle_data();
    void opensCountsDownAndClosesThroughTheCycle();
    void closingGivesTheControlsBack_data();
    void closingGivesTheControlsBack();
    void staleCountdownClosesNoOtherDialog_data() { addProgramRows(); }
    void staleCountdownClosesNoOtherDialog();
    void bothDialogsOpen_data() { addProgramRows(); }
    void bothDialogsOpen();
    void mainWindowEndUnloadsTheBox_data() { addProgramRows(); }
    void mainWindowEndUnloadsTheBox();
    void webPages_data();
    void webPages();
    void startUpErrorWindowLogo();
    void timedBoxSeconds();
};

void WindowsAboutTest::opensCountsDownAndClosesThroughTheCycle_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("runOnTop");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("seconds");
    for (bool slave : {false, true}) {
        const char *p = programName(slave);
        QTest::addRow("%s, -InhibitShutdown, topmost", p) << slave << "-InhibitShutdown" << 2 << true << 4;
        QTest::addRow("%s, no switch, not topmost", p) << slave << "" << 1 << true << 60;
        QTest::addRow("%s, user with UserExitA 1", p) << slave << "-InhibitShutdown" << 1 << false << 4;
    }
}

// Alt+A opens the box; its label counts down from the start value to 1; the cycle
// closes it in the next second. Meanwhile no state step runs, but the master polls its
// slave and shows it connected; afterwards the controls come back by the rights.
void WindowsAboutTest::opensCountsDownAndClosesThroughTheCycle()
{
    QFETCH(bool, slave);
    QFETCH(QString, commandLine);
    QFETCH(int, runOnTop);
    QFETCH(bool, admin);
    QFETCH(int, seconds);
    ProgramFixture f(slave);
    f.setAdmin(admin);
    f.config().UserExitA = 1;
    f.config().RunOnTop = runOnTop;
    f.config().LogLevel = 3;
    f.config().StartDelay = 1;
    std::unique_ptr<Peer> peer = slave ? nullptr : std::make_unique<Peer>(f.master()->config);
    QVERIFY(f.load(commandLine));
    MonitorWindow &w = f.window();
    while (w.state().RunState != 1)
        QVERIFY(aboutSecond(f));
    QVERIFY(aboutSecond(f));
    QCOMPARE(lastEvent(f.log()), QStringLiteral("Run"));

    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.windowHandle(), Qt::Key_A, Qt::AltModifier); // the button shows its press, then clicks
    QTRY_VERIFY(w.aboutBox() && w.aboutBox()->isLoaded());
    frmAbout *about = w.aboutBox();
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), "About " + f.product());
    QCOMPARE(labelText(about, "ProgName") + '|' + labelText(about, "ProgVersion") + '|' + labelText(about, "TMessage"),
             f.product() + QStringLiteral("|Version %1.%2|").arg(kVersionMajor).arg(kVersionMinor));
    QCOMPARE(bool(about->windowFlags() & Qt::WindowStaysOnTopHint), runOnTop == 2);
    QVERIFY(w.state().DialogOpen);
    QCOMPARE(enabledControls(w), admin ? QStringLiteral("Update Exit | Update") : QStringLiteral("Update | Update"));

    const QString log = f.log();
    const int count = w.state().Count;
    const int pollsBefore = peer ? peer->polls : 0;
    QStringList labels;
    for (int second = 1; second <= seconds; ++second) {
        QVERIFY(aboutSecond(f));
        labels << labelText(about, "TMessage");
        QVERIFY(about->isLoaded());
    }
    QCOMPARE(labels.first(), QStringLiteral("About will close in %1 sec").arg(seconds));
    QCOMPARE(labels.last(), QStringLiteral("About will close in 1 sec"));
    QCOMPARE(w.state().AboutCountdown, 0);
    QCOMPARE(f.log(), log); // no "Run" line: the steps pause
    QCOMPARE(w.state().Count, count);
    if (peer) {
        QVERIFY(peer->polls >= pollsBefore + 2 * seconds); // the polls go on
        QCOMPARE(f.master()->window->Type1[1]->text(), QStringLiteral(" Connected"));
    }

    QVERIFY(aboutSecond(f)); // the cycle closes the box
    QVERIFY(!about->isLoaded() && !about->isVisible() && !w.state().DialogOpen);
    QCOMPARE(enabledControls(w), admin ? kAllControls : kUserControls);
    QVERIFY(aboutSecond(f));
    QCOMPARE(lastEvent(f.log()), QStringLiteral("Run"));

    // Opened again from the popup menu, it loads anew.
    w.mPopUpAbout->trigger();
    QVERIFY(about->isLoaded() && labelText(about, "TMessage").isEmpty());
    QCOMPARE(w.state().AboutCountdown, seconds);
}

void WindowsAboutTest::closingGivesTheControlsBack_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("userExit");
    QTest::addColumn<bool>("byTitleBar");
    QTest::addColumn<QString>("after");
    for (bool slave : {false, true}) {
        const char *p = programName(slave);
        QTest::addRow("%s, administrator, Exit", p) << slave << true << 1 << false << kAllControls;
        QTest::addRow("%s, user with UserExitA 2, title bar", p) << slave << false << 2 << true << kAllControls;
        QTest::addRow("%s, user with UserExitA 1, Exit", p) << slave << false << 1 << false << kUserControls;
        QTest::addRow("%s, user with UserExitA 1, title bar", p) << slave << false << 1 << true << kUserControls;
    }
}

// Closed by hand before its time, the box gives the controls back by the rights and
// the cycle runs its state steps again at once.
void WindowsAboutTest::closingGivesTheControlsBack()
{
    QFETCH(bool, slave);
    QFETCH(bool, admin);
    QFETCH(int, userExit);
    QFETCH(bool, byTitleBar);
    ProgramFixture f(slave);
    f.setAdmin(admin);
    f.config().UserExitA = userExit;
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    QTest::mouseClick(w.controls().About, Qt::LeftButton);
    frmAbout *about = w.aboutBox();
    QVERIFY(w.state().DialogOpen);
    const int count = w.state().Count;
    QVERIFY(f.second());
    QCOMPARE(w.state().Count, count); // paused

    if (byTitleBar)
        QVERIFY(about->close());
    else
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("ExitAbout")), Qt::LeftButton);
    QVERIFY(!about->isLoaded() && !about->isVisible() && !w.state().DialogOpen);
    QTEST(enabledControls(w), "after");
    QVERIFY(f.second());
    QCOMPARE(w.state().Count, count - 1); // running again
}

// A countdown left at 0 by a box closed earlier closes no configuration screen, clears
// no DialogOpen and gives no controls back; the screen closes at its own time.
void WindowsAboutTest::staleCountdownClosesNoOtherDialog()
{
    QFETCH(bool, slave);
    ProgramFixture f(slave);
    f.setAdmin(false);
    f.config().UserExitA = 1;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    MonitorWindow &w = f.window();
    w.About_Click();
    frmAbout *about = w.aboutBox();
    for (int i = 0; i < 4; ++i)
        about->Timer1_Timer();
    QCOMPARE(w.state().AboutCountdown, 0);
    about->ExitAbout_Click(); // before the cycle's second: the countdown stays at 0
    QCOMPARE(enabledControls(w), kUserControls);

    w.Config_Click();
    ConfigScreen *screen = w.configScreen();
    QVERIFY(screen);
    screen->Timer1->stop(); // the test keeps the screen's countdown where it is
    QVERIFY(w.state().ConfigCountdown > 0);
    const QString disabled = enabledControls(w);
    const int count = w.state().Count;
    QVERIFY(f.second() && f.second());
    QCOMPARE(w.configScreen(), screen);
    QVERIFY(w.state().DialogOpen && !about->isLoaded());
    QCOMPARE(enabledControls(w), disabled);
    QCOMPARE(w.state().Count, count);

    w.state().ConfigCountdown = 0;
    QVERIFY(f.second());
    QVERIFY(!w.configScreen() && !w.state().DialogOpen);
    QCOMPARE(enabledControls(w), kUserControls);
}

// Both dialogs open (a re-arming gave Configure back meanwhile): the screen's closing
// does not let the cycle run while the About box stays open.
void WindowsAboutTest::bothDialogsOpen()
{
    QFETCH(bool, slave);
    ProgramFixture f(slave);
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    MonitorWindow &w = f.window();
    w.About_Click();
    w.Config_Click();
    ConfigScreen *screen = w.configScreen();
    // The timers that pace the run and close the dialogs keep to the millisecond: a
    // coarse one may move each time-out by 5% of its interval.
    for (const QTimer *timer : {w.tmrRefresh, w.aboutBox()->Timer1, screen->Timer1, screen->Timer2})
        QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    screen->Timer1->stop();
    const int count = w.state().Count;
    screen->close();
    QVERIFY(!w.configScreen() && w.aboutBox()->isLoaded());
    QVERIFY(f.second());
    QVERIFY(w.state().DialogOpen);
    QCOMPARE(w.state().Count, count);
    w.aboutBox()->ExitAbout_Click();
    QVERIFY(!w.state().DialogOpen);
    QVERIFY(f.second());
    QCOMPARE(w.state().Count, count - 1);
}

// Exit while the box is open: the "Exit" line, then the box is unloaded, then the tray
// icon goes and the program ends.
void WindowsAboutTest::mainWindowEndUnloadsTheBox()
{
    QFETCH(bool, slave);
    ProgramFixture f(slave);
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    w.About_Click();
    QVERIFY(!f.runs([&] { w.Exit_Click(); }));
    QVERIFY(!w.aboutBox()->isLoaded() && !w.aboutBox()->isVisible() && !w.state().DialogOpen);
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray().isShown());
    QCOMPARE(f.end().endCount(), 1);
}

void WindowsAboutTest::webPages_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<QString>("click");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("address");
    const QString root = QLatin1String(kWebRoot);
    for (bool slave : {false, true}) {
        const char *p = programName(slave);
        QTest::addRow("%s, logo", p) << slave << "Logo" << true << QString() << root;
        QTest::addRow("%s, web site in the About box", p) << slave << "WebSite" << true << QString() << root;
        QTest::addRow("%s, logo, no browser", p) << slave << "Logo" << false << QString() << root;
        QTest::addRow("%s, web site, no browser", p) << slave << "WebSite" << false << QString() << root;
    }
    QTest::newRow("page with blanks") << false << "" << true << "Known Issues.htm" << root + "Known%20Issues.htm";
    QTest::newRow("page cannot change the host") << false << "" << true << "@evil.example/x" << root + "@evil.example/x";
}

// The logo and the web address open the maker's home page through the desktop; a
// failing opener is reported in the program's error box.
void WindowsAboutTest::webPages()
{
    QFETCH(bool, slave);
    QFETCH(QString, click);
    QFETCH(bool, opens);
    QFETCH(QString, page);
    QFETCH(QString, address);
    ProgramFixture f(slave);
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    f.desktop().setResult(opens);
    if (click == QLatin1String("Logo")) {
        QTest::mouseClick(w.controls().Logo, Qt::LeftButton);
    } else if (click == QLatin1String("WebSite")) {
        w.About_Click();
        auto *label = w.aboutBox()->findChild<QLabel *>(QStringLiteral("WebSite"));
        QCOMPARE(label->text(), QLatin1String(kWebRoot));
        QTest::mouseClick(label, Qt::LeftButton);
    } else {
        mdMisc::OpenWebPage(w, page);
    }
    QCOMPARE(f.desktop().opened(), QStringList{address});
    QStringList boxes;
    for (const BoxRequest &b : f.boxes().shown())
        boxes << b.title + '|' + b.text;
    QCOMPARE(boxes, opens ? QStringList() : QStringList{f.product() + " Error|Unable to launch Browser."});
    QVERIFY(QUrl(address).host() == QUrl(QLatin1String(kWebRoot)).host());
}

// The start-up error window runs before the program's services exist; its logo opens
// the home page all the same, with the program's own error box.
void WindowsAboutTest::startUpErrorWindowLogo()
{
    ScriptedMessageBoxService boxes;
    RecordingDesktopService desktop;
    desktop.setResult(false);
    MultiInst window(MultiInst::Program::Slave);
    window.setLogoAction([&] { mdMisc::OpenWebPage(boxes, desktop, QStringLiteral("Tolvex Slave"), QString()); });
    QTest::mouseClick(window.findChild<QLabel *>(QStringLiteral("Logo")), Qt::LeftButton);
    QCOMPARE(desktop.opened(), QStringList{QLatin1String(kWebRoot)});
    QCOMPARE(boxes.shown().size(), size_t(1));
    QCOMPARE(boxes.shown().front().title, QStringLiteral("Tolvex Slave Error"));
}

void WindowsAboutTest::timedBoxSeconds()
{
    ProgramFixture f(false);
    QVERIFY(f.load());
    for (int seconds : {0, 3, 600})
        mdMisc::TimedMsgBox(f.window(), QStringLiteral("Test Power Off"), seconds, BoxButtons::Ok, QStringLiteral("Tolvex Test"));
    QList<int> timeouts;
    for (const BoxRequest &b : f.boxes().shown())
        timeouts << b.timeoutSeconds;
    QCOMPARE(timeouts, (QList<int>{5, 3, 600}));
}

QTEST_MAIN(WindowsAboutTest)
#include "test_windows_about.moc"
