// Reset and test of the master's monitoring run.
#include "LinkDatagram.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QLineEdit>

using namespace tolvex;

namespace {

void clearRows(TolvexMMain &m, int first)
{
    for (int i = first; i <= 4; ++i) {
        colors::setForeColor(m.Type1[i], colors::kOrangeRed);
        m.Type1[i]->setText(QStringLiteral(" "));
        colors::setForeColor(m.Comp[i], colors::kBlack);
        m.st.RemoteLetter[i].clear();
    }
}

} // namespace

void TolvexMMain::Reset_Click()
{
    if (cfg.LogLevel >= 2)
        mdInit::WriteLogLine(*this, QStringLiteral("Reset"), runStateWord());
    RestartMonitoring();
    st.TxMessage = link::kReset;
    SendToRemotes();
}

void TolvexMMain::RestartMonitoring()
{
    showResetNotCancel();
    for (QAction *a : {mPopUpAbout, mPopUpConfig, mPopUpMin, mPopUpRestore, mPopUpTest, mPopUpUpdate})
        a->setEnabled(true);
    // Close only for those who may end the watchdog.
    mPopUpExit->setEnabled(mayExit());
    for (int i = 1; i <= 4; ++i)
        Shut1[i]->clear();
    SetTrayIcon(QStringLiteral("Activate"));
    st.ApplyStartMin = st.RunState == 2 && !st.TestMode && st.CommandMode != 1;
    mdInit::ResetRun(*this);
    clearRows(*this, 0);
    mdInit::ShowStatusText(*this);
    mdInit::RefreshComputerList(*this);
    if (isNormalState())
        ui->Park->setFocus();
}

void TolvexMMain::TestS_Click()
{
    if (st.NotConfigured)
        return;
    mdInit::ResetRun(*this);
    for (int i = 1; i <= 4; ++i)
        Shut1[i]->clear();
    clearRows(*this, 1);
    mdInit::RefreshComputerList(*this);
    st.TestMode = true;
    st.CommsLimit = 5;
    st.DelLimit = 7;
    st.Count = 2;
    st.ApplyStartMin = false;
    if (cfg.LogLevel > 1)
        mdInit::WriteLogLine(*this, QStringLiteral("Enter"), QStringLiteral("Test"));
    mdInit::ShowStatusText(*this);
    setWindowTitle(st.AppTitle + QStringLiteral(" - Test Mode"));
    showResetNotCancel();
    mdInit::DisableDialogButtons(*this);
    if (isNormalState())
        ui->Park->setFocus();
    SetTrayIcon(QStringLiteral("Activate"));
    st.TxMessage = link::kTest;
    SendToRemotes();
}
