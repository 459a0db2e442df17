#include "InstanceLock.h"
#include <QCoreApplication>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

using namespace tolvex;

namespace {

QString uniqueName(const char *what)
{
    return QStringLiteral("TolvexTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(what);
}

// A second process on `name` (this program, see the constructor): its first line of output.
QByteArray startHolder(QProcess &process, const QString &name)
{
    process.start(QCoreApplication::applicationFilePath(), {"--hold-lock", name});
    if (!process.waitForStarted(20000))
        return "not started";
    while (!process.canReadLine())
        if (!process.waitForReadyRead(20000))
            return "no answer";
    return process.readLine().trimmed();
}

void stop(QProcess &process)
{
    process.kill();
    process.waitForFinished(20000);
}

} // namespace

class TestPlatformLock : public QObject {
    Q_OBJECT

public:
    // Started with "--hold-lock NAME" the test program tries the lock, prints "held"
    // (and waits to be killed) or "busy" (and ends).
    TestPlatformLock()
    {
        const QStringList args = QCoreApplication::arguments();
        if (args.size() != 3 || args[1] != "--hold-lock")
            return;
        InstanceLock lock;
        const bool found = lock.checkPrevInstance(args[2]);
        std::puts(found ? "busy" : (lock.holdsLock() ? "held" : "failed"));
        std::fflush(stdout);
        while (!found && lock.holdsLock())
            ::pause();
        ::_exit(0);
    }

private slots:
    void oneProcessPerNameAcrossTheMachine()
    {
        const QString name = uniqueName("machine");
        QProcess first, second, third;
        QCOMPARE(startHolder(first, name), QByteArray("held"));
        InstanceLock mine;
        QVERIFY(mine.checkPrevInstance(name));
        QVERIFY(!mine.holdsLock());
        QCOMPARE(startHolder(second, name), QByteArray("busy"));
        // A killed holder leaves nothing behind.
        stop(first);
        QVERIFY(!mine.checkPrevInstance(name));
        QVERIFY(mine.holdsLock());
        QCOMPARE(startHolder(third, name), QByteArray("busy"));
        // A child started while the lock is held does not inherit it.
        QProcess child;
        QCOMPARE(startHolder(child, uniqueName("child")), QByteArray("held"));
        QVERIFY(!mine.checkPrevInstance(name, true));
        InstanceLock again;
        QVERIFY(!again.checkPrevInstance(name));
        QVERIFY(again.holdsLock());
        for (QProcess *process : {&second, &third, &child})
            stop(*process);
    }

    void oneLockPerObjectReleaseAndExtras()
    {
        const QString name = uniqueName("one"), otherName = uniqueName("two"), extra = uniqueName("extra");
        {
            InstanceLock scoped;
            QVERIFY(!scoped.checkPrevInstance(name));
            QVERIFY(InstanceLock().checkPrevInstance(name));  // a second hold in the same process is refused too
        }
        InstanceLock lock;  // given back when the object ended
        QVERIFY(!lock.checkPrevInstance(name));
        QVERIFY(!lock.checkPrevInstance(otherName));  // already holding its one lock: takes nothing
        InstanceLock probe;
        QVERIFY(!probe.checkPrevInstance(otherName));
        QVERIFY(probe.holdsLock());
        QVERIFY(!probe.checkPrevInstance(otherName, true));
        QVERIFY(!probe.holdsLock());
        // Release gives the held lock back, whatever name is passed.
        QVERIFY(!lock.checkPrevInstance(otherName, true));
        QVERIFY(!lock.holdsLock());
        QVERIFY(!probe.checkPrevInstance(name));
        QVERIFY(probe.holdsLock());
        // Release with nothing held tries the lock like a plain call.
        InstanceLock third;
        QVERIFY(third.checkPrevInstance(name, true));
        QVERIFY(!third.checkPrevInstance(otherName, true));
        QVERIFY(third.holdsLock());

        // Extra holds are taken once, never counted as the one lock; names that cannot
        // be bound are "no other instance", with nothing held.
        lock.holdExtra(extra);
        lock.holdExtra(extra);
        QVERIFY(!lock.holdsLock());
        QVERIFY(InstanceLock().checkPrevInstance(extra));
        for (const QString &bad : {QString(), QString(200, 'L')}) {
            QVERIFY(!lock.checkPrevInstance(bad));
            QVERIFY(!lock.holdsLock());
            lock.holdExtra(bad);
        }
    }
};

QTEST_MAIN(TestPlatformLock)
#include "test_platform_lock.moc"
