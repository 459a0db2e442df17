#include "InstanceLock.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using namespace tolvex;

// The test program doubles as the second process: started with "--hold-lock NAME"
// it tries the lock, prints "held" (and waits to be killed) or "busy" (and ends).
class TestPlatformLock : public QObject {
    Q_OBJECT

public:
    TestPlatformLock()
    {
        const QStringList args = QCoreApplication::arguments();
        const int at = args.indexOf(QStringLiteral("--hold-lock"));
        if (at >= 0 && at + 1 < args.size())
            holdLockAndWait(args.at(at + 1));
    }

private:
    [[noreturn]] static void holdLockAndWait(const QString &name)
    {
        InstanceLock lock;
        const bool found = lock.checkPrevInstance(name);
        std::puts(found ? "busy" : (lock.holdsLock() ? "held" : "failed"));
        std::fflush(stdout);
        if (!found && lock.holdsLock()) {
            for (;;)
                ::pause();
        }
        ::_exit(0);
    }

    static QString uniqueName(const char *what)
    {
        return QStringLiteral("TolvexTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(what));
    }

    // Starts a second process on `name` and returns its first line of output.
    static QByteArray startHolder(QProcess &process, const QString &name)
    {
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--hold-lock"), name});
        if (!process.waitForStarted(20000))
            return "not started";
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(20000))
                return "no answer";
        }
        return process.readLine().trimmed();
    }

    static void stop(QProcess &process)
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(20000);
        }
    }

private slots:
    void oneProcessPerNameAcrossTheMachine()
    {
        const QString name = uniqueName("machine");
        QProcess first;
        QCOMPARE(startHolder(first, name), QByteArray("held"));

        InstanceLock mine;
        QVERIFY(mine.checkPrevInstance(name));
        QVERIFY(!mine.holdsLock());
        QProcess second;
        QCOMPARE(startHolder(second, name), QByteArray("busy"));
        second.waitForFinished(20000);

        // A killed holder leaves nothing behind.
        stop(first);
        QVERIFY(!mine.checkPrevInstance(name));
        QVERIFY(mine.holdsLock());
        QProcess third;
        QCOMPARE(startHolder(third, name), QByteArray("busy"));
        stop(third);
    }

    void lockGivenBackWhenObjectEnds()
    {
        const QString name = uniqueName("scope");
        {
            InstanceLock lock;
            QVERIFY(!lock.checkPrevInstance(name));
            QVERIFY(lock.holdsLock());
            InstanceLock other;
            QVERIFY(other.checkPrevInstance(name)); // a second hold in the same process is refused too
            QVERIFY(!other.holdsLock());
        }
        QProcess holder;
        QCOMPARE(startHolder(holder, name), QByteArray("held"));
        stop(holder);
    }

    void childProcessesDoNotInheritTheLock()
    {
        const QString name = uniqueName("inherit");
        InstanceLock lock;
        QVERIFY(!lock.checkPrevInstance(name));
        QProcess child;
        QCOMPARE(startHolder(child, uniqueName("child")), QByteArray("held"));
        QVERIFY(!lock.checkPrevInstance(name, true));
        // The child still runs; had it inherited the socket, the name would stay taken.
        InstanceLock again;
        QVERIFY(!again.checkPrevInstance(name));
        QVERIFY(again.holdsLock());
        stop(child);
    }

    void oneLockPerObjectAndRelease()
    {
        const QString name = uniqueName("one");
        const QString otherName = uniqueName("two");
        InstanceLock lock;
        QVERIFY(!lock.checkPrevInstance(name));
        // Already holding its one lock: answers false and takes nothing.
        QVERIFY(!lock.checkPrevInstance(otherName));
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
    }

    void extraHoldsAndBadNames()
    {
        const QString name = uniqueName("extra");
        InstanceLock lock;
        lock.holdExtra(name);
        lock.holdExtra(name); // already taken: ignored
        QVERIFY(!lock.holdsLock());
        InstanceLock other;
        QVERIFY(other.checkPrevInstance(name));

        // Names that cannot be bound are "no other instance", with nothing held.
        QVERIFY(!other.checkPrevInstance(QString()));
        QVERIFY(!other.holdsLock());
        QVERIFY(!other.checkPrevInstance(QString(200, QLatin1Char('L'))));
        QVERIFY(!other.holdsLock());
        other.holdExtra(QString());
    }
};

QTEST_MAIN(TestPlatformLock)
#include "test_platform_lock.moc"
