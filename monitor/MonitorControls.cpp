// Enabling and disabling the main window's controls around its dialogs and test runs.
#include "MonitorWindow.h"
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace mdInit {

void DisableMainControls(tolvex::MonitorWindow &m)
{
    const tolvex::MonitorWindow::Controls &c = m.controls();
    c.TestS->setEnabled(false);
    c.Config->setEnabled(false);
    if (m.state().RunState == 2)
        m.mPopUpCancel->setEnabled(false);
    else
        c.Reset->setEnabled(false);
    c.About->setEnabled(false);
    for (QAction *a : {m.mPopUpAbout, m.mPopUpConfig, m.mPopUpReset, m.mPopUpTest})
        a->setEnabled(false);
}

void DisableDialogButtons(tolvex::MonitorWindow &m)
{
    const tolvex::MonitorWindow::Controls &c = m.controls();
    c.About->setEnabled(false);
    c.Config->setEnabled(false);
    c.Update->setEnabled(false);
    for (QAction *a : {m.mPopUpAbout, m.mPopUpConfig, m.mPopUpUpdate})
        a->setEnabled(false);
}

void RestoreMainControls(tolvex::MonitorWindow &m)
{
    const tolvex::MonitorWindow::Controls &c = m.controls();
    const bool allowed = m.mayExit();
    if (allowed) {
        c.TestS->setEnabled(true);
        c.Config->setEnabled(true);
    }
    if (m.state().RunState == 2)
        m.mPopUpCancel->setEnabled(true);
    else
        c.Reset->setEnabled(true);
    c.About->setEnabled(true);
    m.mPopUpAbout->setEnabled(true);
    if (allowed)
        m.mPopUpConfig->setEnabled(true);
    m.mPopUpReset->setEnabled(true);
    if (allowed)
        m.mPopUpTest->setEnabled(true);
    if (!m.state().UpdaterBusy)
        m.Update_Inhibit(false);
    if (m.isNormalState())
        c.Park->setFocus();
}

} // namespace mdInit
