// The update window against a real HTTP server on 127.0.0.1: its outcomes, its
// self-closing, its page buttons and the updater log.
#include "HttpTestServer.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "UpdateQuery.h"
#include "UpdaterLog.h"
#include "frmUpdater.h"
#include "ui_frmUpdater.h"
#include "urlGet.h"
#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;
using tolvex::test::HttpTestServer;

namespace {

// The program side of the window, recorded.
struct WindowHost : update::UpdaterHost {
    explicit WindowHost(const QString &title) : host(title) {}
    test::TestHost host;
    update::UpdaterSettings settings;
    QDateTime next;
    QStringList pages;
    int unloads = 0;

    ProgramHost &program() override { return host; }
    update::UpdaterSettings updaterSettings() const override { return settings; }
    void setNextUpdateCheck(const QDateTime &moment) override { next = moment; }
    void openWebPage(const QString &page) override { pages << page; }
    void updaterUnloaded() override { ++unloads; }
    QPixmap logo() const override { return QPixmap(); }
};

QString enabledButtons(const frmUpdater &w)
{
    QString s;
    for (auto [button, letter] : {std::pair{w.ui->Contact, 'C'}, {w.ui->WebSite, 'W'}, {w.ui->KIssues, 'K'},
                                  {w.ui->History, 'H'}, {w.ui->Download, 'D'}})
        if (button->isEnabled())
            s += QLatin1Char(letter);
    return s;
}

} // namespace

class TestUpdateWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<HttpTestServer> m_server;
    QString m_webRoot; // the server's, or one where nothing listens
    std::unique_ptr<WindowHost> m_host;
    QPointer<frmUpdater> m_window;
    bool m_countdown = false; // the program is in a countdown

    QString logPath() const { return m_dir.path() + QStringLiteral("/Log/"); }

    // Loads a window as the program does: shown when `manual`, else hidden. False when
    // the program ended.
    bool load(bool manual, int mode = 5, const QString &title = QStringLiteral("Tolvex"), QString folder = QString())
    {
        m_host = std::make_unique<WindowHost>(title);
        m_host->host.countdown = m_countdown;
        m_host->settings = {m_webRoot, folder.isNull() ? logPath() : folder, mode, manual,
                            title != QLatin1String("Tolvex")};
        frmUpdater::Options options;
        options.manualTimer = true;
        m_window = new frmUpdater(*m_host, nullptr, options);
        try {
            m_window->Form_Load();
        } catch (const ProgramEndedException &) {
            return false;
        }
        if (manual)
            m_window->show();
        return true;
    }
    // Two ticks start the download; then until it has ended one way or the other.
    bool runCheck()
    {
        m_window->Timer1_Timer();
        m_window->Timer1_Timer();
        return QTest::qWaitFor([this] { return !m_window || m_window->unloaded() || !m_window->urlGet1->Busy(); },
                               10000);
    }

private slots:
    void init()
    {
        test::quietOffscreenWindowWarnings();
        m_countdown = false;
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(logPath());
        m_server = std::make_unique<HttpTestServer>();
        m_webRoot = m_server->root();
    }
    void cleanup()
    {
        delete m_window.data();
        m_host.reset();
        m_server.reset();
    }

    void outcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("serve"); // how the server answers, when not plainly
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QString>("statusText");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<bool>("stays"); // loaded (and shown) after the outcome
        const QByteArray newer = test::updateDocument("1", "0");
        const QByteArray older = test::updateDocument("0", "8");
        QByteArray outOfOrder = test::updateDocument("1", "0");
        outOfOrder.replace("<Version1>1</Version1>", "</Version1>1<Version1>");
        const QString available = QStringLiteral("Version 1 of Tolvex is available ");
        const QString unable = QStringLiteral("Unable to contact web site");
        const QList<std::tuple<const char *, int, QByteArray, QString, QString, QString, bool>> rows{
            {"newer", 200, newer, "", available, "CWKHD", true},
            {"equal", 200, test::updateDocument("0", "9"), "", "You have the latest version of Tolvex", "CWKH",
             false},
            {"older", 200, older, "", "Unrecognised version of Tolvex", "C", false},
            {"error page", 404, "<html><body>Not Found</body></html>", "", "Error getting data - try again later",
             "", false},
            {"empty body", 200, "", "", "Error getting data - try again later", "", false},
            {"tags out of order", 200, outOfOrder, "", "Error getting data - try again later", "", false},
            {"connection refused", 200, "", "refused", unable, "", false},
            {"oversized", 200, QByteArray(urlGet::kMaxBytes + 1, ' ') + older, "", unable, "", false},
            // The server may move the document on its own host, nowhere else.
            {"redirect on the server", 200, newer, "redirect here", available, "CWKHD", true},
            {"redirect to another server", 200, newer, "redirect away", unable, "", false},
            {"redirect loop", 200, newer, "redirect loop", unable, "", false},
            {"endless headers", 200, "", "endless headers", unable, "", false},
        };
        for (const auto &[name, status, body, serve, text, buttons, newerFound] : rows) {
            QTest::addRow("%s, by hand", name) << status << body << serve << true << text << buttons << true;
            QTest::addRow("%s, scheduled", name) << status << body << serve << false << text << buttons << newerFound;
        }
    }
    // A check by hand keeps its window open with the result; a scheduled one shows
    // itself only for a newer version and otherwise closes unseen.
    void outcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, serve);
        QFETCH(bool, manual);
        QFETCH(bool, stays);
        HttpTestServer elsewhere;
        elsewhere.setReply({status, body});
        const QByteArray redirect = serve == "redirect here"    ? "/moved/updatecheck.xml"
            : serve == "redirect away"                           ? elsewhere.root().toLatin1() + "updatecheck.xml"
                                                                 : "/software/misc/updatecheck.xml";
        if (serve == "redirect loop")
            m_server->setReply({302, "moved", false, true, redirect});
        else if (serve.startsWith("redirect"))
            m_server->setReplies({{302, "moved", false, true, redirect}, {status, body}});
        else if (serve == "endless headers")
            m_server->setReply({200, {}, false, true, {}, {}, 0});
        else
            m_server->setReply({status, body});
        if (serve == "refused")
            m_webRoot = HttpTestServer::refusingRoot();
        QVERIFY(load(manual));
        test::ShowCounter spy;
        m_window->installEventFilter(&spy);
        QVERIFY(runCheck());
        const QString statusText = m_window->ui->Status->text();
        QTEST(statusText, "statusText");
        QTEST(enabledButtons(*m_window), "buttons");
        QCOMPARE(m_host->unloads, stays ? 0 : 1);
        QCOMPARE(m_window->isVisible(), stays);
        QCOMPARE(spy.shows, !manual && stays ? 1 : 0); // a scheduled window shows itself once
        QCOMPARE(elsewhere.connections(), 0);
    }

    // What the window says about itself, and the request it sends, in both programs.
    void textsAndRequest_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("version");
        QTest::addColumn<qint64>("nextInSeconds");
        QTest::newRow("master") << "Tolvex" << 0 << "1.0" << qint64(24 * 3600);
        QTest::newRow("master, short update time") << "Tolvex" << 5 << "0.9" << qint64(7);
        QTest::newRow("slave") << "Tolvex Slave" << 0 << "1.0" << qint64(24 * 3600);
    }
    void textsAndRequest()
    {
        QFETCH(QString, title);
        QFETCH(int, mode);
        QFETCH(QString, version);
        QFETCH(qint64, nextInSeconds);
        m_server->setReply({200, test::updateDocument("0", "1"), false, true});
        QVERIFY(load(true, mode, title));
        const frmUpdater &w = *m_window;
        QCOMPARE(w.windowTitle(), title + " Update Check");
        QCOMPARE(w.ui->Status->text(), QStringLiteral("Please Wait - Checking for the latest version"));
        QCOMPARE(w.ui->UVersion->text(), title + " Version " + version);
        QCOMPARE(enabledButtons(w), QString());
        QCOMPARE(QStringList({w.ui->Contact->toolTip(), w.ui->Exit->toolTip(), w.ui->WebSite->toolTip(),
                              w.ui->KIssues->toolTip(), w.ui->History->toolTip(), w.ui->Download->toolTip()}),
                 QStringList({"Contact Quillon", "Close " + title + " update check", title + " website",
                              title + " known issues", title + " change history",
                              "Download the latest version of " + title}));
        QCOMPARE(m_host->next, m_host->host.fakeClock.now().addSecs(nextInSeconds));
        // Nothing is asked before the second tick.
        m_window->Timer1_Timer();
        QTest::qWait(50);
        QVERIFY(m_server->requestLines().isEmpty());
        QVERIFY(runCheck());
        QCOMPARE(m_server->requestLines(),
                 QStringList{"GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=" + version
                             + ".0.0&ampOSVer=" + clsGetOSVer().getVersion() + " HTTP/1.1"});
    }

    // With no answer the window waits, and closes itself after 120 s (3 s with
    // "-ShortUpdateTime"); closed by hand or by the timer, it drops the download it
    // waited for, and it closes only once.
    void closes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("manual");
        QTest::addColumn<int>("lastTick");
        QTest::addColumn<QString>("by"); // the timer at lastTick, Exit or the title bar
        QTest::newRow("short update time") << 5 << true << 31 << "timer";
        QTest::newRow("by hand") << 0 << true << 1201 << "timer";
        QTest::newRow("scheduled") << 0 << false << 1201 << "timer";
        QTest::newRow("other switch") << 6 << true << 1201 << "timer";
        QTest::newRow("Exit") << 0 << true << 3 << "Exit";
        QTest::newRow("title bar") << 0 << true << 3 << "title bar";
    }
    void closes()
    {
        QFETCH(int, mode);
        QFETCH(bool, manual);
        QFETCH(int, lastTick);
        QFETCH(QString, by);
        m_server->setReply({200, QByteArray(), true, true});
        QVERIFY(load(manual, mode));
        m_window->Timer1_Timer();
        m_window->Timer1_Timer();
        QTRY_COMPARE(m_server->requestLines().size(), 1);
        for (int tick = 3; tick < lastTick; ++tick)
            m_window->Timer1_Timer();
        QCOMPARE(m_host->unloads, 0);
        QCOMPARE(m_window->ui->Status->text(), QStringLiteral("Please Wait - Checking for the latest version"));
        if (by == "Exit")
            QTest::mouseClick(m_window->ui->Exit, Qt::LeftButton);
        else if (by == "title bar")
            QVERIFY(m_window->close());
        else
            m_window->Timer1_Timer();
        QCOMPARE(m_host->unloads, 1);
        QVERIFY(m_window->unloaded() && !m_window->isVisible());
        QVERIFY(!m_window->urlGet1->Busy());
        QTRY_COMPARE(m_server->closedByClient(), 1);
        m_window->Timer1_Timer();
        m_window->Exit_Click();
        QCOMPARE(m_host->unloads, 1);
    }

    // Each page button opens its page from the reply; the logo opens the home page,
    // also while the check runs.
    void pages_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("historyParks");
        QTest::newRow("master") << "Tolvex" << true;
        QTest::newRow("slave") << "Tolvex Slave" << false;
    }
    void pages()
    {
        QFETCH(QString, title);
        QFETCH(bool, historyParks);
        m_server->setReply({200, test::updateDocument("1", "0"), false, true});
        QVERIFY(load(true, 5, title));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTest::mouseClick(m_window->ui->Logo, Qt::LeftButton);
        QCOMPARE(m_host->pages, QStringList{QString()});
        QVERIFY(runCheck());
        QCOMPARE(enabledButtons(*m_window), QStringLiteral("CWKHD"));
        m_host->pages.clear();
        const QList<std::pair<QPushButton *, QString>> buttons{{m_window->ui->Contact, "contact.html"},
                                                               {m_window->ui->Download, "download.html"},
                                                               {m_window->ui->KIssues, "issues.html"},
                                                               {m_window->ui->WebSite, "index.html"},
                                                               {m_window->ui->History, "history.html"}};
        for (const auto &[button, page] : buttons) {
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m_host->pages.last(), page);
            const bool parks = button != m_window->ui->History || historyParks;
            QCOMPARE(m_window->ui->Park->hasFocus(), parks);
        }
    }

    // The server's words stay plain text.
    void serverTextIsPlain()
    {
        QByteArray doc = test::updateDocument("1", "0", "<a href=\"x\">here</a>");
        doc.replace("<Name>Tolvex</Name>", "<Name><b>T</b></Name>");
        m_server->setReply({200, doc, false, true});
        QVERIFY(load(true));
        QVERIFY(runCheck());
        QCOMPARE(m_window->ui->Status->text(), QStringLiteral("Version 1 of <b>T</b> is available "));
        QVERIFY(m_window->ui->Message->toPlainText().endsWith("<a href=\"x\">here</a>"));
        QVERIFY(qobject_cast<QLineEdit *>(m_window->ui->Status));
        QVERIFY(qobject_cast<QPlainTextEdit *>(m_window->ui->Message));
    }

    // With "LogOn.txt" in the log folder each check writes its four entries after the
    // header, which only a new log gets; without it nothing is written.
    void updaterLog()
    {
        const QString log = logPath() + "Updater.log";
        m_server->setReply({200, test::updateDocument("1", "0"), false, true});
        QVERIFY(load(true));
        QVERIFY(runCheck());
        QVERIFY(!QFile::exists(log));

        QVERIFY(test::writeFile(logPath() + "LogOn.txt", ""));
        QString expected = update::updaterLogHeader(1, 0, m_host->host.fakeClock.now());
        for (int check = 0; check < 2; ++check) {
            delete m_window.data();
            QVERIFY(load(true));
            QVERIFY(runCheck());
            const frmUpdater &w = *m_window;
            for (const QString &entry : {update::requestEntry(m_host->host.fakeClock.now(), w.URL),
                                         update::programEntry(5, "Tolvex", "0.9", "0.0", w.OSVer),
                                         update::replyHeading(), update::replyPageEntry(w.Page),
                                         update::replyDataEntry(w.reply)})
                expected += entry + "\r\n";
        }
        QCOMPARE(QString::fromUtf8(test::readFile(log)), expected);
        QVERIFY(expected.startsWith("Updater\r\nVersion 1.0\r\nFile Created\r\n14-Mar-26 12:00:05\r\n\r\n\r\n"
                                    "14-Mar-26 12:00:05\r\nUpdate Check\r\n"));
    }

    // Whatever the server sends, the updater log holds no control character but its
    // own CR LF line ends: the server's are made visible, so that showing the log in a
    // terminal never lets the server drive it.
    void updaterLogShowsControls_data()
    {
        QTest::addColumn<QByteArray>("message"); // the Message element
        QTest::addColumn<QString>("shown");      // as the log shows it
        QTest::newRow("escape sequences") << QByteArray("\x1b]0;owned\x07\x1b[2J") << "\\x1b]0;owned\\x07\\x1b[2J";
        QTest::newRow("NUL and backspace") << QByteArray("a\0b\bc", 5) << "a\\x00b\\x08c";
        QTest::newRow("bare CR") << QByteArray("safe\rEVIL") << "safe\\x0dEVIL";
        QTest::newRow("tab") << QByteArray("a\tb") << "a\\x09b";
        QTest::newRow("line ends") << QByteArray("one\ntwo\r\nthree") << "one\r\ntwo\r\nthree";
        QTest::newRow("DEL and C1") << QByteArray("a\x7f b\xc2\x9b") << "a\\x7f b\\x9b";
        QTest::newRow("not UTF-8") << QByteArray("\x9b[31mred") << "\\x9b[31mred";
    }
    void updaterLogShowsControls()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, shown);
        QVERIFY(test::writeFile(logPath() + "LogOn.txt", ""));
        QByteArray doc = test::updateDocument("1", "0", "MESSAGE");
        doc.replace("MESSAGE", message);
        m_server->setReply({200, message + doc});
        QVERIFY(load(true));
        QVERIFY(runCheck());
        QCOMPARE(m_window->ui->Status->text(), QStringLiteral("Version 1 of Tolvex is available "));
        const QByteArray log = test::readFile(logPath() + "Updater.log");
        for (qsizetype i = 0; i < log.size(); ++i) {
            const uchar c = uchar(log[i]);
            const bool lineEnd = (c == '\r' && log.mid(i + 1, 1) == "\n") || (c == '\n' && i > 0 && log[i - 1] == '\r');
            if (c < 0x20 && !lineEnd)
                QFAIL(qPrintable(QStringLiteral("byte 0x%1 at %2").arg(c, 2, 16, QLatin1Char('0')).arg(i)));
        }
        const QString text = QString::fromUtf8(log);
        QVERIFY(text.contains("Web Page xml\r\n------------\r\n" + shown + "<?xml"));
        QVERIFY(text.contains("Message      :  " + shown + "\r\n"));
    }

    // The updater needs its log folder, wherever the configuration puts it; a log
    // that cannot be kept ends the program with its box, except in a countdown, which
    // must reach its power action: the entry is then left out.
    void logFailures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<QString>("box"); // empty: the program goes on
        QTest::newRow("log folder elsewhere") << "elsewhere" << false << "";
        QTest::newRow("log folder missing") << "no folder" << false << "Tolvex Log Directory Error";
        QTest::newRow("log cannot be created") << "folder in the way" << false << "Updater Log File Error";
        QTest::newRow("log removed while on") << "removed" << false << "Tolvex Log File Error";
        QTest::newRow("disk full") << "full" << false << "Updater Log File Write Error";
        QTest::newRow("log folder missing, countdown") << "no folder" << true << "";
        QTest::newRow("log cannot be created, countdown") << "folder in the way" << true << "";
        QTest::newRow("log removed while on, countdown") << "removed" << true << "";
        QTest::newRow("disk full, countdown") << "full" << true << "";
    }
    void logFailures()
    {
        QFETCH(QString, setup);
        QFETCH(bool, countdown);
        QFETCH(QString, box);
        m_countdown = countdown;
        QTemporaryDir elsewhere;
        if (setup == "elsewhere") {
            QDir(m_dir.path()).removeRecursively();  // no "log" folder anywhere near
            QVERIFY(test::writeFile(elsewhere.path() + "/LogOn.txt", ""));
        } else if (setup == "no folder") {
            QDir(logPath()).removeRecursively();
        } else {
            QVERIFY(test::writeFile(logPath() + "LogOn.txt", ""));
            if (setup == "folder in the way")
                QDir().mkpath(logPath() + "Updater.log");
        }
        m_server->setReply({200, test::updateDocument("1", "0"), false, true});
        const bool loaded = load(true, 5, "Tolvex", setup == "elsewhere" ? elsewhere.path() + "/" : QString());
        if (setup == "removed" || setup == "full") {
            QVERIFY(loaded);
            const QByteArray before = test::readFile(logPath() + "Updater.log");
            if (setup == "removed")
                QVERIFY(QFile::remove(logPath() + "Updater.log"));
            test::FileSizeLimit full(before.size()); // the disk is full from here on
            QCOMPARE(test::TestHost::ends([this] { m_window->WriteLogLine("entry"); }), !countdown);
            full.lift();
            if (setup == "full")
                QCOMPARE(test::readFile(logPath() + "Updater.log"), before);
        } else if (setup == "elsewhere" || countdown) {
            QVERIFY(loaded);
            QVERIFY(runCheck());
            QCOMPARE(m_window->ui->Status->text(), QStringLiteral("Version 1 of Tolvex is available "));
            if (!countdown)
                QVERIFY(test::readFile(elsewhere.path() + "/Updater.log").contains("Error Count  :  0"));
        } else {
            QVERIFY(!loaded);
        }
        QCOMPARE(m_host->host.lastBox().title, box);
        if (!box.isEmpty()) {
            QVERIFY(m_host->host.trayRemoved());
            QVERIFY(m_host->host.lastBox().text.endsWith("The program will now terminate."));
        }
    }
};

QTEST_MAIN(TestUpdateWindow)
#include "test_update_window.moc"
