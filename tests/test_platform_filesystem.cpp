#include "FileSystem.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace tolvex;
using tolvex::test::readFile;
using tolvex::test::writeFile;

class TestPlatformFileSystem : public QObject {
    Q_OBJECT

private:
    QString m_oldCwd;

private slots:
    void init() { m_oldCwd = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_oldCwd); }

    void pathsWithBackslashAndAnyCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path();
        QVERIFY(QDir(root).mkpath(QStringLiteral("Data")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("Log")));
        QVERIFY(writeFile(root + QStringLiteral("/Data/TolvexM.ini"), "x"));

        // Exact names only change their separators; a trailing one is kept.
        QCOMPARE(fs::nativePath(root + QStringLiteral("\\Data\\TolvexM.ini")),
                 root + QStringLiteral("/Data/TolvexM.ini"));
        QCOMPARE(fs::nativePath(root + QStringLiteral("\\Log\\")), root + QStringLiteral("/Log/"));
        // Missing names take the one entry that differs only in case.
        QCOMPARE(fs::nativePath(root + QStringLiteral("\\data\\tolvexm.INI")),
                 root + QStringLiteral("/Data/TolvexM.ini"));
        QCOMPARE(fs::nativePath(root + QStringLiteral("/log/")), root + QStringLiteral("/Log/"));
        // A new file in an existing folder keeps its own name; the folder is found.
        QCOMPARE(fs::nativePath(root + QStringLiteral("\\LOG\\New.log")),
                 root + QStringLiteral("/Log/New.log"));
        // Nothing at all: left as given.
        QCOMPARE(fs::nativePath(root + QStringLiteral("\\none\\data")),
                 root + QStringLiteral("/none/data"));
        QCOMPARE(fs::nativePath(QString()), QString());

        QVERIFY(fs::folderExists(root + QStringLiteral("\\data\\")));
        QVERIFY(fs::folderExists(root + QStringLiteral("/LOG")));
        QVERIFY(fs::fileExists(root + QStringLiteral("\\DATA\\tolvexm.ini")));
        QVERIFY(!fs::fileExists(root + QStringLiteral("\\Data")));
        QVERIFY(!fs::folderExists(root + QStringLiteral("\\Data\\TolvexM.ini")));
        QVERIFY(!fs::folderExists(root + QStringLiteral("\\Nowhere\\")));
    }

    void relativeAndAmbiguousPaths()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Data/Sub")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Twin")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("TWIN")));
        QVERIFY(QDir::setCurrent(dir.path()));

        QCOMPARE(fs::nativePath(QStringLiteral("data\\sub\\")), QStringLiteral("Data/Sub/"));
        QCOMPARE(fs::nativePath(QStringLiteral(".\\data")), QStringLiteral("./Data"));
        QCOMPARE(fs::nativePath(QStringLiteral("Data\\..\\data\\SUB")), QStringLiteral("Data/../Data/Sub"));
        // Two entries match without case: neither is picked.
        QCOMPARE(fs::nativePath(QStringLiteral("twin\\")), QStringLiteral("twin/"));
        QVERIFY(fs::folderExists(QStringLiteral("DATA\\SUB\\")));
    }

    void readsLineEndsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QStringList ab{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << ab;
        QTest::newRow("lf") << QByteArray("a\nb\n") << ab;
        QTest::newRow("lone cr") << QByteArray("a\rb") << ab;
        QTest::newRow("no final end") << QByteArray("a\r\nb") << ab;
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\n")
                                          << QStringList{QStringLiteral("a"), QString(), QString(),
                                                         QStringLiteral("b")};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("tab kept") << QByteArray("k=\tv\r\n") << QStringList{QStringLiteral("k=\tv")};
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9\r\n") << QStringList{QStringLiteral("caf\u00E9")};
        QTest::newRow("bom dropped") << QByteArray("\xEF\xBB\xBFx=1\r\n") << QStringList{QStringLiteral("x=1")};
        // One invalid sequence anywhere makes the whole file Latin-1.
        QTest::newRow("latin-1") << QByteArray("caf\xC3\xA9\r\nna\xEFve\r\n")
                                 << QStringList{QStringLiteral("caf\u00C3\u00A9"),
                                                QStringLiteral("na\u00EFve")};
        QTest::newRow("overlong utf-8 as latin-1") << QByteArray("\xC0\xAF")
                                                   << QStringList{QStringLiteral("\u00C0\u00AF")};
    }

    void readsLineEndsAndEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("In.ini"));
        QVERIFY(writeFile(path, bytes));
        QStringList lines{QStringLiteral("stale")};
        QCOMPARE(fs::readTextLines(dir.path() + QStringLiteral("\\in.INI"), lines), fs::ReadStatus::Ok);
        QCOMPARE(lines, expected);
    }

    void refusesWhatIsNotText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const int notText = int(fs::ReadStatus::NotText);
        const int tooLarge = int(fs::ReadStatus::TooLarge);
        QTest::newRow("nul") << QByteArray("a=1\r\nb\0c\r\n", 10) << notText;
        QTest::newRow("escape") << QByteArray("a=\x1b[1m\r\n") << notText;
        QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01\x00\x00", 9) << notText;
        QTest::newRow("form feed") << QByteArray("a\fb") << notText;
        QTest::newRow("overlong line") << QByteArray(101, 'x') << tooLarge;
        QTest::newRow("too large") << QByteArray(30, '\n').repeated(10) << tooLarge;
    }

    void refusesWhatIsNotText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("bad.ini"));
        QVERIFY(writeFile(path, bytes));
        QStringList lines;
        QCOMPARE(int(fs::readTextLines(path, lines, 256, 100)), status);
        QVERIFY(lines.isEmpty());
    }

    void refusesWhatCannotBeOpened()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStringList lines;
        QCOMPARE(fs::readTextLines(dir.filePath(QStringLiteral("missing.ini")), lines),
                 fs::ReadStatus::CannotOpen);
        QCOMPARE(fs::readTextLines(dir.path(), lines), fs::ReadStatus::CannotOpen);
        QVERIFY(!fs::readFirstLines(dir.filePath(QStringLiteral("missing.log")), 2, lines));
        QVERIFY(!fs::readFirstLines(dir.path(), 2, lines));
    }

    void readsFirstLinesOnly()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Tolvex.log"));
        QByteArray bytes("Created 14-Mar-26\r\nsecond\nthird\r\n");
        bytes += QByteArray(200000, 'z'); // a long tail is never read whole
        QVERIFY(writeFile(path, bytes));
        QStringList lines;
        QVERIFY(fs::readFirstLines(path, 2, lines));
        QCOMPARE(lines, (QStringList{QStringLiteral("Created 14-Mar-26"), QStringLiteral("second")}));
        QVERIFY(fs::readFirstLines(path, 10, lines));
        QCOMPARE(lines.size(), 3);
        QVERIFY(fs::readFirstLines(path, 0, lines));
        QVERIFY(lines.isEmpty());
    }

    void appendsOnlyToExistingFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(QStringLiteral("missing.log"));
        QVERIFY(!fs::appendText(missing, QStringLiteral("line\r\n")));
        QVERIFY(!QFile::exists(missing));
        QVERIFY(!fs::appendText(dir.path(), QStringLiteral("line\r\n")));
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(!fs::appendText(pipe, QStringLiteral("line\r\n"))); // neither blocks nor writes
        QStringList lines;
        QCOMPARE(fs::readTextLines(pipe, lines), fs::ReadStatus::CannotOpen);

        const QString path = dir.filePath(QStringLiteral("Run.log"));
        QVERIFY(writeFile(path, "first\r\n"));
        QVERIFY(fs::appendText(dir.path() + QStringLiteral("\\run.LOG"), QStringLiteral("caf\u00E9\r\n")));
        QVERIFY(fs::appendText(path, QStringLiteral("end")));
        QCOMPARE(readFile(path), QByteArray("first\r\ncaf\xC3\xA9\r\nend"));
    }

    void replacesWholeFileInOneStep()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Data")));
        const QString path = dir.filePath(QStringLiteral("Data/TolvexM.ini"));
        QVERIFY(writeFile(path, QByteArray(5000, 'o')));

        const QString text = QStringLiteral("[Tolvex]\r\nCName=B\u00FCro\r\n");
        QVERIFY(fs::replaceWithText(dir.path() + QStringLiteral("\\data\\tolvexm.ini"), text));
        QCOMPARE(readFile(path), text.toUtf8());
        // No temporary file is left beside it, and no second file in another case.
        QCOMPARE(QDir(dir.filePath(QStringLiteral("Data"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("TolvexM.ini")});

        // A new file in an existing folder is created; a missing folder is an error.
        QVERIFY(fs::replaceWithText(dir.path() + QStringLiteral("\\DATA\\New.ini"), QStringLiteral("x")));
        QCOMPARE(readFile(dir.filePath(QStringLiteral("Data/New.ini"))), QByteArray("x"));
        QVERIFY(!fs::replaceWithText(dir.path() + QStringLiteral("\\Nowhere\\x.ini"), QStringLiteral("x")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("Nowhere"))));
    }

    void removesAndRenames()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString a = dir.filePath(QStringLiteral("Tolvex.log"));
        const QString b = dir.filePath(QStringLiteral("Tolvex.old"));
        QVERIFY(writeFile(a, "a"));
        QVERIFY(fs::renameFile(dir.path() + QStringLiteral("\\tolvex.LOG"), dir.path() + QStringLiteral("\\Tolvex.old")));
        QCOMPARE(readFile(b), QByteArray("a"));
        QVERIFY(writeFile(a, "new"));
        QVERIFY(!fs::renameFile(a, b)); // never overwrites
        QCOMPARE(readFile(b), QByteArray("a"));
        QVERIFY(fs::removeFile(dir.path() + QStringLiteral("\\TOLVEX.old")));
        QVERIFY(!QFile::exists(b));
        QVERIFY(!fs::removeFile(b));
    }
};

QTEST_MAIN(TestPlatformFileSystem)
#include "test_platform_filesystem.moc"
