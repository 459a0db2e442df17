// What the main windows of both programs do around their dialogs, the maker's web
// site and their Close.
#include "MonitorWindow.h"
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

void MonitorWindow::Logo_Click()
{
    mdMisc::OpenWebPage(*this, QString());
}

void MonitorWindow::applyExitRight()
{
    if (!mayExit())
        mPopUpExit->setEnabled(false);
}

} // namespace tolvex

namespace mdMisc {

void DisableFormClose(tolvex::MonitorWindow &m, bool allow)
{
    m.setCloseAllowed(allow);
    RemoveCloseMenu(m, allow);
}

} // namespace mdMisc
