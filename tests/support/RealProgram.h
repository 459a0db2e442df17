#pragma once
#include "ConfigRecord.h"
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace tolvex::test {

// A real TolvexMu or TolvexSu in an installation folder of its own (Data/ and an empty
// Log/), started headless: its boxes and windows go to its standard error and no box
// waits for an answer. It dies with the test process, and is killed when it goes.
class RealProgram {
public:
    static constexpr int kStartMs = 10000;

    // `name` names its files: Data/<name>.ini and Log/<name>.log.
    explicit RealProgram(const QString &name);
    // Installs `configuration` (when not null) and starts `executable` at once.
    RealProgram(const char *executable, const QString &name, const QString &configuration,
                const QStringList &arguments);
    ~RealProgram();
    RealProgram(const RealProgram &) = delete;
    RealProgram &operator=(const RealProgram &) = delete;

    // The environment a program is started with: the test's own, headless.
    static QProcessEnvironment environment();

    QString path(const QString &relative) const { return dir.filePath(relative); }
    bool install(const QString &configuration);
    bool start(const char *executable, const QStringList &arguments,
               const QProcessEnvironment &env = environment());

    QString log() const;
    QStringList logLines() const; // without the empty ones
    // All the program wrote to its standard error so far.
    QString errors();

    QTemporaryDir dir;
    QString name;
    QProcess process;

private:
    QString m_errors;
};

// Waits at most `ms` for `condition`, the event loop running.
bool eventually(const std::function<bool()> &condition, int ms = 30000);

// A master and its slaves on one computer, as the end-to-end tests run them: both log
// every second, activate after 2 s, and a countdown only closes them. The master polls
// `rows` slaves at `address` on port1 and receives on port2 and the ports after it; a
// slave answers to port1 and receives on port2.
void linkMaster(MasterConfig &cfg, const QString &address, int port1, int port2, int rows = 1);
SlaveConfig linkedSlave(const QString &address, int port1, int port2);

} // namespace tolvex::test
