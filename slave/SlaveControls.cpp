// Enabling and disabling the slave's controls around its dialogs and test runs.
#include "TolvexSMain.h"
#include "ui_TolvexSMain.h"
#include <QAction>

namespace mdInit {

void DisableMainControls(TolvexSMain &m)
{
    Ui::TolvexSMain &ui = *m.ui;
    ui.TestS->setEnabled(false);
    ui.Config->setEnabled(false);
    if (m.st.RunState == 2)
        m.mPopUpCancel->setEnabled(false);
    else
        ui.Reset->setEnabled(false);
    ui.About->setEnabled(false);
    for (QAction *a : {m.mPopUpAbout, m.mPopUpConfig, m.mPopUpReset, m.mPopUpTest})
        a->setEnabled(false);
}

void DisableDialogButtons(TolvexSMain &m)
{
    Ui::TolvexSMain &ui = *m.ui;
    ui.About->setEnabled(false);
    ui.Config->setEnabled(false);
    ui.Update->setEnabled(false);
    for (QAction *a : {m.mPopUpAbout, m.mPopUpConfig, m.mPopUpUpdate})
        a->setEnabled(false);
}

void RestoreMainControls(TolvexSMain &m)
{
    Ui::TolvexSMain &ui = *m.ui;
    const bool allowed = m.IsAdmin() || m.cfg.UserExitA == 2;
    if (allowed) {
        ui.TestS->setEnabled(true);
        ui.Config->setEnabled(true);
    }
    if (m.st.RunState == 2)
        m.mPopUpCancel->setEnabled(true);
    else
        ui.Reset->setEnabled(true);
    ui.About->setEnabled(true);
    m.mPopUpAbout->setEnabled(true);
    if (allowed) {
        m.mPopUpConfig->setEnabled(true);
        m.mPopUpTest->setEnabled(true);
    }
    m.mPopUpReset->setEnabled(true);
    if (!m.st.UpdaterBusy) {
        ui.Update->setEnabled(true);
        m.mPopUpUpdate->setEnabled(true);
    }
    if (m.isNormalState())
        ui.Park->setFocus();
}

} // namespace mdInit
