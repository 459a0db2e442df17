#pragma once
// A master in a temporary installation folder, with every outside service faked.
#include "AppStartup.h"
#include "ConfigFile.h"
#include "TestSupport.h"
#include "TolvexMMain.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace tolvex::test {

// Scripted boxes that can run code while a box is "open", as the timer does.
struct FixtureBoxes : ScriptedMessageBoxService {
    std::function<void()> whileOpen;
    BoxAnswer show(const BoxRequest &request) override
    {
        if (whileOpen)
            whileOpen();
        return ScriptedMessageBoxService::show(request);
    }
};

class MasterFixture {
public:
    MasterFixture()
        : m_previousDir(QDir::currentPath())
    {
        quietOffscreenWindowWarnings();
        config = masterScreenDefaults();
        config.CName[0] = QStringLiteral("Master");
        config.StartDelay = 3;
        config.CPUDelay = 5;
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        QDir::setCurrent(dir.path());
    }
    ~MasterFixture() { QDir::setCurrent(m_previousDir); }

    QString path(const char *relative) const { return dir.filePath(QLatin1String(relative)); }
    QString log() const { return QString::fromUtf8(readFile(path("Log/TolvexM.log"))); }
    // The log's "Event|Detail" pairs (eventPairs).
    QStringList pairs(const QString &from = QString()) const { return eventPairs(log(), from); }
    QByteArray configText() const { return masterConfigFileText(config, 1, 0, clock.now()).toUtf8(); }
    void writeConfig(const QByteArray &bytes) { writeFile(path("Data/TolvexM.ini"), bytes); }

    // Writes the configuration (unless `write` is false), creates the window and starts
    // it as the program does; false when the program ended during start-up.
    bool load(const QString &commandLine = QString(), bool write = true)
    {
        if (write)
            writeConfig(configText());
        ProgramServices services{boxes, end, clock, tray, power, desktop, [this](int mode) { return admin && mode != 4; },
                                 QStringLiteral("TolvexMu")};
        TolvexMMain::Options options;
        options.manualTimer = true;
        window = std::make_unique<TolvexMMain>(services, commandLine, options);
        return runs([this] { app::startMainWindow(*window); });
    }

    // Runs `step`; false when the program ended in it.
    static bool runs(const std::function<void()> &step)
    {
        try {
            step();
        } catch (const ProgramEndedException &) {
            return false;
        }
        return true;
    }

    // One second of the cycle: two ticks of the half-second timer, the clock moving on.
    bool second()
    {
        return runs([this] {
            window->tmrRefresh_Timer();
            clock.advanceSeconds(1);
            window->tmrRefresh_Timer();
        });
    }

    QTemporaryDir dir;
    MasterConfig config;
    FixtureBoxes boxes;
    ThrowingProgramEnd end;
    FakeClock clock;
    RecordingTrayService tray;
    RecordingPowerBackend power;
    RecordingDesktopService desktop;
    bool admin = true;
    std::unique_ptr<TolvexMMain> window;

private:
    QString m_previousDir;
};

} // namespace tolvex::test
