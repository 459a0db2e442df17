#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tolvex::test {

// A D-Bus message bus of the test's own: a dbus-daemon listening on a Unix socket in
// a temporary folder, on which any name may be owned. It is stopped when the object
// goes, and dies with the test process if the test never gets that far.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return m_daemon.state() == QProcess::Running && !m_address.isEmpty(); }
    // The address the daemon gave, for QDBusConnection::connectToBus and the environment.
    QString address() const { return m_address; }
    QString error() const { return m_error; }
    qint64 processId() const { return m_daemon.processId(); }
    // True when `address` leads to this bus's socket and nowhere else.
    bool isAddressOfThisBus(const QString &address) const;
    // The bus goes away, as a crashed daemon would.
    void stop();

    // Points the system and the session bus addresses of this process's environment at
    // `address` and removes the starter bus's, so that nothing in the process that
    // picks a bus from the environment can reach a bus of the computer.
    static void pointEnvironmentAt(const QByteArray &address);
    // An address at which no bus can ever listen (a path below a device file).
    static QByteArray nowhere() { return QByteArrayLiteral("unix:path=/dev/null/no-bus"); }

private:
    QString socketPath() const;

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace tolvex::test

// The main() of a test that talks to a bus: before anything else, whatever asks the
// environment for a bus finds none of the computer's.
#define TOLVEX_PRIVATE_BUS_TEST_MAIN(TestObject)                                              \
    int main(int argc, char **argv)                                                           \
    {                                                                                         \
        tolvex::test::PrivateBus::pointEnvironmentAt(tolvex::test::PrivateBus::nowhere());    \
        QCoreApplication app(argc, argv);                                                     \
        TestObject test;                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return QTest::qExec(&test, argc, argv);                                               \
    }
