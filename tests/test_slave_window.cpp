// The slave's window: its About box through the slave's cycle, the maker's web pages,
// the start minimised and the Close item of its tray menu.
#include "ConfigScreen.h"
#include "SlaveFixture.h"
#include "TolvexVersion.h"
#include "frmAbout.h"
#include "ui_TolvexSMain.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tolvex;
using namespace tolvex::test;

namespace {

QString text(const QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QLatin1String(name))->text();
}

QString enabledControls(const TolvexSMain &w)
{
    QStringList on;
    for (const QPushButton *b : {w.ui->About, w.ui->Config, w.ui->Reset, w.ui->TestS}) {
        if (b->isEnabled())
            on << b->objectName();
    }
    for (const QAction *a : {w.mPopUpAbout, w.mPopUpConfig, w.mPopUpReset, w.mPopUpTest}) {
        if (a->isEnabled())
            on << a->objectName().mid(6);
    }
    return on.join(QLatin1Char(' '));
}

} // namespace

class TestSlaveWindow : public QObject {
    Q_OBJECT
private slots:
    void aboutBox_data();
    void aboutBox();
    void staleCountdownRestoresNothing();
    void webPageFailure();
    void startMinimisedWithoutTray();
    void closeItemForUsersWhoMayNotExit();
};

void TestSlaveWindow::aboutBox_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("after");
    QTest::newRow("administrator") << true << QStringLiteral("About Config Reset TestS About Config Reset Test");
    QTest::newRow("user with UserExitA 1") << false << QStringLiteral("About Reset About Reset");
}

// "About Tolvex Slave" counts down from 4 under -InhibitShutdown and is closed by the
// slave's next second; the run does not move meanwhile.
void TestSlaveWindow::aboutBox()
{
    QFETCH(bool, admin);
    SlaveFixture fx;
    fx.admin = admin;
    fx.config.UserExitA = 1;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &w = *fx.window;
    QVERIFY(fx.reach(1));
    QTest::mouseClick(w.ui->About, Qt::LeftButton);
    frmAbout *about = w.aboutBox();
    QVERIFY(about && about->isLoaded() && about->isVisible() && w.st.DialogOpen);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Tolvex Slave"));
    QCOMPARE(text(about, "ProgName") + '|' + text(about, "ProgVersion"),
             QStringLiteral("Tolvex Slave|Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
    QCOMPARE(enabledControls(w), QString());

    const QString log = fx.log();
    QStringList labels;
    for (int second = 0; second < 4; ++second) {
        QVERIFY(fx.seconds());
        about->Timer1_Timer();
        labels << text(about, "TMessage").mid(20);
    }
    QCOMPARE(labels, (QStringList{"4 sec", "3 sec", "2 sec", "1 sec"}));
    QVERIFY(about->isLoaded());
    QCOMPARE(fx.log(), log); // no "Run" line while it is open
    QCOMPARE(w.st.Count, 0);
    QVERIFY(fx.seconds());
    QVERIFY(!about->isLoaded() && !about->isVisible() && !w.st.DialogOpen);
    QTEST(enabledControls(w), "after");
    QVERIFY(fx.seconds());
    QCOMPARE(w.st.Count, 1); // the run goes on: one more second without the master
}

// A countdown left at 0 by a box closed by hand: the next seconds close nothing and
// give nothing back while another dialog is open.
void TestSlaveWindow::staleCountdownRestoresNothing()
{
    SlaveFixture fx;
    fx.admin = false;
    fx.config.UserExitA = 1;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &w = *fx.window;
    w.About_Click();
    w.st.AboutCountdown = 0;
    w.aboutBox()->ExitAbout_Click();
    QCOMPARE(enabledControls(w), QStringLiteral("About Reset About Reset"));

    w.Config_Click();
    ConfigScreen *screen = w.configScreen();
    QVERIFY(screen);
    screen->Timer1->stop(); // the test keeps the screen's countdown where it is
    QVERIFY(fx.seconds(2));
    QVERIFY(w.configScreen() == screen && w.st.DialogOpen);
    QCOMPARE(enabledControls(w), QString());
    w.st.ConfigCountdown = 0;
    QVERIFY(fx.seconds());
    QVERIFY(!w.configScreen() && !w.st.DialogOpen);
    QCOMPARE(enabledControls(w), QStringLiteral("About Reset About Reset"));
}

void TestSlaveWindow::webPageFailure()
{
    SlaveFixture fx;
    QVERIFY(fx.load());
    TolvexSMain &w = *fx.window;
    fx.desktop.setResult(false);
    QTest::mouseClick(w.ui->Logo, Qt::LeftButton);
    w.About_Click();
    QTest::mouseClick(w.aboutBox()->findChild<QLabel *>(QStringLiteral("WebSite")), Qt::LeftButton);
    QCOMPARE(fx.desktop.opened(), QStringList(2, QLatin1String(kWebRoot)));
    QCOMPARE(fx.boxes.shown().size(), size_t(2));
    for (const BoxRequest &box : fx.boxes.shown())
        QCOMPARE(box.title + '|' + box.text, QStringLiteral("Tolvex Slave Error|Unable to launch Browser."));
}

// Without a notification area a slave started minimised is on the task bar.
void TestSlaveWindow::startMinimisedWithoutTray()
{
    SlaveFixture fx;
    fx.config.StartMin = 2;
    fx.tray.setAvailable(false);
    QVERIFY(fx.load());
    QVERIFY(fx.window->isVisible() && fx.window->isMinimised());
}

// The slave's Close item stays disabled for a user who may not exit, also when the
// master's reset re-arms a hidden slave.
void TestSlaveWindow::closeItemForUsersWhoMayNotExit()
{
    SlaveFixture fx;
    fx.admin = false;
    fx.config.UserExitA = 1;
    fx.config.StartMin = 2;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &w = *fx.window;
    QVERIFY(!w.isVisible());
    w.Reset_Click();
    w.mPopUpExit->setEnabled(true); // whatever enabled it, showing the menu takes it away
    fx.tray.simulateMouse(516);
    QVERIFY(w.MenuPopUp->isVisible());
    QVERIFY(!w.mPopUpExit->isEnabled());
    w.MenuPopUp->close();
}

QTEST_MAIN(TestSlaveWindow)
#include "test_slave_window.moc"
