// The master's About box and the cycle's dialog step: opening, the countdown, the
// pause of the state steps while the link goes on, closing, the controls given back,
// and the maker's web pages.
#include "ConfigScreen.h"
#include "MasterFixture.h"
#include "MultiInst.h"
#include "TolvexVersion.h"
#include "frmAbout.h"
#include "mdMisc.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTimer>
#include <QUdpSocket>

using namespace tolvex;
using namespace tolvex::test;

namespace {

QString text(const QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QLatin1String(name))->text();
}

// Which of the main window's dialog controls are enabled, as "About Config Reset TestS |
// menu items", so that one comparison shows them all.
QString enabledControls(const TolvexMMain &m)
{
    QStringList on;
    for (const QWidget *w : {static_cast<const QWidget *>(m.ui->About), static_cast<const QWidget *>(m.ui->Config),
                             static_cast<const QWidget *>(m.ui->Reset), static_cast<const QWidget *>(m.ui->TestS),
                             static_cast<const QWidget *>(m.ui->Update), static_cast<const QWidget *>(m.ui->Exit)}) {
        if (w->isEnabled())
            on << w->objectName();
    }
    on << QStringLiteral("|");
    for (const QAction *a : {m.mPopUpAbout, m.mPopUpConfig, m.mPopUpReset, m.mPopUpTest, m.mPopUpUpdate}) {
        if (a->isEnabled())
            on << a->objectName().mid(6);
    }
    return on.join(QLatin1Char(' '));
}

// A slave stand-in on 127.0.0.1 that answers every poll, and a master watching it.
struct Watched : MasterFixture {
    QUdpSocket slave;
    int polls = 0;

    Watched()
    {
        slave.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress);
        QUdpSocket probe;
        probe.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress);
        config.DName = 2;
        config.IPAdd[1] = QStringLiteral("127.0.0.1");
        config.Port1 = slave.localPort();
        config.Port2 = probe.localPort();
        config.StartDelay = 1;
        config.LogLevel = 3;
        QObject::connect(&slave, &QUdpSocket::readyRead, [this] {
            while (slave.hasPendingDatagrams()) {
                const QNetworkDatagram d = slave.receiveDatagram();
                ++polls;
                slave.writeDatagram(QByteArray("<LOP100>"), d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
    // One second of the cycle with time for the datagrams, then the About box's own
    // second.
    bool networkSecond()
    {
        return runs([this] {
            window->tmrRefresh_Timer();
            QTest::qWait(30);
            clock.advanceSeconds(1);
            window->tmrRefresh_Timer();
            QTest::qWait(30);
            if (frmAbout *about = window->aboutBox(); about && about->isLoaded())
                about->Timer1_Timer();
        });
    }
};

} // namespace

class MasterAboutTest : public QObject {
    Q_OBJECT
private slots:
    void opensCountsDownAndClosesThroughTheCycle_data();
    void opensCountsDownAndClosesThroughTheCycle();
    void closingGivesTheControlsBack_data();
    void closingGivesTheControlsBack();
    void staleCountdownClosesNoOtherDialog();
    void bothDialogsOpen();
    void mainWindowEndUnloadsTheBox();
    void webPages_data();
    void webPages();
    void startUpErrorWindowLogo();
    void timedBoxSeconds();
};

void MasterAboutTest::opensCountsDownAndClosesThroughTheCycle_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("runOnTop");
    QTest::addColumn<int>("seconds");
    QTest::newRow("-InhibitShutdown, topmost") << QStringLiteral("-InhibitShutdown") << 2 << 4;
    QTest::newRow("no switch, not topmost") << QString() << 1 << 60;
}

// Alt+A opens the box; its label counts down from the start value to 1; the cycle
// closes it in the next second. Meanwhile no state step runs, but the slave is polled
// and shown connected.
void MasterAboutTest::opensCountsDownAndClosesThroughTheCycle()
{
    QFETCH(QString, commandLine);
    QFETCH(int, runOnTop);
    QFETCH(int, seconds);
    Watched f;
    f.config.RunOnTop = runOnTop;
    QVERIFY(f.load(commandLine));
    TolvexMMain &m = *f.window;
    while (m.st.RunState != 1)
        QVERIFY(f.networkSecond());
    QVERIFY(f.networkSecond());
    QVERIFY(f.log().endsWith(QStringLiteral(",  Run      ,           , Count:    0, Comms: 2, 0, 0, 0\r\n")));

    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(m.windowHandle(), Qt::Key_A, Qt::AltModifier); // the button shows its press, then clicks
    QTRY_VERIFY(m.aboutBox() && m.aboutBox()->isLoaded());
    frmAbout *about = m.aboutBox();
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Tolvex"));
    QCOMPARE(text(about, "ProgName") + '|' + text(about, "ProgVersion") + '|' + text(about, "TMessage"),
             QStringLiteral("Tolvex|Version %1.%2|").arg(kVersionMajor).arg(kVersionMinor));
    QCOMPARE(bool(about->windowFlags() & Qt::WindowStaysOnTopHint), runOnTop == 2);
    QVERIFY(m.st.DialogOpen);
    QCOMPARE(enabledControls(m), QStringLiteral("Update Exit | Update"));

    const int linesBefore = int(f.log().count(QStringLiteral("\r\n")));
    const int pollsBefore = f.polls;
    QStringList labels;
    for (int second = 1; second <= seconds; ++second) {
        QVERIFY(f.networkSecond());
        labels << text(about, "TMessage");
        QVERIFY(about->isLoaded());
    }
    QCOMPARE(labels.first(), QStringLiteral("About will close in %1 sec").arg(seconds));
    QCOMPARE(labels.last(), QStringLiteral("About will close in 1 sec"));
    QCOMPARE(m.st.AboutCountdown, 0);
    QCOMPARE(int(f.log().count(QStringLiteral("\r\n"))), linesBefore); // no "Run" line: the steps pause
    QVERIFY(f.polls >= pollsBefore + 2 * seconds);                       // the polls go on
    QCOMPARE(m.Type1[1]->text(), QStringLiteral(" Connected"));

    QVERIFY(f.networkSecond()); // the cycle closes the box
    QVERIFY(!about->isLoaded() && !about->isVisible() && !m.st.DialogOpen);
    QCOMPARE(enabledControls(m), QStringLiteral("About Config Reset TestS Update Exit | About Config Reset Test Update"));
    QVERIFY(f.networkSecond());
    QVERIFY(f.log().endsWith(QStringLiteral(",  Run      ,           , Count:    0, Comms: 2, 0, 0, 0\r\n")));

    // Opened again from the popup menu, it loads anew.
    m.mPopUpAbout->trigger();
    QVERIFY(about->isLoaded() && text(about, "TMessage").isEmpty());
    QCOMPARE(m.st.AboutCountdown, seconds);
}

void MasterAboutTest::closingGivesTheControlsBack_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("userExit");
    QTest::addColumn<bool>("byTitleBar");
    QTest::addColumn<QString>("after");
    const QString all = QStringLiteral("About Config Reset TestS Update Exit | About Config Reset Test Update");
    QTest::newRow("administrator, Exit") << true << 1 << false << all;
    QTest::newRow("user with UserExitA 2, title bar") << false << 2 << true << all;
    QTest::newRow("user with UserExitA 1, Exit") << false << 1 << false << QStringLiteral("About Reset Update | About Reset Update");
    QTest::newRow("user with UserExitA 1, title bar") << false << 1 << true << QStringLiteral("About Reset Update | About Reset Update");
}

// Closed by hand before its time, the box gives the controls back by the rights and
// the cycle runs its state steps again at once.
void MasterAboutTest::closingGivesTheControlsBack()
{
    QFETCH(bool, admin);
    QFETCH(int, userExit);
    QFETCH(bool, byTitleBar);
    MasterFixture f;
    f.admin = admin;
    f.config.UserExitA = userExit;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QTest::mouseClick(m.ui->About, Qt::LeftButton);
    frmAbout *about = m.aboutBox();
    QVERIFY(m.st.DialogOpen);
    const int count = m.st.Count;
    QVERIFY(f.second());
    QCOMPARE(m.st.Count, count); // paused

    if (byTitleBar)
        QVERIFY(about->close());
    else
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("ExitAbout")), Qt::LeftButton);
    QVERIFY(!about->isLoaded() && !about->isVisible() && !m.st.DialogOpen);
    QTEST(enabledControls(m), "after");
    QVERIFY(f.second());
    QCOMPARE(m.st.Count, count - 1); // running again
}

// A countdown left at 0 by a box closed earlier closes no configuration screen, clears
// no DialogOpen and gives no controls back; the screen closes at its own time.
void MasterAboutTest::staleCountdownClosesNoOtherDialog()
{
    MasterFixture f;
    f.admin = false;
    f.config.UserExitA = 1;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    m.About_Click();
    frmAbout *about = m.aboutBox();
    for (int i = 0; i < 4; ++i)
        about->Timer1_Timer();
    QCOMPARE(m.st.AboutCountdown, 0);
    about->ExitAbout_Click(); // before the cycle's second: the countdown stays at 0

    m.Config_Click();
    ConfigScreen *screen = m.configScreen();
    QVERIFY(screen);
    screen->Timer1->stop(); // the test keeps the screen's countdown where it is
    QVERIFY(m.st.ConfigCountdown > 0);
    const QString disabled = enabledControls(m);
    const int count = m.st.Count;
    QVERIFY(f.second() && f.second());
    QCOMPARE(m.configScreen(), screen);
    QVERIFY(m.st.DialogOpen && !about->isLoaded());
    QCOMPARE(enabledControls(m), disabled);
    QCOMPARE(m.st.Count, count);

    m.st.ConfigCountdown = 0;
    QVERIFY(f.second());
    QVERIFY(!m.configScreen() && !m.st.DialogOpen);
    QCOMPARE(enabledControls(m), QStringLiteral("About Reset Update | About Reset Update"));
}

// Both dialogs open (a re-arming gave Configure back meanwhile): the screen's closing
// does not let the cycle run while the About box stays open.
void MasterAboutTest::bothDialogsOpen()
{
    MasterFixture f;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    m.About_Click();
    m.Config_Click();
    ConfigScreen *screen = m.configScreen();
    screen->Timer1->stop();
    const int count = m.st.Count;
    screen->close();
    QVERIFY(!m.configScreen() && m.aboutBox()->isLoaded());
    QVERIFY(f.second());
    QVERIFY(m.st.DialogOpen);
    QCOMPARE(m.st.Count, count);
    m.aboutBox()->ExitAbout_Click();
    QVERIFY(!m.st.DialogOpen);
    QVERIFY(f.second());
    QCOMPARE(m.st.Count, count - 1);
}

// Exit while the box is open: the "Exit" line, then the box is unloaded, then the tray
// icon goes and the program ends.
void MasterAboutTest::mainWindowEndUnloadsTheBox()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    m.About_Click();
    QVERIFY(!f.runs([&] { m.Exit_Click(); }));
    QVERIFY(!m.aboutBox()->isLoaded() && !m.aboutBox()->isVisible() && !m.st.DialogOpen);
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray.isShown());
    QCOMPARE(f.end.endCount(), 1);
}

void MasterAboutTest::webPages_data()
{
    QTest::addColumn<QString>("click");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("box");
    const QString root = QLatin1String(kWebRoot);
    QTest::newRow("logo") << "Logo" << true << QString() << root << QString();
    QTest::newRow("web site in the About box") << "WebSite" << true << QString() << root << QString();
    QTest::newRow("logo, no browser") << "Logo" << false << QString() << root << "Tolvex Error|Unable to launch Browser.";
    QTest::newRow("web site, no browser") << "WebSite" << false << QString() << root
                                          << "Tolvex Error|Unable to launch Browser.";
    QTest::newRow("page with blanks") << "" << true << "Known Issues.htm" << root + "Known%20Issues.htm" << QString();
    QTest::newRow("page cannot change the host") << "" << true << "@evil.example/x" << root + "@evil.example/x" << QString();
}

// The logo and the web address open the maker's home page through the desktop; a
// failing opener is reported in the program's error box.
void MasterAboutTest::webPages()
{
    QFETCH(QString, click);
    QFETCH(bool, opens);
    QFETCH(QString, page);
    QFETCH(QString, address);
    QFETCH(QString, box);
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    f.desktop.setResult(opens);
    if (click == QLatin1String("Logo")) {
        QTest::mouseClick(m.ui->Logo, Qt::LeftButton);
    } else if (click == QLatin1String("WebSite")) {
        m.About_Click();
        auto *label = m.aboutBox()->findChild<QLabel *>(QStringLiteral("WebSite"));
        QCOMPARE(label->text(), QLatin1String(kWebRoot));
        QTest::mouseClick(label, Qt::LeftButton);
    } else {
        mdMisc::OpenWebPage(m, page);
    }
    QCOMPARE(f.desktop.opened(), QStringList{address});
    QStringList boxes;
    for (const BoxRequest &b : f.boxes.shown())
        boxes << b.title + '|' + b.text;
    QCOMPARE(boxes.join(QLatin1Char('/')), box);
    QVERIFY(QUrl(address).host() == QUrl(QLatin1String(kWebRoot)).host());
}

// The start-up error window runs before the program's services exist; its logo opens
// the home page all the same, with the program's own error box.
void MasterAboutTest::startUpErrorWindowLogo()
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

void MasterAboutTest::timedBoxSeconds()
{
    MasterFixture f;
    QVERIFY(f.load());
    for (int seconds : {0, 3, 600})
        mdMisc::TimedMsgBox(*f.window, QStringLiteral("Test Power Off"), seconds, BoxButtons::Ok, QStringLiteral("Tolvex Test"));
    QList<int> timeouts;
    for (const BoxRequest &b : f.boxes.shown())
        timeouts << b.timeoutSeconds;
    QCOMPARE(timeouts, (QList<int>{5, 3, 600}));
}

QTEST_MAIN(MasterAboutTest)
#include "test_master_about.moc"
