// What the main windows of both programs do around their dialogs (the About box and
// the update window), the maker's web site and their popup menu.
#include "MonitorWindow.h"
#include "UpdateWindowHost.h"
#include "frmAbout.h"
#include "mdMisc.h"
#include <QAction>
#include <QLineEdit>

namespace tolvex {

void MonitorWindow::About_Click()
{
    mdInit::DisableMainControls(*this);
    if (isNormalState())
        ctl.Park->setFocus();
    if (!m_about)
        m_about = std::make_unique<frmAbout>(*this);
    m_about->open();
}

bool MonitorWindow::aboutOpen() const
{
    return m_about && m_about->isLoaded();
}

bool MonitorWindow::closeAbout()
{
    if (!aboutOpen())
        return false;
    m_about->unload();
    return true;
}

int MonitorWindow::closeIdleDialogs()
{
    // A countdown left at 0 by a dialog closed earlier closes nothing: only a dialog
    // that is open is unloaded.
    const MonitorState &st = state();
    int closed = 0;
    if (st.AboutCountdown <= 0 && st.DialogOpen && closeAbout())
        ++closed;
    if (st.ConfigCountdown <= 0 && st.DialogOpen && closeConfigScreen())
        ++closed;
    return closed;
}

void MonitorWindow::holdForOpenDialogs()
{
    if (aboutOpen() || configScreen())
        state().DialogOpen = true;
}

void MonitorWindow::dialogClosed()
{
    state().DialogOpen = aboutOpen() || configScreen();
}

void MonitorWindow::Update_Click()
{
    updates->beginCheck(true);
    // The master's button moves the focus to Park; the slave's leaves it where it is.
    if (!isSlave() && isNormalState())
        ctl.Park->setFocus();
    updates->load(true);
    // A check by hand moves the master's next automatic check a day on.
    updates->setNextUpdateCheck(svc.clock.now().addSecs(24 * 3600));
}

void MonitorWindow::Update_Inhibit(bool UpdateControl)
{
    updates->inhibit(UpdateControl);
}

void MonitorWindow::Logo_Click()
{
    mdMisc::OpenWebPage(*this, QString());
}

void MonitorWindow::applyMenuRights()
{
    // The items follow their buttons, whatever enabled them before (a reset of the
    // master gives them to everybody): Close, Configure and Test only for those who may,
    // Update not while a check runs.
    if (!mayExit()) {
        for (QAction *a : {mPopUpExit, mPopUpConfig, mPopUpTest})
            a->setEnabled(false);
    }
    if (state().UpdaterBusy)
        mPopUpUpdate->setEnabled(false);
}

} // namespace tolvex
