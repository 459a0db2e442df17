#pragma once
// Either program, master or slave, in its own temporary installation folder: the
// rules both main windows keep are checked once against each program.
#include "MasterFixture.h"
#include "SlaveFixture.h"
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace tolvex::test {

class ProgramFixture {
public:
    explicit ProgramFixture(bool slave)
    {
        if (slave)
            m_slave = std::make_unique<SlaveFixture>();
        else
            m_master = std::make_unique<MasterFixture>();
    }

    bool isSlave() const { return m_slave != nullptr; }
    // The program's title: "Tolvex" or "Tolvex Slave".
    QString product() const { return isSlave() ? QStringLiteral("Tolvex Slave") : QStringLiteral("Tolvex"); }
    CommonConfig &config() { return isSlave() ? static_cast<CommonConfig &>(m_slave->config) : m_master->config; }
    void setAdmin(bool admin) { (isSlave() ? m_slave->admin : m_master->admin) = admin; }

    bool load(const QString &commandLine = QString())
    {
        return isSlave() ? m_slave->load(commandLine) : m_master->load(commandLine);
    }
    // One second of the program's cycle; false when the program ended in it.
    bool second() { return isSlave() ? m_slave->seconds() : m_master->second(); }
    // Runs `step`; false when the program ended in it.
    static bool runs(const std::function<void()> &step) { return MasterFixture::runs(step); }

    MonitorWindow &window() { return isSlave() ? static_cast<MonitorWindow &>(*m_slave->window) : *m_master->window; }
    RecordingDesktopService &desktop() { return isSlave() ? m_slave->desktop : m_master->desktop; }
    ScriptedMessageBoxService &boxes() { return isSlave() ? static_cast<ScriptedMessageBoxService &>(m_slave->boxes) : m_master->boxes; }
    RecordingTrayService &tray() { return isSlave() ? m_slave->tray : m_master->tray; }
    ThrowingProgramEnd &end() { return isSlave() ? m_slave->end : m_master->end; }
    FakeClock &clock() { return isSlave() ? m_slave->clock : m_master->clock; }
    QString log() const { return isSlave() ? m_slave->log() : m_master->log(); }

    MasterFixture *master() { return m_master.get(); }
    SlaveFixture *slave() { return m_slave.get(); }

private:
    std::unique_ptr<MasterFixture> m_master;
    std::unique_ptr<SlaveFixture> m_slave;
};

// The name of a data row's program.
inline const char *programName(bool slave) { return slave ? "slave" : "master"; }

// The data of a test that runs once for each program: column "slave".
inline void addProgramRows()
{
    QTest::addColumn<bool>("slave");
    QTest::newRow("master") << false;
    QTest::newRow("slave") << true;
}

// The text of a label of a window.
inline QString labelText(const QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QLatin1String(name))->text();
}

// Which of the main window's dialog controls are enabled, as "About Config Reset TestS
// Update Exit | About Config Reset Test Update" (buttons, then menu items), so that one
// comparison shows them all.
inline QString enabledControls(const MonitorWindow &w)
{
    const MonitorWindow::Controls &c = w.controls();
    QStringList on;
    for (const QPushButton *b : {c.About, c.Config, c.Reset, c.TestS, c.Update, c.Exit}) {
        if (b->isEnabled())
            on << b->objectName();
    }
    on << QStringLiteral("|");
    for (const QAction *a : {w.mPopUpAbout, w.mPopUpConfig, w.mPopUpReset, w.mPopUpTest, w.mPopUpUpdate}) {
        if (a->isEnabled())
            on << a->objectName().mid(6);
    }
    return on.join(QLatin1Char(' '));
}

} // namespace tolvex::test
