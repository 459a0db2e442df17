// The slave's Update button: the same check as the master's, in the slave's words,
// and never by a schedule.
#include "HttpTestServer.h"
#include "SlaveFixture.h"
#include "UpdateWindowHost.h"
#include "ui_TolvexSMain.h"
#include "ui_frmUpdater.h"
#include <QAction>
#include <QPushButton>
#include <QtTest>

using namespace tolvex;
using namespace tolvex::test;

class SlaveUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void updateButton_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("button") << false;
        QTest::newRow("menu item") << true;
    }
    void updateButton()
    {
        QFETCH(bool, menu);
        HttpTestServer server;
        server.setReply({200, updateDocument("1", "0"), false, true});
        SlaveFixture f;
        QVERIFY(f.load());
        TolvexSMain &m = *f.window;
        m.updates->webRoot = server.root();
        m.show();
        if (menu)
            m.mPopUpUpdate->trigger();
        else
            QTest::mouseClick(m.ui->Update, Qt::LeftButton);
        QPointer<frmUpdater> w = m.updates->window();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tolvex Slave Update Check"));
        QCOMPARE(w->ui->UVersion->text(), QStringLiteral("Tolvex Slave Version 1.0"));
        QVERIFY(m.st.UpdaterBusy && m.st.ManualCheck);
        QVERIFY(!m.ui->Update->isEnabled() && !m.mPopUpUpdate->isEnabled());
        QTRY_COMPARE(w->ui->Status->text(), QStringLiteral("You have the latest version of Tolvex Slave"));
        QVERIFY(server.requestLines()[0].startsWith(
            "GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=1.0.0.0&ampOSVer="));
        QTest::mouseClick(w->ui->Exit, Qt::LeftButton);
        QVERIFY(!m.st.UpdaterBusy);
        QVERIFY(m.ui->Update->isEnabled() && m.mPopUpUpdate->isEnabled());
        QTRY_VERIFY(w.isNull());
    }

    void noScheduleAndInhibit()
    {
        SlaveFixture f;
        QVERIFY(f.load("-ShortUpdateTime"));
        TolvexSMain &m = *f.window;
        m.updates->webRoot = HttpTestServer::refusingRoot();
        m.updates->windowOptions.manualTimer = true;
        QVERIFY(f.seconds(20));
        QVERIFY(!m.updates->window());
        m.Update_Click();
        QVERIFY(m.updates->window());
        m.Update_Inhibit(false);
        QVERIFY(!m.ui->Update->isEnabled());
        m.Update_Inhibit(true);
        QVERIFY(!m.updates->window());
        QVERIFY(!m.st.UpdaterBusy);
        QVERIFY(!m.ui->Update->isEnabled() && !m.mPopUpUpdate->isEnabled());
        m.Update_Inhibit(false);
        QVERIFY(m.ui->Update->isEnabled() && m.mPopUpUpdate->isEnabled());
    }
};

QTEST_MAIN(SlaveUpdateTest)
#include "test_slave_update.moc"
