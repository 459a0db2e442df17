// Reset and test of the slave's monitoring run, by the user or by the master.
#include "TolvexSMain.h"
#include "ui_TolvexSMain.h"
#include <QAction>

using namespace tolvex;

void TolvexSMain::Reset_Click()
{
    if (cfg.LogLevel >= 2)
        mdInit::WriteLogLine(*this, QStringLiteral("Reset"), runStateWord());
    RestartMonitoring();
}

void TolvexSMain::RestartMonitoring()
{
    showResetNotCancel();
    for (QAction *a : {mPopUpAbout, mPopUpMin, mPopUpRestore, mPopUpUpdate})
        a->setEnabled(true);
    if (IsAdmin() || cfg.UserExitA == 2) {
        for (QAction *a : {mPopUpConfig, mPopUpTest, mPopUpExit})
            a->setEnabled(true);
    }
    Form_Resize();
    SetTrayIcon(QStringLiteral("Activate"));
    st.ApplyStartMin = st.RunState == 2 && !st.TestMode && st.CommandMode != 1;
    mdInit::ResetRun(*this);
    mdInit::ShowStatusText(*this);
    if (isNormalState())
        ui->Park->setFocus();
}

void TolvexSMain::TestS_Click()
{
    if (st.NotConfigured)
        return;
    mdInit::ResetRun(*this);
    st.TestMode = true;
    st.CommsLimit = 5;
    st.Count = 2;
    st.ApplyStartMin = false;
    if (cfg.LogLevel > 1)
        mdInit::WriteLogLine(*this, QStringLiteral("Enter"), QStringLiteral("Test"));
    mdInit::ShowStatusText(*this);
    setWindowTitle(QStringLiteral("Tolvex Slave - Test Mode"));
    showResetNotCancel();
    mdInit::DisableDialogButtons(*this);
    if (isNormalState())
        ui->Park->setFocus();
    SetTrayIcon(QStringLiteral("Activate"));
}
