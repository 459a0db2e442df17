#include "FileSystem.h"
#include "TestSupport.h"
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tolvex;
using test::readFile;
using test::writeFile;

class TestPlatformFileSystem : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;  // a fresh one for each test
    QString m_oldCwd = QDir::currentPath();

    QString at(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    // Relative to the folder and absolute with "\" before it: exact names only change
    // their separators, missing ones take the one entry that differs in case alone.
    void pathsWithBackslashAndAnyCase_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const char *rows[][2] = {{"Data\\TolvexM.ini", "Data/TolvexM.ini"}, {"Log\\", "Log/"},
                                 {"data\\tolvexm.INI", "Data/TolvexM.ini"}, {"log/", "Log/"},
                                 {"LOG\\New.log", "Log/New.log"},           {"none\\data", "none/data"},
                                 {"data\\sub\\", "Data/Sub/"},               {".\\data", "./Data"},
                                 {"Data\\..\\data\\SUB", "Data/../Data/Sub"}, {"twin\\", "twin/"}};  // twin: two match
        for (const auto &[path, expected] : rows)
            QTest::newRow(path) << QString(path) << QString(expected);
    }

    void pathsWithBackslashAndAnyCase()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        for (const char *folder : {"Data/Sub", "Log", "Twin", "TWIN"})
            QVERIFY(QDir(m_dir->path()).mkpath(folder));
        QVERIFY(writeFile(at("Data/TolvexM.ini"), "x"));
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QCOMPARE(fs::nativePath(path), expected);
        QCOMPARE(fs::nativePath(m_dir->path() + '\\' + path), m_dir->path() + '/' + expected);
        QCOMPARE(fs::nativePath(QString()), QString());
        QVERIFY(fs::folderExists("data\\") && fs::folderExists("LOG") && fs::folderExists("DATA\\SUB\\"));
        QVERIFY(fs::fileExists(m_dir->path() + "\\DATA\\tolvexm.ini"));
        QVERIFY(!fs::fileExists("Data") && !fs::folderExists("Data\\TolvexM.ini") && !fs::folderExists("Nowhere\\"));
    }

    void readsTextAndRefusesTheRest_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<fs::ReadStatus>("status");
        QTest::addColumn<QString>("lines");  // joined by "|"
        // Empty lines are kept; one invalid UTF-8 sequence anywhere makes the whole file Latin-1.
        const char *rows[][3] = {
            {"crlf", "a\r\nb\r\n", "a|b"}, {"lf", "a\nb\n", "a|b"}, {"lone cr", "a\rb", "a|b"},
            {"no final end", "a\r\nb", "a|b"}, {"empty lines", "a\r\n\r\n\nb\n", "a|||b"}, {"empty file", "", ""},
            {"tab", "k=\tv\r\n", "k=\tv"}, {"utf-8", "caf\xC3\xA9\r\n", "caf\u00E9"},
            {"bom dropped", "\xEF\xBB\xBFx=1\r\n", "x=1"},
            {"latin-1", "caf\xC3\xA9\r\nna\xEFve\r\n", "caf\u00C3\u00A9|na\u00EFve"},
            {"overlong utf-8", "\xC0\xAF", "\u00C0\u00AF"}};
        for (const auto &[name, bytes, lines] : rows)
            QTest::newRow(name) << QByteArray(bytes) << fs::ReadStatus::Ok << QString(lines);
        // Control characters but TAB are not text; the limits here are 256 bytes and lines of 100.
        QTest::newRow("nul") << QByteArray("a=1\r\nb\0c\r\n", 10) << fs::ReadStatus::NotText << "";
        QTest::newRow("escape") << QByteArray("a=\x1b[1m\r\n") << fs::ReadStatus::NotText << "";
        QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01\x00\x00", 9) << fs::ReadStatus::NotText << "";
        QTest::newRow("form feed") << QByteArray("a\fb") << fs::ReadStatus::NotText << "";
        QTest::newRow("overlong line") << QByteArray(101, 'x') << fs::ReadStatus::TooLarge << "";
        QTest::newRow("too large") << QByteArray(30, '\n').repeated(10) << fs::ReadStatus::TooLarge << "";
    }

    void readsTextAndRefusesTheRest()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(fs::ReadStatus, status);
        QFETCH(QString, lines);
        QVERIFY(writeFile(at("In.ini"), bytes));
        QStringList read{"stale"};
        QCOMPARE(fs::readTextLines(m_dir->path() + "\\in.INI", read, 256, 100), status);
        QCOMPARE(read, lines.isEmpty() ? QStringList() : lines.split('|'));
    }

    void readsFirstLinesOnly()
    {
        QByteArray bytes("Created 14-Mar-26\r\nsecond\nthird\r\n");
        QVERIFY(writeFile(at("Tolvex.log"), bytes + QByteArray(200000, 'z')));  // a long tail is never read whole
        QStringList lines;
        QVERIFY(fs::readFirstLines(at("Tolvex.log"), 2, lines));
        QCOMPARE(lines, (QStringList{"Created 14-Mar-26", "second"}));
        QVERIFY(fs::readFirstLines(at("Tolvex.log"), 10, lines));
        QCOMPARE(lines.size(), 3);
        QVERIFY(fs::readFirstLines(at("Tolvex.log"), 0, lines));
        QVERIFY(lines.isEmpty());
        // Missing files and folders cannot be opened.
        for (const QString &path : {at("missing.ini"), m_dir->path()}) {
            QCOMPARE(fs::readTextLines(path, lines), fs::ReadStatus::CannotOpen);
            QVERIFY(!fs::readFirstLines(path, 2, lines));
        }
    }

    void appendsOnlyToExistingFiles()
    {
        QVERIFY(!fs::appendText(at("missing.log"), "line\r\n"));
        QVERIFY(!QFile::exists(at("missing.log")));
        QVERIFY(!fs::appendText(m_dir->path(), "line\r\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
        QVERIFY(!fs::appendText(at("pipe"), "line\r\n"));  // neither blocks nor writes
        QStringList lines;
        QCOMPARE(fs::readTextLines(at("pipe"), lines), fs::ReadStatus::CannotOpen);

        QVERIFY(writeFile(at("Run.log"), "first\r\n"));
        QVERIFY(fs::appendText(m_dir->path() + "\\run.LOG", "caf\u00E9\r\n"));
        QVERIFY(fs::appendText(at("Run.log"), "end"));
        QCOMPARE(readFile(at("Run.log")), QByteArray("first\r\ncaf\xC3\xA9\r\nend"));
    }

    // A write that fails part-way (here a file size limit, as a full disk does) is cut
    // off again; a line left torn by a crash is closed before the next one.
    void failedAppendsLeaveNoTornLine()
    {
        QVERIFY(writeFile(at("Run.log"), "first\r\n"));
        {
            test::FileSizeLimit full(10);
            QVERIFY(full.inForce());
            QVERIFY(!fs::appendLines(at("Run.log"), "second line\r\n"));
            QVERIFY(!fs::appendText(at("Run.log"), "second line\r\n"));
            QVERIFY(!fs::appendLines(at("Run.log"), QString(4000, 'x')));
        }
        QCOMPARE(readFile(at("Run.log")), QByteArray("first\r\n"));
        QVERIFY(fs::appendLines(at("Run.log"), "second\r\n"));
        QCOMPARE(readFile(at("Run.log")), QByteArray("first\r\nsecond\r\n"));

        const char *tails[][2] = {{"first\r\ntorn", "first\r\ntorn\r\nnext\r\n"},
                                  {"first\r", "first\r\nnext\r\n"},
                                  {"first\n", "first\nnext\r\n"},
                                  {"", "next\r\n"}};
        for (const auto &[before, after] : tails) {
            QVERIFY(writeFile(at("Torn.log"), before));
            QVERIFY(fs::appendLines(at("Torn.log"), "next\r\n"));
            QCOMPARE(readFile(at("Torn.log")), QByteArray(after));
        }
        // Plain text goes on where the file ends, and a write-only file takes lines too.
        QVERIFY(fs::appendText(at("Torn.log"), "x") && fs::appendText(at("Torn.log"), "y"));
        QVERIFY(readFile(at("Torn.log")).endsWith("\r\nxy"));
        QVERIFY(writeFile(at("WriteOnly.log"), "a\r\n"));
        QVERIFY(QFile::setPermissions(at("WriteOnly.log"), QFile::WriteOwner));
        QVERIFY(fs::appendLines(at("WriteOnly.log"), "z\r\n"));
        QVERIFY(QFile::setPermissions(at("WriteOnly.log"), QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(readFile(at("WriteOnly.log")), QByteArray("a\r\nz\r\n"));
    }

    // One file under two names: another case, "\\", a symbolic or a hard link.
    void sameFileThroughAnyName()
    {
        QVERIFY(writeFile(at("Data/TolvexM.ini"), "x"));
        QVERIFY(writeFile(at("Log/TolvexM.log"), "x"));
        QVERIFY(QFile::link(at("Data/TolvexM.ini"), at("Log/Link.log")));
        QCOMPARE(::link(QFile::encodeName(at("Data/TolvexM.ini")).constData(),
                        QFile::encodeName(at("Log/Hard.log")).constData()), 0);
        const QString config = at("Data/TolvexM.ini");
        for (const QString &name : {m_dir->path() + "\\data\\tolvexm.ini", at("Log/../Data/TolvexM.ini"),
                                    at("Log/Link.log"), at("log\\hard.LOG")})
            QVERIFY2(fs::sameFile(name, config), qPrintable(name));
        for (const QString &name : {at("Log/TolvexM.log"), at("Log/Missing.log"), at("Data")})
            QVERIFY2(!fs::sameFile(name, config), qPrintable(name));
        QVERIFY(!fs::sameFile(at("Data"), at("data")));  // folders are no files
    }

    void replacesRenamesAndRemoves()
    {
        QVERIFY(writeFile(at("Data/TolvexM.ini"), QByteArray(5000, 'o')));
        const QString text = QStringLiteral("[Tolvex]\r\nCName=B\u00FCro\r\n");
        QVERIFY(fs::replaceWithText(m_dir->path() + "\\data\\tolvexm.ini", text));
        QCOMPARE(readFile(at("Data/TolvexM.ini")), text.toUtf8());
        // No temporary file is left beside it, and no second file in another case.
        QCOMPARE(QDir(at("Data")).entryList(QDir::Files | QDir::Hidden), QStringList{"TolvexM.ini"});
        // A new file in an existing folder is created; a missing folder is an error.
        QVERIFY(fs::replaceWithText(m_dir->path() + "\\DATA\\New.ini", "x"));
        QCOMPARE(readFile(at("Data/New.ini")), QByteArray("x"));
        QVERIFY(!fs::replaceWithText(m_dir->path() + "\\Nowhere\\x.ini", "x"));
        QVERIFY(!QFileInfo::exists(at("Nowhere")));
        // A write cut short (a full disk) fails and leaves the old file whole.
        {
            const test::FileSizeLimit limit(100);
            QVERIFY(!fs::replaceWithText(at("Data/TolvexM.ini"), QString(300, 'n')));
        }
        QCOMPARE(readFile(at("Data/TolvexM.ini")), text.toUtf8());
        QCOMPARE(QDir(at("Data")).entryList(QDir::Files | QDir::Hidden), QStringList({"New.ini", "TolvexM.ini"}));

        QVERIFY(fs::renameFile(m_dir->path() + "\\data\\new.INI", m_dir->path() + "\\Data\\Old.ini"));
        QCOMPARE(readFile(at("Data/Old.ini")), QByteArray("x"));
        QVERIFY(!fs::renameFile(at("Data/TolvexM.ini"), at("Data/Old.ini")));  // never overwrites
        QCOMPARE(readFile(at("Data/Old.ini")), QByteArray("x"));
        QVERIFY(fs::removeFile(m_dir->path() + "\\Data\\OLD.ini"));
        QVERIFY(!QFile::exists(at("Data/Old.ini")));
        QVERIFY(!fs::removeFile(at("Data/Old.ini")));
    }

    // A replaced file keeps its mode, and as root its owner and group too.
    void replaceKeepsOwnerAndMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");  // nobody:nogroup; only root may give a file away
        QTest::newRow("0640") << 0640 << false;
        QTest::newRow("0604") << 0604 << false;
        QTest::newRow("0444, read-only (root writes it)") << 0444 << false;
        QTest::newRow("0640, another owner and group") << 0640 << true;
        QTest::newRow("0660, another owner and group") << 0660 << true;
    }

    void replaceKeepsOwnerAndMode()
    {
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        if ((otherOwner || !(mode & S_IWUSR)) && ::geteuid() != 0)
            QSKIP("only root may give a file away or write over a read-only one");
        const QByteArray file = QFile::encodeName(at("TolvexM.ini"));
        QVERIFY(writeFile(at("TolvexM.ini"), "old"));
        constexpr uid_t kNobody = 65534;
        constexpr gid_t kNogroup = 65534;
        if (otherOwner)
            QCOMPARE(::chown(file.constData(), kNobody, kNogroup), 0);
        QCOMPARE(::chmod(file.constData(), mode_t(mode)), 0);
        struct stat before {};
        QCOMPARE(::stat(file.constData(), &before), 0);

        QVERIFY(fs::replaceWithText(at("TolvexM.ini"), QStringLiteral("new")));
        QCOMPARE(readFile(at("TolvexM.ini")), QByteArray("new"));
        struct stat after {};
        QCOMPARE(::stat(file.constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino);  // a new file took the old one's place
        QCOMPARE(int(after.st_mode & 07777), mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
    }
};

QTEST_MAIN(TestPlatformFileSystem)
#include "test_platform_filesystem.moc"
