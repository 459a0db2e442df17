// The slave's monitoring cycle: the one-second timer and the three state steps.
#include "LogFile.h"
#include "ShutTypes.h"
#include "StatusSetters.h"
#include "TolvexSMain.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"

using namespace tolvex;

void TolvexSMain::tmrRefresh_Timer()
{
    // Whatever waits on the socket is taken in the second it arrived in, even should
    // the socket's own arrival events be late or lost. A reset or test among it arms a
    // new run and starts the timer afresh: as for a command taken between two ticks,
    // the new run's first step is a whole second away, not in this tick.
    const int starts = timerStarts();
    udpServ->drain();
    if (timerStarts() != starts)
        return;
    holdForOpenDialogs();
    // Each test reads RunState afresh: a move from 1 to 2 runs the first countdown
    // step in the same second, a move from 0 to 1 waits for the next one.
    if (!st.DialogOpen && !st.NotConfigured && st.RunState == 1)
        RunTick();
    if (!st.DialogOpen && !st.NotConfigured && st.RunState == 0)
        ActivationTick();
    if (!st.DialogOpen && !st.NotConfigured && st.RunState == 2)
        ShutdownTick();
    // An idle About box or configuration screen is unloaded (only one that is open),
    // also while not configured; the main window's controls come back once more.
    if (closeIdleDialogs() > 0)
        mdInit::RestoreMainControls(*this);
    // A new second of the link begins.
    st.ValidThisSecond = false;
    st.ErrorRepliesLeft = link::kErrorRepliesPerSecond;
}

void TolvexSMain::ActivationTick()
{
    if (stepActivation())
        st.LinkStatus = QStringLiteral("Fail");
}

void TolvexSMain::RunTick()
{
    if (st.NoComms == 1)
        st.Count += 1;
    else
        st.Count = 0;

    if (st.NoComms == 0) {
        setTextIfChanged(ui->Counter, QStringLiteral("Connected"));
        colors::setForeColor(ui->Counter, colors::kGreen);
    } else {
        setTextIfChanged(ui->Counter,
                         QStringLiteral("Not connected for the last ") + shortNumber(st.Count) + QStringLiteral("s"));
        colors::setForeColor(ui->Counter, colors::kOrange);
    }

    showLinkActivity();
    if (stopTimeReached())
        st.StopReached = 1;
    finishRunStep();
    st.LinkStatus = QStringLiteral("Fail");
}

void TolvexSMain::ShutdownTick()
{
    if (!beginCountdownStep())
        return;
    setTextIfChanged(ui->CPULoad, QString());
    const int timeout = countdownBoxTimeout();
    if (st.TestMode) {
        // A test run shows its box in its first countdown step and is re-armed
        // without putting the window back into the tray.
        showTestRunBox(timeout);
        st.ApplyStartMin = false;
        mdInit::ResetRun(*this);
        mdInit::ShowStatusText(*this);
        SetTrayIcon(QStringLiteral("Activate"));
        mPopUpAbout->setEnabled(true);
        if (mayExit())
            mPopUpConfig->setEnabled(true);
        mPopUpUpdate->setEnabled(true);
        return;
    }
    if (st.Count == 0 && cfg.LogLevel >= 2)
        mdInit::WriteLogLine(*this, QStringLiteral("Enter"), st.ActionName);
    if (cfg.NoWarn == 1) {
        for (QWidget *w : {static_cast<QWidget *>(ui->CPULoad), static_cast<QWidget *>(ui->Counter)}) {
            colors::setForeColor(w, colors::kWhite);
            colors::setBackColor(w, colors::kOrange);
        }
        colors::setBold(ui->Counter, true);
        setTextIfChanged(ui->Counter, shut::countdownText(cfg.ShutType, QStringLiteral("Tolvex Slave"))
                                          + QString::number(st.ShutLimit - st.Count) + QStringLiteral("s"));
        setTextIfChanged(ui->CPULoad, QString());
    }
    showCountdownControls();
    finishCountdownStep();
}
