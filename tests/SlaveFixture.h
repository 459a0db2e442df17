#pragma once
// A slave in a temporary installation folder, with every outside service faked.
#include "ConfigFile.h"
#include "TestSupport.h"
#include "TolvexSMain.h"
#include <QDir>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <functional>
#include <memory>
#include <vector>

namespace tolvex::test {

// `count` distinct UDP ports that were free a moment ago (bound to port 0 together,
// then released).
inline std::vector<int> freeUdpPorts(int count)
{
    std::vector<std::unique_ptr<QUdpSocket>> sockets;
    std::vector<int> ports;
    for (int i = 0; i < count; ++i) {
        sockets.push_back(std::make_unique<QUdpSocket>());
        sockets.back()->bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress);
        ports.push_back(sockets.back()->localPort());
    }
    return ports;
}

// How a run of seconds through a countdown came out.
enum class Outcome { Ended, Rearmed, StillRunning };

// The loopback address the test master uses: every part 1 to 255, as the address rule
// asks, and local on every Linux system.
inline const QString kMasterAddress = QStringLiteral("127.1.1.1");

class SlaveFixture {
public:
    SlaveFixture()
        : m_previousDir(QDir::currentPath())
    {
        config = slaveScreenDefaults();
        config.IPAdd = kMasterAddress;
        config.StartDelay = 3;
        config.CPUDelay = 5;
        const std::vector<int> ports = freeUdpPorts(2);
        config.Port1 = ports[0];
        config.Port2 = ports[1];
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        QDir::setCurrent(dir.path());
    }
    ~SlaveFixture()
    {
        window.reset();
        QDir::setCurrent(m_previousDir);
    }

    void writeConfig() { writeConfigText(slaveConfigFileText(config, 1, 0, clock.now())); }
    void writeConfigText(const QString &text) { writeFile(path("Data/TolvexS.ini"), text.toUtf8()); }
    QString path(const char *relative) const { return dir.filePath(QLatin1String(relative)); }
    QString log() const { return QString::fromUtf8(readFile(path("Log/TolvexS.log"))); }
    QStringList logLines() const { return log().split(QStringLiteral("\r\n")); }
    // The event lines written since the start header (time stripped).
    QStringList events() const
    {
        QStringList out;
        for (const QString &line : logLines()) {
            if (line.size() > 10 && line.at(2) == QLatin1Char(':') && line.at(8) == QLatin1Char(','))
                out << line.mid(10);
        }
        return out;
    }

    // The event and detail words of every event line, as "Event|Detail".
    QStringList pairs() const
    {
        QStringList out;
        for (const QString &line : events()) {
            const QStringList fields = line.split(QStringLiteral(", "));
            if (fields.size() >= 2)
                out << fields[0].trimmed() + QLatin1Char('|') + fields[1].trimmed();
        }
        return out;
    }
    // The pairs from the first one equal to `from` on.
    QStringList pairsFrom(const QString &from) const
    {
        const QStringList all = pairs();
        const int at = int(all.indexOf(from));
        return at < 0 ? QStringList() : all.mid(at);
    }

    // Creates the window (without loading it).
    TolvexSMain &make(const QString &commandLine = QString())
    {
        ProgramServices services{*boxService, end, clock, tray, power,
                                 [this](int mode) { return admin && mode != 4; }, QStringLiteral("TolvexSu")};
        TolvexSMain::Options options;
        options.manualTimer = manualTimer;
        window.reset();
        window = std::make_unique<TolvexSMain>(services, commandLine, options);
        return *window;
    }

    // Writes the configuration, creates the window and runs its load handler.
    // Returns false when the program ended during start-up.
    bool load(const QString &commandLine = QString())
    {
        writeConfig();
        make(commandLine);
        return runs([this] { window->Form_Load(); });
    }

    // Runs `step`; false when the program ended in it.
    bool runs(const std::function<void()> &step)
    {
        try {
            step();
        } catch (const ProgramEndedException &) {
            return false;
        }
        return true;
    }

    // One second of the cycle, the clock moving on with it.
    bool second()
    {
        return runs([this] {
            window->tmrRefresh_Timer();
            clock.advanceSeconds(1);
        });
    }
    bool seconds(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!second())
                return false;
        }
        return true;
    }

    // Runs seconds until the run is in `state`; false when the program ended or it
    // took more than a minute.
    bool reach(int state)
    {
        for (int i = 0; i < 60 && window->st.RunState != state; ++i) {
            if (!second())
                return false;
        }
        return window->st.RunState == state;
    }

    // Runs seconds until a countdown has ended the program or re-armed the run (a
    // move from Run or the countdown back to the activation delay).
    Outcome throughCountdown()
    {
        for (int i = 0; i < 60; ++i) {
            const int before = window->st.RunState;
            if (!second())
                return Outcome::Ended;
            if (before != 0 && window->st.RunState == 0)
                return Outcome::Rearmed;
        }
        return Outcome::StillRunning;
    }

    QTemporaryDir dir;
    SlaveConfig config;
    ScriptedMessageBoxService boxes;
    MessageBoxService *boxService = &boxes; // a test may put another service in
    ThrowingProgramEnd end;
    FakeClock clock;
    RecordingTrayService tray;
    RecordingPowerBackend power;
    bool admin = true;
    bool manualTimer = true; // false: the window's own one-second timer drives the cycle
    std::unique_ptr<TolvexSMain> window;

private:
    QString m_previousDir;
};

} // namespace tolvex::test
