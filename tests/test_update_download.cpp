// The download control against a real HTTP server on 127.0.0.1.
#include "HttpTestServer.h"
#include "urlGet.h"
#include <QAbstractSocket>
#include <QSignalSpy>
#include <QtTest>

using tolvex::test::HttpTestServer;

namespace {

QString documentUrl(const QString &root)
{
    return root + QStringLiteral("software/misc/updatecheck.xml?PName=Tolvex");
}

// Waits until the control is idle again (at most 10 s).
bool settles(const urlGet &get)
{
    return QTest::qWaitFor([&get] { return !get.Busy(); }, 10000);
}

} // namespace

class TestUpdateDownload : public QObject {
    Q_OBJECT
private slots:
    // Every kind of end: the events raised, the bytes kept, the busy state. A reply
    // that is not whole, not HTTP, or larger than the limits allow fails, and so does a
    // server that never finishes: its head or body is cut off at its limit, the whole
    // transfer at the time-out.
    void outcomes_data()
    {
        QTest::addColumn<HttpTestServer::Reply>("reply");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("timeoutMs");  // 0: the control's own
        QTest::addColumn<int>("failure");    // 1: completes with `expected`
        QTest::addColumn<QByteArray>("expected");
        const QByteArray doc = tolvex::test::updateDocument("1", "0");
        const auto raw = [](const QByteArray &bytes) { return HttpTestServer::Reply{200, {}, false, true, {}, bytes}; };
        const auto row = [](const char *name, const HttpTestServer::Reply &reply, int failure,
                            const QByteArray &expected = {}) {
            QTest::newRow(name) << reply << false << 0 << failure << expected;
        };
        row("document", {200, doc}, 1, doc);
        row("document, no length", {200, doc, false, false}, 1, doc);
        row("error page", {404, "<html>Not Found</html>"}, 1, "<html>Not Found</html>");
        row("server error", {500, "oops"}, 1, "oops");
        row("empty body", {200, {}}, 1, {});
        row("exactly the limit", {200, QByteArray(urlGet::kMaxBytes, 'x')}, 1, QByteArray(urlGet::kMaxBytes, 'x'));
        row("oversized", {200, QByteArray(urlGet::kMaxBytes + 1, 'x')}, urlGet::kTooLarge);
        row("oversized, no length", {200, QByteArray(3 * urlGet::kMaxBytes, 'x'), false, false}, urlGet::kTooLarge);
        QTest::newRow("connection refused") << HttpTestServer::Reply{} << true << 0
                                            << int(QAbstractSocket::ConnectionRefusedError) << QByteArray();
        row("chunks", raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;x=y\r\n world\r\n"
                          "0\r\nX-Trailer: 1\r\n\r\n"),
            1, "hello world");
        row("interim reply first", raw("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), 1,
            "ok");
        row("no content", raw("HTTP/1.1 204 No Content\r\n\r\n"), 1, {});
        row("nothing at all", raw(""), urlGet::kBadReply);
        row("not HTTP", raw("<Update><Version1>9</Version1></Update>\r\n"), urlGet::kBadReply);
        row("binary", raw(QByteArray("\0\xff\x1b[2J\n\n", 8)), urlGet::kBadReply);
        row("head cut short", raw("HTTP/1.1 200 OK\r\nContent-Le"), urlGet::kBadReply);
        row("body cut short", raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"), urlGet::kBadReply);
        row("lengths disagree", raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nok!"),
            urlGet::kBadReply);
        row("bad chunk", raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"), urlGet::kBadReply);
        row("chunk over the limit", raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\n"),
            urlGet::kTooLarge);
        row("overlong head line", raw("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(20000, 'a') + "\r\n\r\nok"),
            urlGet::kBadReply);
        row("endless headers", {200, {}, false, true, {}, {}, 0}, urlGet::kBadReply);
        QTest::newRow("endless headers, slowly") << HttpTestServer::Reply{200, {}, false, true, {}, {}, 20} << false
                                                 << 500 << urlGet::kTimedOut << QByteArray();
        QTest::newRow("never answered") << HttpTestServer::Reply{200, {}, true} << false << 500 << urlGet::kTimedOut
                                        << QByteArray();
    }
    void outcomes()
    {
        QFETCH(HttpTestServer::Reply, reply);
        QFETCH(bool, refused);
        QFETCH(int, timeoutMs);
        QFETCH(int, failure);
        QFETCH(QByteArray, expected);
        HttpTestServer server;
        server.setReply(reply);
        urlGet get;
        if (timeoutMs > 0)
            get.setTimeout(timeoutMs);
        QSignalSpy complete(&get, &urlGet::DownloadComplete);
        QSignalSpy failed(&get, &urlGet::DownloadFailed);
        QSignalSpy progress(&get, &urlGet::DownloadProgress);
        get.DownloadStart(documentUrl(refused ? HttpTestServer::refusingRoot() : server.root()), urlGet::kFreshCopy);
        QVERIFY(get.Busy());
        QCOMPARE(get.Duration(), 0);
        QVERIFY(settles(get));
        QTRY_COMPARE(complete.size() + failed.size(), 1);
        if (failure == 1) {
            QCOMPARE(complete.size(), 1);
            QCOMPARE(complete.at(0).at(0).toInt(), expected.size());
            QByteArray copy = get.Bytes(); // a copy: changing it changes nothing in the control
            copy.fill('z');
            QCOMPARE(get.Bytes(), expected);
            if (!expected.isEmpty())
                QCOMPARE(progress.last().at(0).toInt(), expected.size());
        } else {
            QCOMPARE(failed.size(), 1);
            QCOMPARE(failed.at(0).at(0).toInt(), failure);
            QVERIFY(get.Bytes().isEmpty());
        }
        QVERIFY(get.Duration() >= 0);
        // A server that never finishes has its connection closed, whatever it goes on sending.
        if (reply.endlessHeadMs >= 0 || reply.hold)
            QTRY_COMPARE(server.closedByClient(), 1);
    }

    // Redirects are followed only on the server first asked, at most five in a row;
    // any other ends the download as failed, and the other server is never contacted.
    // OWN and OTHER stand for the two servers' ports.
    void redirects_data()
    {
        QTest::addColumn<QList<QByteArray>>("locations"); // of the replies in turn
        QTest::addColumn<bool>("completes");             // with the document after the last location
        QTest::addColumn<QStringList>("paths");          // asked of the first server
        const QString doc = QStringLiteral("/software/misc/updatecheck.xml?PName=Tolvex");
        QTest::newRow("same server, path") << QList<QByteArray>{"/moved/u.xml"} << true
                                           << QStringList{doc, "/moved/u.xml"};
        QTest::newRow("same server, whole address") << QList<QByteArray>{"http://127.0.0.1:OWN/moved/u.xml?a=b#top"}
                                                    << true << QStringList{doc, "/moved/u.xml?a=b"};
        QTest::newRow("same server, relative") << QList<QByteArray>{"u2.xml"} << true
                                               << QStringList{doc, "/software/misc/u2.xml"};
        QTest::newRow("five in a row") << QList<QByteArray>{"/1", "/2", "/3", "/4", "/5"} << true
                                       << QStringList{doc, "/1", "/2", "/3", "/4", "/5"};
        QTest::newRow("six in a row") << QList<QByteArray>{"/1", "/2", "/3", "/4", "/5", "/6"} << false
                                      << QStringList{doc, "/1", "/2", "/3", "/4", "/5"};
        QTest::newRow("a loop") << QList<QByteArray>{"/software/misc/updatecheck.xml?PName=Tolvex"} << false
                                << QStringList{doc, doc, doc, doc, doc, doc};
        QTest::newRow("another port") << QList<QByteArray>{"http://127.0.0.1:OTHER/u.xml"} << false
                                      << QStringList{doc};
        QTest::newRow("another host") << QList<QByteArray>{"http://localhost:OWN/u.xml"} << false << QStringList{doc};
        QTest::newRow("another host, no scheme") << QList<QByteArray>{"//127.0.0.1:OTHER/u.xml"} << false
                                                 << QStringList{doc};
        QTest::newRow("another scheme") << QList<QByteArray>{"https://127.0.0.1:OWN/u.xml"} << false
                                        << QStringList{doc};
        QTest::newRow("https elsewhere") << QList<QByteArray>{"https://127.0.0.1:OTHER/u.xml"} << false
                                         << QStringList{doc};
        QTest::newRow("after one on the server") << QList<QByteArray>{"/1", "http://127.0.0.1:OTHER/u.xml"} << false
                                                 << QStringList{doc, "/1"};
    }
    void redirects()
    {
        QFETCH(QList<QByteArray>, locations);
        QFETCH(bool, completes);
        QFETCH(QStringList, paths);
        HttpTestServer server;
        HttpTestServer other;
        const QByteArray doc = tolvex::test::updateDocument("1", "0");
        other.setReply({200, doc});
        QList<HttpTestServer::Reply> replies;
        for (QByteArray location : locations) {
            location.replace("OWN", QByteArray::number(QUrl(server.root()).port()));
            location.replace("OTHER", QByteArray::number(QUrl(other.root()).port()));
            replies.append({302, "moved", false, true, location});
        }
        if (completes)
            replies.append({200, doc});
        server.setReplies(replies);
        urlGet get;
        QSignalSpy complete(&get, &urlGet::DownloadComplete);
        QSignalSpy failed(&get, &urlGet::DownloadFailed);
        get.DownloadStart(documentUrl(server.root()), urlGet::kFreshCopy);
        QVERIFY(settles(get));
        QTRY_COMPARE(complete.size() + failed.size(), 1);
        QCOMPARE(complete.size(), completes ? 1 : 0);
        if (completes)
            QCOMPARE(get.Bytes(), doc);
        else
            QCOMPARE(failed.at(0).at(0).toInt(), urlGet::kRedirectRefused);
        QStringList asked;
        for (const QString &line : server.requestLines())
            asked << line.section(' ', 1, 1);
        QCOMPARE(asked, paths);
        QTest::qWait(50);
        QCOMPARE(other.connections(), 0);
        QVERIFY(other.requestLines().isEmpty());
    }

    // The request asks for a fresh copy; the query goes out exactly as given.
    void requestAsSent()
    {
        HttpTestServer server;
        server.setReply({200, "x"});
        urlGet get;
        get.DownloadStart(server.root() + "software/misc/updatecheck.xml?PName=Tolvex&ampPVer=0.9.0.0&ampOSVer=4.6.1",
                          urlGet::kFreshCopy);
        QVERIFY(settles(get));
        QCOMPARE(server.requestLines(),
                 QStringList{"GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=0.9.0.0&ampOSVer=4.6.1 HTTP/1.1"});
        QVERIFY(server.requestHeads().at(0).toLower().contains("cache-control: no-cache"));
    }

    void emptyUrlDoesNothing()
    {
        urlGet get;
        QSignalSpy complete(&get, &urlGet::DownloadComplete);
        QSignalSpy failed(&get, &urlGet::DownloadFailed);
        get.DownloadStart(QString(), urlGet::kFreshCopy);
        QVERIFY(!get.Busy());
        QTest::qWait(50);
        QCOMPARE(complete.size() + failed.size(), 0);
    }

    // Dropping the running download (a cancel, a new start, or the end of the control
    // when its window closes) aborts it, and nothing of it is ever reported; a cancel
    // ends the busy state.
    void droppedDownload_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"cancel", "new start", "destroyed"})
            QTest::newRow(how) << how;
    }
    void droppedDownload()
    {
        QFETCH(QString, how);
        HttpTestServer held;
        held.setReply({200, "first", true, true});
        HttpTestServer answering;
        answering.setReply({200, "second", false, true});
        auto get = std::make_unique<urlGet>();
        QSignalSpy complete(get.get(), &urlGet::DownloadComplete);
        QSignalSpy failed(get.get(), &urlGet::DownloadFailed);
        get->DownloadStart(documentUrl(held.root()));
        QTRY_COMPARE(held.requestLines().size(), 1);
        if (how == "cancel")
            get->DownloadCancel();
        else if (how == "new start")
            get->DownloadStart(documentUrl(answering.root()));
        else
            get.reset();
        QTRY_COMPARE(held.closedByClient(), 1);
        held.release();
        if (get)
            QVERIFY(settles(*get));
        QTest::qWait(100);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(complete.size(), how == "new start" ? 1 : 0);
        if (how == "new start")
            QCOMPARE(get->Bytes(), QByteArray("second"));
    }
};

QTEST_GUILESS_MAIN(TestUpdateDownload)
#include "test_update_download.moc"
