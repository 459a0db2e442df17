#pragma once
// A configuration screen's program, without a main window: a test host for the
// services, the program-wide flags as plain fields, and a record of what the screen
// asked of the main window.
#include "ConfigScreenHost.h"
#include "TestHost.h"
#include "TestSupport.h"
#include <QDir>
#include <QTemporaryDir>

namespace tolvex::test {

class ScreenTestHost : public ConfigScreenHost {
public:
    explicit ScreenTestHost(const QString &product = QStringLiteral("Tolvex")) : program(product) {}

    ProgramHost &programHost() override { return program; }
    bool IsAdmin() const override { return admin && mode != 4; }
    int commandMode() const override { return mode; }
    bool &dialogOpen() override { return DialogOpen; }
    int &configCountdown() override { return ConfigCountdown; }
    bool &configSaved() override { return ConfigSaved; }
    bool notConfigured() const override { return NotConfigured; }
    void clearWindowToggled() override { WindowToggled = false; }
    void restoreMainControls() override { ++restores; }
    void openHomePage() override { ++homePages; }
    void applyConfiguration() override { ++applies; }

    TestHost program;
    bool admin = true;
    int mode = 0;
    bool DialogOpen = false;
    int ConfigCountdown = 30;
    bool ConfigSaved = false;
    bool NotConfigured = false;
    bool WindowToggled = true;
    int restores = 0;
    int homePages = 0;
    int applies = 0;
};

// A temporary installation folder (Data/ and Log/) that is the working directory
// while the object lives.
class InstallFolder {
public:
    InstallFolder() : m_previous(QDir::currentPath())
    {
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        QDir::setCurrent(dir.path());
    }
    ~InstallFolder() { QDir::setCurrent(m_previous); }
    QString path(const QString &relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;

private:
    QString m_previous;
};

} // namespace tolvex::test
