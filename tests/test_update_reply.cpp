// The formats of the update check: the request, the reply scan, the version
// comparison, the operating-system version and the updater log's texts.
#include "UpdateQuery.h"
#include "UpdateReply.h"
#include "UpdaterLog.h"
#include "VersionCheck.h"
#include <QtTest>
#include <sys/utsname.h>

using namespace tolvex::update;

namespace {

const QString kAll = QStringLiteral(
    "<Contact>c.html</Contact><Name>Tolvex</Name><Version1>3</Version1><Version2>4</Version2>"
    "<Download>d.html</Download><History>h.html</History><KIssues>k.html</KIssues><Index>i.html</Index>"
    "<Message>Hello</Message><Uninstall>No</Uninstall>");

QStringList fields(const UpdateReply &r)
{
    return {r.Contact, r.Name, r.Version1, r.Version2, r.Download, r.History, r.KIssues, r.Index, r.Message, r.Uninstall};
}

UpdateReply reply(const QString &v1, const QString &v2)
{
    UpdateReply r = scanReply(kAll);
    r.Version1 = v1;
    r.Version2 = v2;
    return r;
}

// The enabled page buttons as letters: C(ontact) W(ebSite) K(Issues) H(istory) D(ownload).
QString buttons(const VersionVerdict &v)
{
    QString s;
    for (auto [on, letter] : {std::pair{v.Contact, 'C'}, {v.WebSite, 'W'}, {v.KIssues, 'K'}, {v.History, 'H'},
                              {v.Download, 'D'}})
        if (on)
            s += QLatin1Char(letter);
    return s;
}

} // namespace

class TestUpdateReply : public QObject {
    Q_OBJECT
private slots:
    void request_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("os");
        QTest::addColumn<QString>("url");
        const QString doc = QStringLiteral("software/misc/updatecheck.xml");
        QTest::newRow("own version") << "http://www.example.test/" << 1 << 0 << 0 << "4.6.1"
                                     << "http://www.example.test/" + doc + "?PName=Tolvex&ampPVer=1.0.0.0&ampOSVer=4.6.1";
        QTest::newRow("short update time") << "http://127.0.0.1:8080/" << 1 << 0 << 5 << "4.5.15"
                                           << "http://127.0.0.1:8080/" + doc + "?PName=Tolvex&ampPVer=0.9.0.0&ampOSVer=4.5.15";
        QTest::newRow("other switch") << "https://x.test/a/" << 1 << 0 << 6 << "0.0.0"
                                      << "https://x.test/a/" + doc + "?PName=Tolvex&ampPVer=1.0.0.0&ampOSVer=0.0.0";
        QTest::newRow("nothing escaped") << "http://h/" << 1 << 0 << 0 << "4.6 x&y"
                                         << "http://h/" + doc + "?PName=Tolvex&ampPVer=1.0.0.0&ampOSVer=4.6 x&y";
        QTest::newRow("release 3.4") << "r/" << 3 << 4 << 0 << "2.6.1"
                                     << "r/" + doc + "?PName=Tolvex&ampPVer=3.4.0.0&ampOSVer=2.6.1";
        QTest::newRow("minor 10 sent as it is") << "r/" << 3 << 10 << 1 << "2.6.1"
                                                << "r/" + doc + "?PName=Tolvex&ampPVer=3.10.0.0&ampOSVer=2.6.1";
    }
    void request()
    {
        QFETCH(QString, root);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, mode);
        QFETCH(QString, os);
        QTEST(requestUrl(root, localMajor(major, minor, mode), localMinor(), os), "url");
    }

    void osVersion_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QString>("text");
        QTest::newRow("debian") << "6.1.0-26-amd64" << "4.6.1";
        QTest::newRow("two digits") << "5.15.0-91-generic" << "4.5.15";
        QTest::newRow("major only") << "6" << "4.6.0";
        QTest::newRow("letters after") << "6.10rc1" << "4.6.10";
        QTest::newRow("empty") << "" << "4.0.0";
        QTest::newRow("no digits") << "abc.def" << "4.0.0";
        QTest::newRow("too large") << "99999999999.2" << "4.0.2";
    }
    void osVersion()
    {
        QFETCH(QString, release);
        QFETCH(QString, text);
        QCOMPARE(osVersionText(kLinuxPlatformId, release), text);
    }

    void osVersionOfThisSystem()
    {
        struct utsname info {};
        QCOMPARE(::uname(&info), 0);
        const QStringList parts = QString::fromLatin1(info.release).split('.');
        const QString expected = QStringLiteral("4.%1.%2").arg(parts[0].toInt()).arg(QString(parts.value(1)).remove(QRegularExpression("\\D.*")).toInt());
        QCOMPARE(clsGetOSVer().getVersion(), expected);
    }

    void scan_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("errCount");
        const QStringList allError(10, QStringLiteral("Error"));
        QTest::newRow("all ten") << kAll
                                 << QStringList{"c.html", "Tolvex", "3", "4", "d.html", "h.html", "k.html", "i.html",
                                                "Hello", "No"}
                                 << 0;
        QTest::newRow("error page") << "<html><body><h1>404 Not Found</h1></body></html>" << allError << 10;
        QTest::newRow("empty") << "" << allError << 10;
        QString emptyMessage = kAll;
        emptyMessage.replace("<Message>Hello</Message>", "<Message></Message>");
        QTest::newRow("empty element counts as found") << emptyMessage
                                                       << QStringList{"c.html", "Tolvex", "3", "4", "d.html", "h.html",
                                                                      "k.html", "i.html", "", "No"}
                                                       << 0;
        QTest::newRow("first of two") << "<Name>A</Name><Name>B</Name>"
                                      << QStringList{"Error", "A", "Error", "Error", "Error", "Error", "Error",
                                                     "Error", "Error", "Error"}
                                      << 9;
        QTest::newRow("closing before opening") << "</Version1><Version1>3</Version1><Name>T</Name>"
                                                << QStringList{"Error", "T", "Error", "Error", "Error", "Error",
                                                               "Error", "Error", "Error", "Error"}
                                                << 9;
        QTest::newRow("attributes, letter case, entity")
            << "<Name lang=\"en\">T</Name><version1>3</version1><Message>a &amp; b</Message>"
            << QStringList{"Error", "Error", "Error", "Error", "Error", "Error", "Error", "Error", "a &amp; b", "Error"}
            << 9;
        QTest::newRow("unclosed") << "<Name>Tolvex" << allError << 10;
        QTest::newRow("across lines") << "<Message>line 1\r\nline 2</Message>"
                                      << QStringList{"Error", "Error", "Error", "Error", "Error", "Error", "Error",
                                                     "Error", "line 1\r\nline 2", "Error"}
                                      << 9;
    }
    void scan()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, expected);
        QFETCH(int, errCount);
        const UpdateReply r = scanReply(page);
        QCOMPARE(fields(r), expected);
        QCOMPARE(r.ErrCount, errCount);
    }

    // Binary, overlong and truncated input never fails the scan.
    void hostileInput()
    {
        QByteArray binary(70000, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 7919 % 256);
        QCOMPARE(scanReply(pageText(binary)).ErrCount, 10);
        const QString huge = "<Message>" + QString(200000, 'x') + "</Message>";
        QCOMPARE(scanReply(huge).Message.size(), 200000);
        QCOMPARE(scanReply(kAll.left(kAll.indexOf("</Download>") + 5)).ErrCount, 6); // cut inside an element
    }

    void pageTextDecoding()
    {
        QCOMPARE(pageText("Gr\xc3\xbc\xc3\x9f" "e"), QStringLiteral(u"Grüße"));
        QCOMPARE(pageText("Gr\xfc\xdf" "e"), QStringLiteral(u"Grüße")); // not UTF-8: one character per byte
    }

    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("four parts") << "3.4.0.0" << 3.4;
        QTest::newRow("error") << "Error.Error" << 0.0;
        QTest::newRow("minor 10") << "3.10" << 3.1;
        QTest::newRow("leading zero") << "3.02" << 3.02;
        QTest::newRow("blanks") << " \t\n3 .\n4" << 3.4;
        QTest::newRow("sign") << "-3.4" << 0.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("point last") << "7." << 7.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("exponent not read") << "1e5" << 1.0;
        QTest::newRow("too large") << QString(400, '9') << qInf();
        QTest::newRow("too small") << "0." + QString(400, '0') + "1" << 0.0;
    }
    void leadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(leadingNumber(text), value);
    }

    void comparison_data()
    {
        QTest::addColumn<QString>("version1");
        QTest::addColumn<QString>("version2");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("uninstall");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("buttons");
        const QString latestText = "Click Known Issues to see any problems we are aware of.\r\nHello";
        const QString newerText = "Click Download to get it\r\nClick History for change info and Known Issues for any "
                                  "problems.\r\nHello";
        QTest::newRow("equal") << "3" << "4" << "3.4" << "No" << "Tolvex" << int(VersionOutcome::Latest)
                               << "You have the latest version of Tolvex" << latestText << "CWKH";
        QTest::newRow("newer") << "3" << "4" << "3.3" << "No" << "Tolvex" << int(VersionOutcome::Newer)
                               << "Version 3 of Tolvex is available " << newerText << "CWKHD";
        QTest::newRow("older") << "3" << "4" << "3.5" << "No" << "Tolvex" << int(VersionOutcome::Unrecognised)
                               << "Unrecognised version of Tolvex" << "Contact Quillon for assistance." << "C";
        QTest::newRow("minor 10 reads as 1") << "3" << "10" << "3.2" << "No" << "Tolvex"
                                             << int(VersionOutcome::Unrecognised) << "Unrecognised version of Tolvex"
                                             << "Contact Quillon for assistance." << "C";
        QTest::newRow("short update time") << "1" << "0" << "0.9" << "No" << "Tolvex" << int(VersionOutcome::Newer)
                                           << "Version 1 of Tolvex is available " << newerText << "CWKHD";
        QTest::newRow("uninstall first") << "2" << "0" << "1.0" << "Yes" << "Tolvex Slave"
                                         << int(VersionOutcome::Newer) << "Version 2 of Tolvex is available "
                                         << newerText + "\r\nYou must uninstall Tolvex Slave first." << "CWKHD";
        QTest::newRow("uninstall not exactly Yes") << "2" << "0" << "1.0" << "yes" << "Tolvex"
                                                   << int(VersionOutcome::Newer) << "Version 2 of Tolvex is available "
                                                   << newerText << "CWKHD";
        QTest::newRow("slave latest") << "1" << "0" << "1.0" << "No" << "Tolvex Slave" << int(VersionOutcome::Latest)
                                      << "You have the latest version of Tolvex Slave" << latestText << "CWKH";
    }
    void comparison()
    {
        QFETCH(QString, version1);
        QFETCH(QString, version2);
        QFETCH(QString, local);
        QFETCH(QString, uninstall);
        QFETCH(QString, name);
        QFETCH(int, outcome);
        UpdateReply r = reply(version1, version2);
        r.Uninstall = uninstall;
        const VersionVerdict v = checkVersion(r, local, "0.0", name);
        QCOMPARE(int(v.outcome), outcome);
        QCOMPARE(v.newer(), outcome == int(VersionOutcome::Newer));
        QTEST(v.status, "status");
        QTEST(v.message, "message");
        QTEST(buttons(v), "buttons");
    }

    // A page whose element reads "Error" gets no button.
    void buttonsOnlyForPagesFound()
    {
        UpdateReply r = reply("2", "0");
        r.Contact = r.History = "Error";
        QCOMPARE(buttons(checkVersion(r, "1.0", "0.0", "Tolvex")), QStringLiteral("WKD"));
        r = reply("1", "0");
        r.Index = "Error";
        QCOMPARE(buttons(checkVersion(r, "1.0", "0.0", "Tolvex")), QStringLiteral("CKH"));
    }

    void logTexts()
    {
        const QDateTime now(QDate(2026, 3, 4), QTime(9, 5, 7));
        QCOMPARE(updaterLogHeader(1, 0, now), QStringLiteral("Updater\r\nVersion 1.0\r\nFile Created\r\n04-Mar-26 09:05:07\r\n\r\n\r\n"));
        QCOMPARE(requestEntry(now, "http://u/"),
                 QStringLiteral("04-Mar-26 09:05:07\r\nUpdate Check\r\n\r\nWeb URL\r\n-------\r\nhttp://u/\r\n"));
        QCOMPARE(programEntry(5, "Tolvex Slave", "0.9", "0.0", "4.6.1"),
                 QStringLiteral("Program Data\r\n------------\r\nControl Mode :  5\r\nProgram Name :  Tolvex Slave\r\n"
                                "Major Version:  0.9\r\nMinor Version:  0.0\r\nOS Version:     4.6.1\r\n"));
        QCOMPARE(replyHeading(), QStringLiteral("Web Page xml\r\n------------"));
        QCOMPARE(replyPageEntry("  \t<x>  "), QStringLiteral("\\x09<x>\r\n"));
        QCOMPARE(replyDataEntry(scanReply(kAll)),
                 QStringLiteral("Web Page Data\r\n-------------\r\nProgram Name :  Tolvex\r\nMajor Version:  3\r\n"
                                "Minor Version:  4\r\nContact url  :  c.html\r\nDownload url :  d.html\r\n"
                                "Known Issues :  k.html\r\nHistory      :  h.html\r\nHome Page    :  i.html\r\n"
                                "Message      :  Hello\r\nUninstall    :  No\r\nError Count  :  0\r\n\r\n\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestUpdateReply)
#include "test_update_reply.moc"
