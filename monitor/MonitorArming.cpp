// What every arming of a monitoring run does in both programs.
#include "MonitorWindow.h"
#include "LogFile.h"
#include "ShutTypes.h"
#include "StatusSetters.h"
#include <QAction>
#include <QPushButton>
#include <QTime>

namespace tolvex {

void MonitorWindow::armRun()
{
    MonitorState &st = state();
    const CommonConfig &cfg = common();
    // A new run ends a countdown that was under way (a reset, a test, the end of a
    // test run), unless the countdown's own end re-arms after hibernate or standby.
    if (!m_inCountdownEnd)
        endLogDeferral();
    st.TestMode = false;
    setTimerEnabled(false);

    st.NoComms = 1;
    st.RunState = 0;
    st.Count = cfg.StartDelay;

    // The test switches shorten this run's limits; the configuration keeps the values
    // of its file, which the configuration screens show and save.
    const bool shortLink = st.CommandMode == 1 || st.CommandMode == 3 || st.CommandMode == 4;
    const bool shortCountdown = st.CommandMode == 1 || st.CommandMode == 4;
    st.CommsLimit = shortLink ? 6 : cfg.CPUDelay;
    st.ShutLimit = shortCountdown ? 6 : cfg.ShutTime;

    // Activation at a clock time counts from the start of the current minute; a time
    // already passed today activates after one second.
    if (cfg.StartTime == 2) {
        const QTime now = svc.clock.now().time();
        st.Count = shut::secondsOfDay(cfg.StartDelay) - (now.hour() * 60 + now.minute()) * 60;
        if (st.Count < 1)
            st.Count = 1;
    }
    // A stop reached in an earlier run never carries over into a new one.
    st.StopReached = 0;
    if (cfg.Stop_On == 2)
        st.StopSeconds = shut::secondsOfDay(cfg.StopTime);

    const QString name = shut::actionName(cfg.ShutType);
    if (!name.isNull())
        st.ActionName = name;

    ctl.About->setEnabled(true);
    ctl.Reset->setEnabled(true);
    if (!st.UpdaterBusy) {
        ctl.Update->setEnabled(true);
        mPopUpUpdate->setEnabled(true);
    }
    if (mayExit()) {
        ctl.TestS->setEnabled(true);
        ctl.Config->setEnabled(true);
        ctl.Exit->setEnabled(true);
        mdMisc::DisableFormClose(*this, true);
        mPopUpExit->setEnabled(true);
        mPopUpTest->setEnabled(true);
        mPopUpConfig->setEnabled(true);
    } else {
        mdMisc::DisableFormClose(*this, false);
    }
}

bool MonitorWindow::stepActivation()
{
    MonitorState &st = state();
    const CommonConfig &cfg = common();
    st.Count -= 1;
    // Activation at a clock time keeps its "Program Activation at" text.
    if (cfg.StartTime == 1 || st.TestMode)
        setCounterText(QStringLiteral("Program Activation in ") + shortNumber(st.Count) + QStringLiteral("s"));
    if (st.Count <= 0) {
        st.RunState = 1;
        if (cfg.LogLevel > 1)
            writeLog(QStringLiteral("Enter"), QStringLiteral("Run"));
        st.Count = 0;
        return true;
    }
    if (st.Count != cfg.StartDelay && cfg.LogLevel == 3)
        writeLog(QStringLiteral("Inactive"), QString());
    return false;
}

void MonitorWindow::showLinkActivity()
{
    if (state().Count == 1)
        SetTrayIcon(QStringLiteral("NoActivity"));
    else if (state().Count == 0)
        SetTrayIcon(QStringLiteral("Activity"));
}

bool MonitorWindow::stopTimeReached() const
{
    // Without a stop time the clock is not read: the local time costs a look at the
    // system's time zone file every time.
    if (common().Stop_On != 2)
        return false;
    const QTime now = svc.clock.now().time();
    return double((now.hour() * 60 + now.minute()) * 60) == state().StopSeconds;
}

void MonitorWindow::finishRunStep()
{
    MonitorState &st = state();
    if (st.Count >= st.CommsLimit || st.StopReached == 1) {
        st.RunState = 2;
        st.Count = 0;
    } else if (common().LogLevel == 3) {
        writeLog(QStringLiteral("Run"), QString());
    }
    st.NoComms = 1;
}

bool MonitorWindow::beginCountdownStep()
{
    if (m_inCountdownEnd)
        return false;
    if (!m_deferLogFailures) {
        m_deferLogFailures = true;
        m_logFailed = false;
    }
    if (state().Count == 0 && common().NoWarn == 1) {
        ShowMainWindow();
        SetTrayIcon(QStringLiteral("Shutdown"));
    }
    return true;
}

void MonitorWindow::showButtonTips()
{
    const QString title = productTitle();
    setToolTipIfChanged(ctl.Reset, QStringLiteral("Reset ") + title);
    setToolTipIfChanged(ctl.Exit, QStringLiteral("Exit ") + title);
    setToolTipIfChanged(ctl.About, QStringLiteral("About ") + title);
    setToolTipIfChanged(ctl.Config, QStringLiteral("Configure ") + title);
    setWindowTitle(title); // also ends a test run's " - Test Mode"
}

bool MonitorWindow::portErrorEndsProgram(int port, bool fullStop)
{
    BoxRequest box;
    box.title = productTitle() + QStringLiteral(" Port Error");
    box.text = joinCrLf({QStringLiteral("The RX Port ") + QString::number(port) + QStringLiteral(" Is Already In Use")
                             + (fullStop ? QStringLiteral(".") : QString()),
                         QStringLiteral("This Error Must Be Resolved Before"),
                         QStringLiteral("You Can Use ") + productTitle() + QStringLiteral("."),
                         QStringLiteral("Use The Configuration Screen"),
                         QStringLiteral("To Change The RX Port."),
                         QStringLiteral("Do You Want To End The Program?")});
    box.icon = BoxIcon::Critical;
    box.buttons = BoxButtons::YesNo;
    return svc.boxes.show(box) == BoxAnswer::Yes;
}

void MonitorWindow::showResetNotCancel()
{
    ctl.Reset->setText(QStringLiteral("&Reset"));
    setToolTipIfChanged(ctl.Reset, QStringLiteral("Reset ") + productTitle());
    mPopUpReset->setVisible(true);
    mPopUpCancel->setVisible(false);
}

} // namespace tolvex
