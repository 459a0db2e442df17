// The log buttons of the configuration screen: Archive (copy, clear, the questions
// and their answers) and View Log (through the desktop, never a command).
#include "LogFile.h"
#include "ScreenFixture.h"
#include <QUrl>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A log of `lines` lines: the fresh log's six and event lines after them.
QByteArray logOf(int lines, const QDateTime &created)
{
    QByteArray text = logarchive::freshLogText(QStringLiteral("Tolvex"), created).toUtf8();
    for (int i = 6; i < lines; ++i)
        text += "12:00:0" + QByteArray::number(i % 10) + ",  Run      ,           , Count:    1\r\n";
    return text;
}

void answer(MasterScreen &f, const QString &answers)
{
    for (const QString &word : answers.split(',', Qt::SkipEmptyParts)) {
        f.host.program.boxService.setNextAnswer(word == "yes"  ? BoxAnswer::Yes
                                                : word == "no" ? BoxAnswer::No
                                                               : BoxAnswer::Cancel);
    }
}

struct ArchiveCase {
    int lines;          // of the log
    QString answers;    // to the boxes in turn
    QString secondBox;  // the text of a box after the question
    bool cleared;       // the log holds the six lines of a fresh one
    bool copied;        // an archive copy was made
    QString status;
};

QStringList archives(const MasterScreen &f)
{
    QStringList names = QDir(f.folder.path("Log")).entryList({"TolvexM_*"}, QDir::Files);
    names.sort();
    return names;
}

} // namespace

Q_DECLARE_METATYPE(ArchiveCase)

class ConfigScreenLogTest : public QObject {
    Q_OBJECT
private slots:
    void archive_data();
    void archive();
    void archiveNames();
    void failuresKeepTheLog();
    void nameWithoutDot();
    void longLog();
    void viewLog();
};

void ConfigScreenLogTest::archive_data()
{
    QTest::addColumn<ArchiveCase>("c");
    const QString sure = "Are you sure you want to create a new log file?";
    QTest::newRow("data, Yes") << ArchiveCase{9, "yes", "", true, true, "Log File Archived"};
    QTest::newRow("no data, Yes") << ArchiveCase{8, "yes", "There is no data to archive!\r\nLog file not archived.", false,
                                                 false, ""};
    QTest::newRow("no data, No: cleared at once") << ArchiveCase{8, "no", "", true, false, "Log File Cleared"};
    QTest::newRow("data, No, sure") << ArchiveCase{9, "no,yes", sure, true, false, "Log File Cleared"};
    QTest::newRow("data, No, not sure") << ArchiveCase{9, "no,no", sure, false, false, ""};
    QTest::newRow("Cancel") << ArchiveCase{9, "cancel", "", false, false, ""};
}

void ConfigScreenLogTest::archive()
{
    QFETCH(ArchiveCase, c);
    MasterScreen f;
    const QByteArray old = logOf(c.lines, f.host.program.fakeClock.now().addDays(-3));
    writeFile(f.logPath(), old);
    frmConfig &s = f.open();
    s.Timer2->stop();  // started by the opening's field check
    answer(f, c.answers);
    s.Archive_Click();
    const std::vector<BoxRequest> &boxes = f.host.program.shown();
    QCOMPARE(boxes.front().title, QStringLiteral("Archive Tolvex Log File"));
    QCOMPARE(boxes.front().text, QStringLiteral("Do you want to archive the log file?\r\nTo Archive the log file and create a "
                                                "new one click Yes\r\nTo Clear the results log file without archiving it "
                                                "click No\r\nClick Cancel to return"));
    QCOMPARE(boxes.front().buttons, BoxButtons::YesNoCancel);
    QCOMPARE(boxes.front().icon, BoxIcon::Exclamation);
    QCOMPARE(boxes.size() > 1 ? boxes.back().text : QString(), c.secondBox);
    if (!c.secondBox.isEmpty())
        QCOMPARE(boxes.back().title, c.lines < 9 ? "Tolvex Log File Error" : "Tolvex Create New Log File");
    // The fresh log's fourth line is the stamp the log's own start writes, so that
    // the rotation reads the creation back.
    const QByteArray fresh = "Tolvex Log\r\nVersion 1.0\r\nFile Created\r\n14-Mar-26 12:00:05\r\n\r\n\r\n";
    QCOMPARE(readFile(f.logPath()), c.cleared ? fresh : old);
    QCOMPARE(parseLogStamp("14-Mar-26 12:00:05"), f.host.program.fakeClock.now());
    QCOMPARE(archives(f), c.copied ? QStringList{"TolvexM_260314_1.log"} : QStringList());
    if (c.copied)
        QCOMPARE(readFile(f.folder.path("Log/TolvexM_260314_1.log")), old);
    QCOMPARE(f.text("Status"), c.status);
    QCOMPARE(s.Timer2->isActive(), !c.status.isEmpty());
}

void ConfigScreenLogTest::archiveNames()
{
    MasterScreen f;
    frmConfig &s = f.open();
    FakeClock &clock = f.host.program.fakeClock;
    for (int day : {0, 0, 1}) {
        clock.advanceSeconds(day * 86400);
        writeFile(f.logPath(), logOf(12, clock.now()));
        answer(f, "yes");
        s.Archive_Click();
    }
    QCOMPARE(archives(f), QStringList({"TolvexM_260314_1.log", "TolvexM_260314_2.log", "TolvexM_260315_1.log"}));
    const QDate day(2026, 12, 8);
    QCOMPARE(logarchive::archiveName("Log\\", "my.log.txt", day), QStringLiteral("Log\\my_261208_1.log.txt"));
    QCOMPARE(logarchive::archiveName("Log\\", "TolvexMlog", day), QString());
}

// The copy is made before the log is touched, and the fresh log takes the old one's
// place in one step: a failure at either step leaves the log as it was.
void ConfigScreenLogTest::failuresKeepTheLog()
{
    MasterScreen f;
    const QByteArray old = logOf(40, f.host.program.fakeClock.now());
    writeFile(f.logPath(), old);
    QDir().mkpath(f.folder.path("Log/TolvexM_260314_1.log"));  // a folder where the copy would go
    frmConfig &s = f.open();
    answer(f, "yes");
    s.Archive_Click();
    QCOMPARE(f.boxTitles().last(), QStringLiteral("Tolvex Log File Error"));
    QCOMPARE(readFile(f.logPath()), old);

    answer(f, "no,yes");
    {
        const FileSizeLimit limit(20);
        s.Archive_Click();
    }
    QCOMPARE(f.host.program.lastBox().text,
             QStringLiteral("Unable to archive the log file TolvexM.log.\r\nThis may be a permissions problem."));
    QCOMPARE(readFile(f.logPath()), old);
    QCOMPARE(f.text("Status"), QString());  // not "Log File Cleared": it was not
    QCOMPARE(QDir(f.folder.path("Log")).entryList(QDir::Files | QDir::Hidden), QStringList{"TolvexM.log"});
}

// Without a "." in its name the log cannot be archived, but No still clears it.
void ConfigScreenLogTest::nameWithoutDot()
{
    MasterConfig running = masterRunning();
    running.LogName = QStringLiteral("TolvexMlog");
    MasterScreen f(running);
    const QString log = f.folder.path("Log/TolvexMlog");
    writeFile(log, logOf(10, f.host.program.fakeClock.now()));
    frmConfig &s = f.open();
    answer(f, "yes,no,yes");
    s.Archive_Click();
    QCOMPARE(f.host.program.lastBox().text,
             QStringLiteral("Unable to archive the log file TolvexMlog.\r\nThis may be a permissions problem."));
    QCOMPARE(readFile(log).count("\r\n"), 10);
    s.Archive_Click();
    QCOMPARE(readFile(log).left(12), QByteArray("Tolvex Log\r\n"));
}

void ConfigScreenLogTest::longLog()
{
    MasterScreen f;
    QByteArray big = logOf(9, f.host.program.fakeClock.now());
    const QByteArray line(70, 'x');
    big.reserve(big.size() + 200000 * 72);
    for (int i = 0; i < 200000; ++i)
        big += line + "\r\n";
    writeFile(f.logPath(), big);
    frmConfig &s = f.open();
    answer(f, "yes");
    s.Archive_Click();
    QCOMPARE(QFileInfo(f.folder.path("Log/TolvexM_260314_1.log")).size(), qint64(big.size()));
    QCOMPARE(QFileInfo(f.logPath()).size(), qint64(logarchive::freshLogText("Tolvex", f.host.program.fakeClock.now()).size()));
}

void ConfigScreenLogTest::viewLog()
{
    // A name that a command line would split or expand is handed over as a file.
    MasterConfig running = masterRunning();
    running.LogName = QStringLiteral("a;b $(x).log");
    MasterScreen f(running);
    writeFile(f.folder.path("Log/a;b $(x).log"), logOf(6, f.host.program.fakeClock.now()));
    frmConfig &s = f.open();
    f.set("LogNameT=Other.log");  // the running log counts, not the field
    s.ViewL_Click();
    const QString file = QFileInfo(f.folder.path("Log/a;b $(x).log")).absoluteFilePath();
    QCOMPARE(f.host.program.desktopService.opened(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    QVERIFY(f.host.program.shown().empty());

    f.host.program.desktopService.setResult(false);
    s.ViewL_Click();
    QCOMPARE(f.boxTitles(), QStringList{"Tolvex Log File Error"});
    QCOMPARE(f.host.program.lastBox().text,
             QStringLiteral("Unable to run the text viewer\r\nCheck that it exists and\r\nis working properly."));
    QCOMPARE(f.host.program.lastBox().icon, BoxIcon::Exclamation);

    MasterScreen none(masterRecordWith({"LogLevel=1"}));
    none.open().ViewL_Click();
    QCOMPARE(none.host.program.lastBox().text,
             QStringLiteral("Logging is set to None. There\r\nis no information to display."));
    QCOMPARE(none.host.program.lastBox().icon, BoxIcon::Information);
    QVERIFY(none.host.program.desktopService.opened().isEmpty());
}

QTEST_MAIN(ConfigScreenLogTest)
#include "test_config_screen_log.moc"
