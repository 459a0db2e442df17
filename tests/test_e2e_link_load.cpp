// A real master and a real slave on the loopback, both logging every second, while
// their receive ports get junk, wrong frames and bursts of valid polls from a stranger:
// no second of the live link may be counted as lost, no countdown may start, and both
// go on hearing each other once the traffic ends.
#include <QtTest>

#include "ConfigFile.h"
#include "SlaveFixture.h"
#include <QElapsedTimer>
#include <QProcess>
#include <atomic>
#include <thread>

using namespace tolvex;
using namespace tolvex::test;

namespace {

constexpr int kStartMs = 10000;

// A program started headless in its own installation folder; killed at the end.
struct Program {
    Program(const char *executable, const QString &fileName, const QString &configuration, const QString &commandLine)
        : name(fileName)
    {
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        writeFile(dir.filePath(QStringLiteral("Data/%1.ini").arg(name)), configuration.toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOLVEX_BOX_ANSWERS"), QString());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(QLatin1String(executable), commandLine.split(QLatin1Char(' ')));
        process.waitForStarted(kStartMs);
    }
    ~Program()
    {
        process.kill();
        process.waitForFinished(kStartMs);
    }
    QStringList lines() const
    {
        return QString::fromUtf8(readFile(dir.filePath(QStringLiteral("Log/%1.log").arg(name))))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    // The one-second lines of Run, from the first that shows a good link on.
    QStringList runLines(const QString &good) const
    {
        QStringList out;
        for (const QString &line : lines()) {
            if (line.mid(8, 12) == QLatin1String(",  Run      ") && (!out.isEmpty() || line.contains(good)))
                out << line;
        }
        return out;
    }

    QTemporaryDir dir;
    QString name;
    QProcess process;
};

// Stranger's traffic for `ms`: junk and wrong frames at both ports, about `perSecond`
// of each a second, and every second a tenth of a second of unthrottled valid polls at
// the slave (which it answers, to the master).
long strangerTraffic(quint16 masterPort, quint16 slavePort, int perSecond, int ms)
{
    std::atomic<long> sent{0};
    std::thread sender([&] {
        QUdpSocket socket;
        const QHostAddress to(kMasterAddress);
        QElapsedTimer elapsed;
        elapsed.start();
        for (long i = 0; elapsed.elapsed() < ms;) {
            const bool bursting = elapsed.elapsed() % 1000 < 100;
            if (!bursting && i > elapsed.elapsed() * perSecond / 1000) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            const char *junk = i % 2 ? "<LOX999>" : "\x01\xfe garbage";
            long n = socket.writeDatagram(junk, to, masterPort) > 0;
            n += socket.writeDatagram(bursting ? "<LOA100>" : junk, to, slavePort) > 0;
            sent += n;
            i += bursting ? 0 : 1;
        }
    });
    QTest::qWait(ms);
    sender.join();
    return sent;
}

} // namespace

class TestE2eLinkLoad : public QObject {
    Q_OBJECT

private slots:
    void strangerTrafficCostsNoSecond();
};

void TestE2eLinkLoad::strangerTrafficCostsNoSecond()
{
    if (QByteArray(TOLVEX_SU_PATH).isEmpty())
        QSKIP("TolvexSu is not built");
    const int masterRx = freeUdpPort();
    int slaveRx = freeUdpPort();
    while (slaveRx == masterRx)
        slaveRx = freeUdpPort();

    MasterConfig mc = masterScreenDefaults();
    mc.CName[0] = QStringLiteral("Master");
    mc.CName[1] = QStringLiteral("Slave");
    mc.IPAdd[1] = kMasterAddress;
    mc.Port1 = slaveRx;
    mc.Port2 = masterRx;
    mc.LogLevel = 3;
    mc.StartDelay = 2;
    mc.Update_On = 1;
    mc.ShutType = 4;
    SlaveConfig sc = slaveScreenDefaults();
    sc.IPAdd = kMasterAddress;
    sc.Port1 = masterRx;
    sc.Port2 = slaveRx;
    sc.LogLevel = 3;
    sc.StartDelay = 2;
    sc.ShutType = 4;
    const QDateTime now = QDateTime::currentDateTime();
    Program master(TOLVEX_MU_PATH, QStringLiteral("TolvexM"), masterConfigFileText(mc, 1, 0, now),
                   QStringLiteral("-InhibitShutdown"));
    // The master holds the machine-wide lock once it writes its log; the slave comes next.
    QVERIFY2(QTest::qWaitFor([&] { return !master.lines().isEmpty(); }, kStartMs),
             qPrintable(master.process.readAllStandardError()));
    Program slave(TOLVEX_SU_PATH, QStringLiteral("TolvexS"), slaveConfigFileText(sc, 1, 0, now),
                  QStringLiteral("-InhibitShutdown -AllowMulti"));
    const QString masterGood = QStringLiteral(", Count:    0, Comms: 2, 0, 0, 0");
    const QString slaveGood = QStringLiteral(", Count:    0, Comms: -OK-");
    QVERIFY2(QTest::qWaitFor([&] { return !master.runLines(masterGood).isEmpty() && !slave.runLines(slaveGood).isEmpty(); },
                             30000),
             qPrintable(master.lines().join('\n') + slave.lines().join('\n')));

    const long sent = strangerTraffic(quint16(masterRx), quint16(slaveRx), 5000, 8000);
    QVERIFY2(sent > 50000, qPrintable(QString::number(sent)));
    const int masterSeen = int(master.runLines(masterGood).size());
    const int slaveSeen = int(slave.runLines(slaveGood).size());
    QVERIFY(QTest::qWaitFor([&] { return master.runLines(masterGood).size() >= masterSeen + 3
                                         && slave.runLines(slaveGood).size() >= slaveSeen + 3; }, 10000));

    // Every second of Run in both logs was a connected one, through the traffic and after.
    for (const Program *p : {&master, &slave}) {
        const QString good = p == &master ? masterGood : slaveGood;
        const QStringList runs = p->runLines(good);
        QVERIFY2(runs.size() >= 10, qPrintable(runs.join('\n')));
        for (const QString &line : runs)
            QVERIFY2(line.contains(good), qPrintable(p->name + ": " + line + "\n" + p->lines().join('\n')));
        QCOMPARE(p->process.state(), QProcess::Running);
        for (const QString &line : p->lines())
            QVERIFY2(!line.contains(QLatin1String(",  Enter    , Monitor   ,")), qPrintable(line));
    }
}

QTEST_MAIN(TestE2eLinkLoad)
#include "test_e2e_link_load.moc"
