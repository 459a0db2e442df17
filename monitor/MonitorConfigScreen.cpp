// The main window's side of the configuration screen, the same in both programs.
#include "ConfigScreen.h"
#include "MonitorWindow.h"
#include "WindowHelpers.h"
#include "WindowStacking.h"
#include "mdMisc.h"
#include <QLabel>
#include <QLineEdit>

namespace tolvex {

void MonitorWindow::Config_Click()
{
    mdInit::DisableMainControls(*this);
    if (isNormalState())
        ctl.Park->setFocus();
    if (!configScreen()) {
        m_configScreen = createConfigScreen();
        if (!m_configScreen)
            return;
        m_configScreen->setLogo(ctl.Logo->pixmap());
        m_configScreen->Form_Load();
        // In the middle of the screen, and above a topmost main window (Run On Top).
        centreOnScreen(*m_configScreen, screen());
        stackOverProgram(*m_configScreen);
    }
    m_configScreen->show();
    m_configScreen->raise();
    m_configScreen->activateWindow();
}

bool MonitorWindow::closeConfigScreen()
{
    ConfigScreen *screen = configScreen();
    if (!screen)
        return false;
    screen->unload();
    m_configScreen = nullptr;
    return true;
}

ConfigScreen *MonitorWindow::configScreen() const
{
    return m_configScreen && !m_configScreen->isUnloaded() ? m_configScreen.data() : nullptr;
}

void MonitorWindow::logConfigUpdated()
{
    MonitorState &st = state();
    const int level = common().LogLevel;
    if (st.NotConfigured)
        return;
    if (level > 1)
        writeLog(QStringLiteral("Config"), QStringLiteral("Updated"));
    if (level == 3)
        mdInit::WriteLogHeader(*this, logSettings(), 1, st.LogText);
}

void MonitorWindow::restoreMainControls()
{
    mdInit::RestoreMainControls(*this);
}

void MonitorWindow::openHomePage()
{
    mdMisc::OpenWebPage(*this, QString());
}

} // namespace tolvex
