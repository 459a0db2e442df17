#pragma once
// A slave in a temporary installation folder, with every outside service faked.
#include "AppStartup.h"
#include "ConfigFile.h"
#include "TestSupport.h"
#include "TolvexSMain.h"
#include <QDir>
#include <QScopedValueRollback>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <functional>
#include <memory>

namespace tolvex::test {

// The test master's address: every part 1 to 255, as the address rule asks, and local
// on every Linux system.
inline const QString kMasterAddress = QStringLiteral("127.1.1.1");

class SlaveFixture {
public:
    // Scripted boxes behind which the one-second timer, while enabled, goes on ticking
    // as it does behind a real box (not behind a box those ticks open: a step that
    // repeats shows as a second box, not as endless recursion).
    struct Boxes : ScriptedMessageBoxService {
        SlaveFixture *owner = nullptr;
        bool ticking = false;
        std::function<void()> whileOpen; // also run while a box is open
        BoxAnswer show(const BoxRequest &request) override
        {
            if (whileOpen)
                whileOpen();
            const BoxAnswer answer = ScriptedMessageBoxService::show(request);
            if (!ticking && owner->window) {
                const QScopedValueRollback<bool> guard(ticking, true);
                for (int i = 0; i < 3 && owner->window->timerEnabled(); ++i)
                    owner->window->tmrRefresh_Timer();
            }
            return answer;
        }
    };

    SlaveFixture()
        : m_previousDir(QDir::currentPath())
    {
        quietOffscreenWindowWarnings();
        boxes.owner = this;
        config = slaveScreenDefaults();
        config.IPAdd = kMasterAddress;
        config.StartDelay = 3;
        config.CPUDelay = 5;
        config.Port1 = freeUdpPort();
        do
            config.Port2 = freeUdpPort();
        while (config.Port2 == config.Port1);
        QDir(dir.path()).mkpath(QStringLiteral("Log")); // Data/ comes with the configuration file
        QDir::setCurrent(dir.path());
    }
    ~SlaveFixture()
    {
        window.reset();
        QDir::setCurrent(m_previousDir);
    }

    QString path(const char *relative) const { return dir.filePath(QLatin1String(relative)); }
    QString log() const { return QString::fromUtf8(readFile(path("Log/TolvexS.log"))); }

    // The log's "Event|Detail" pairs (eventPairs).
    QStringList pairs(const QString &from = QString()) const { return eventPairs(log(), from); }

    // Writes the configuration (`text`, else the record's), creates the window and starts
    // it as the program does. False when the program ended during start-up.
    bool load(const QString &commandLine = QString(), const QString &text = QString())
    {
        writeFile(path("Data/TolvexS.ini"),
                  (text.isNull() ? slaveConfigFileText(config, 1, 0, clock.now()) : text).toUtf8());
        ProgramServices services{boxes, end, clock, tray, power, desktop, [this](int mode) { return admin && mode != 4; },
                                 QStringLiteral("TolvexSu")};
        TolvexSMain::Options options;
        options.manualTimer = manualTimer;
        window.reset();
        window = std::make_unique<TolvexSMain>(services, commandLine, options);
        return runs([this] { app::startMainWindow(*window); });
    }

    // Runs `step`, or `n` seconds of the cycle with the clock moving on; false when the
    // program ended in it.
    bool runs(const std::function<void()> &step)
    {
        try {
            step();
            return true;
        } catch (const ProgramEndedException &) {
            return false;
        }
    }
    bool seconds(int n = 1)
    {
        return runs([this, n] {
            for (int i = 0; i < n; ++i, clock.advanceSeconds(1))
                window->tmrRefresh_Timer();
        });
    }

    // Runs seconds until the run is in `state` (at most a minute).
    bool reach(int state)
    {
        for (int i = 0; i < 60 && window->st.RunState != state; ++i) {
            if (!seconds())
                return false;
        }
        return window->st.RunState == state;
    }

    QTemporaryDir dir;
    SlaveConfig config;
    Boxes boxes;
    ThrowingProgramEnd end;
    FakeClock clock;
    RecordingTrayService tray;
    RecordingPowerBackend power;
    RecordingDesktopService desktop;
    bool admin = true;
    bool manualTimer = true; // false: the window's own one-second timer drives the cycle
    std::unique_ptr<TolvexSMain> window;

private:
    QString m_previousDir;
};

} // namespace tolvex::test
