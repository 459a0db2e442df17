// The download control against a real HTTP server on 127.0.0.1.
#include "HttpTestServer.h"
#include "urlGet.h"
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
    // Every kind of end: the events raised, the bytes kept, the busy state.
    void outcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("withLength");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("completes");
        const QByteArray doc = tolvex::test::updateDocument("1", "0");
        QTest::newRow("document") << 200 << doc << true << false << true;
        QTest::newRow("document, no length") << 200 << doc << false << false << true;
        QTest::newRow("error page") << 404 << QByteArray("<html>Not Found</html>") << true << false << true;
        QTest::newRow("server error") << 500 << QByteArray("oops") << true << false << true;
        QTest::newRow("empty body") << 200 << QByteArray() << true << false << true;
        QTest::newRow("exactly the limit") << 200 << QByteArray(urlGet::kMaxBytes, 'x') << true << false << true;
        QTest::newRow("oversized") << 200 << QByteArray(urlGet::kMaxBytes + 1, 'x') << true << false << false;
        QTest::newRow("oversized, no length") << 200 << QByteArray(3 * urlGet::kMaxBytes, 'x') << false << false
                                              << false;
        QTest::newRow("connection refused") << 200 << QByteArray() << true << true << false;
    }
    void outcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, withLength);
        QFETCH(bool, refused);
        QFETCH(bool, completes);
        HttpTestServer server;
        server.setReply({status, body, false, withLength});
        urlGet get;
        QSignalSpy complete(&get, &urlGet::DownloadComplete);
        QSignalSpy failed(&get, &urlGet::DownloadFailed);
        QSignalSpy progress(&get, &urlGet::DownloadProgress);
        get.DownloadStart(documentUrl(refused ? HttpTestServer::refusingRoot() : server.root()), urlGet::kFreshCopy);
        QVERIFY(get.Busy());
        QCOMPARE(get.Duration(), 0);
        QVERIFY(settles(get));
        QTRY_COMPARE(complete.size() + failed.size(), 1);
        QCOMPARE(complete.size(), completes ? 1 : 0);
        if (completes) {
            QCOMPARE(complete.at(0).at(0).toInt(), body.size());
            QByteArray copy = get.Bytes(); // a copy: changing it changes nothing in the control
            copy.fill('z');
            QCOMPARE(get.Bytes(), body);
            if (!body.isEmpty())
                QCOMPARE(progress.last().at(0).toInt(), body.size());
        } else {
            QVERIFY(get.Bytes().isEmpty());
            if (!refused)
                QCOMPARE(failed.at(0).at(0).toInt(), urlGet::kTooLarge);
        }
        QVERIFY(get.Duration() >= 0);
    }

    // The request asks for a fresh copy; the query goes out exactly as given.
    void requestAsSent()
    {
        HttpTestServer server;
        server.setReply({200, "x", false, true});
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
