// The master's monitoring cycle: the half-second timer and the three state steps.
#include "LogFile.h"
#include "MasterLink.h"
#include "TolvexMMain.h"
#include "ShutTypes.h"
#include "StatusSetters.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"

using namespace tolvex;

void TolvexMMain::tmrRefresh_Timer()
{
    // The host row's colour of this tick is shown once, when the tick ends (however).
    struct TickScope {
        TolvexMMain &m;
        explicit TickScope(TolvexMMain &owner) : m(owner) { ++m.m_tickDepth; }
        ~TickScope()
        {
            --m.m_tickDepth;
            m.showHostCellColours();
        }
    } tick(*this);
    // Whatever waits on the rows is judged in the second it arrived in, even should the
    // sockets' own arrival events be late or lost.
    link->drainAll();
    if (st.CycleTick == 1) {
        mdInit::RefreshComputerList(*this);
        holdForOpenDialogs();
        if (!st.DialogOpen && !st.NotConfigured && st.RunState == 1)
            RunTick();
        if (!st.DialogOpen && !st.NotConfigured && st.RunState == 0)
            ActivationTick();
        if (!st.DialogOpen && !st.NotConfigured && st.RunState == 2)
            ShutdownTick();
        // An idle About box or configuration screen is unloaded (only one that is open).
        closeIdleDialogs();
        CheckUpdateSchedule();
        st.CycleTick = 3;
        for (int i = 1; i <= 4; ++i) {
            st.RemoteLetter[i].clear();
            st.CommsState[i] = 0;
        }
    }
    st.CycleTick -= 1;
    if (!st.NotConfigured && (st.RunState == 1 || (st.RunState == 0 && st.Count == 1)))
        SendToRemotes();
}

void TolvexMMain::ActivationTick()
{
    if (stepActivation())
        st.DelElapsed = 0;
}

void TolvexMMain::RunTick()
{
    if (st.NoComms == 1) {
        st.Count += 1;
        if (cfg.Del_On == 2)
            st.DelElapsed += 1;
    } else {
        st.Count = 0;
    }
    if (st.DelElapsed > st.DelLimit)
        st.DelElapsed = st.DelLimit;

    // The status line is worked out whole and then shown once: a steady second sets
    // nothing on the window.
    QString text;
    quint32 colour = colors::kDarkGreen;
    if (st.NoComms != 0) {
        text = QStringLiteral("No connections for the last ") + shortNumber(st.Count) + QStringLiteral("s");
        colour = colors::kOrangeRed;
    }
    if (cfg.Del_On == 2) {
        if (st.NoComms == 0)
            text += QStringLiteral(" - ");
        text += QStringLiteral(" - Delay Left: ") + QString::number(st.DelLimit - st.DelElapsed) + QStringLiteral("s");
        if (st.DelElapsed > st.CommsLimit)
            colour = colors::kOrange;
    }
    setTextIfChanged(ui->Counter, text);
    colors::setForeColor(ui->Counter, colour);

    showLinkActivity();
    if (stopTimeReached())
        st.StopReached = 1;
    if (cfg.Del_On == 2 && st.DelElapsed >= st.DelLimit)
        st.StopReached = 1;
    finishRunStep();
}

void TolvexMMain::ShutdownTick()
{
    // The countdown may open a box: the host row shows its colour of this tick first.
    showHostCellColours();
    if (!beginCountdownStep())
        return;
    const int timeout = countdownBoxTimeout();
    if (st.TestMode) {
        // A test run shows its box in its first countdown step and is re-armed.
        showTestRunBox(timeout);
        mdInit::ResetRun(*this);
        mdInit::ShowStatusText(*this);
        SetTrayIcon(QStringLiteral("Activate"));
        mPopUpAbout->setEnabled(true);
        if (mayExit())
            mPopUpConfig->setEnabled(true);
        return;
    }
    if (st.Count == 0 && cfg.LogLevel >= 2)
        mdInit::WriteLogLine(*this, QStringLiteral("Enter"), st.ActionName);
    if (cfg.NoWarn == 1) {
        colors::setForeColor(ui->Counter, colors::kWhite);
        colors::setBackColor(ui->Counter, colors::kOrange);
        colors::setBold(ui->Counter, true);
        setTextIfChanged(ui->Counter, QStringLiteral(" ") + shut::countdownText(cfg.ShutType, st.AppTitle)
                                          + QString::number(st.ShutLimit - st.Count) + QStringLiteral("s"));
    }
    showCountdownControls();
    finishCountdownStep();
}
