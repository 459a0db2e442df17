// The end of a countdown: the power action, or its simulation.
#include "FatalChecks.h"
#include "LogFile.h"
#include "ShutTypes.h"
#include "MonitorWindow.h"
#include "mdMisc.h"
#include "mdShut.h"
#include <QAction>
#include <QPushButton>

namespace {

QString errorNumberText(long number)
{
    return QStringLiteral("0x") + QString::number(quint32(number), 16).toUpper();
}

} // namespace

namespace tolvex {

QString MonitorWindow::runStateWord() const
{
    const MonitorState &st = state();
    if (st.RunState == 2)
        return st.ActionName;
    return st.RunState == 1 ? QStringLiteral("Run") : QStringLiteral("Initialise");
}

int MonitorWindow::countdownBoxTimeout() const
{
    if (state().CommandMode > 0)
        return 3;
    return IsAdmin() ? 600 : 30;
}

void MonitorWindow::showTestRunBox(int timeout)
{
    // The timer goes on ticking while the box is open; the step must not run again.
    m_inCountdownEnd = true;
    if (common().LogLevel > 1)
        writeLog(QStringLiteral("Simulate"), state().ActionName);
    mdMisc::TimedMsgBox(*this, QStringLiteral("Test ") + state().ActionName, timeout, BoxButtons::Ok,
                        productTitle() + QStringLiteral(" Test"));
    m_inCountdownEnd = false;
}

void MonitorWindow::showCountdownControls()
{
    ctl.Config->setEnabled(false);
    ctl.About->setEnabled(false);
    ctl.TestS->setEnabled(false);
    ctl.Exit->setEnabled(false);
    ctl.Update->setEnabled(false);
    ctl.Reset->setEnabled(true);
    const bool mayCancel = mayExit();
    if (mayCancel) {
        ctl.Reset->setText(QStringLiteral("&Cancel"));
        ctl.Reset->setToolTip(QStringLiteral("Cancel ") + productTitle() + QStringLiteral(" ") + state().ActionName);
    } else {
        ctl.Reset->setEnabled(false);
    }
    for (QAction *a : {mPopUpAbout, mPopUpConfig, mPopUpMin, mPopUpRestore, mPopUpTest, mPopUpUpdate, mPopUpExit})
        a->setEnabled(false);
    mPopUpReset->setVisible(false);
    if (mayCancel)
        mPopUpCancel->setVisible(true);
}

void MonitorWindow::finishCountdownStep()
{
    MonitorState &st = state();
    const CommonConfig &cfg = common();
    if (st.Count >= st.ShutLimit || cfg.NoWarn == 2)
        endCountdown(); // ends the program, or re-arms it after hibernate and standby
    else if (cfg.LogLevel == 3)
        writeLog(st.ActionName, QString());
    st.Count += 1;
}

void MonitorWindow::endCountdown()
{
    m_inCountdownEnd = true;
    const CommonConfig &cfg = common();
    MonitorState &st = state();
    const int type = cfg.ShutType;
    const QString action = st.ActionName;
    const bool exitCall = type == 1 || type == 2 || type == 3 || type == 7;

    // The lines of a countdown end are written at every level. Like every line since
    // the countdown's first step, a failure (also one of the re-arming's status line)
    // is only noted, and reported once the action has been asked for.
    m_deferLogFailures = true;
    auto log = [this](const QString &event, const QString &detail) { writeLog(event, detail); };

    QString word = cfg.NoWarn == 2 ? QStringLiteral("Silent") : QStringLiteral("Start");
    if (cfg.Force == 2 || st.StopReached == 1)
        word += QStringLiteral("(F)");

    mdShut::PowerContext power{svc.power, svc.programName};
    try {
        if (exitCall)
            log(word, action);
        if (type < 4)
            log(cfg.Force == 2 ? QStringLiteral("Start(F)") : QStringLiteral("Start"), action);
        if (exitCall && st.CommandMode == 0)
            mdShut::ShutdownSystem(power, shut::exitFlags(type, cfg.Force));
        if (type > 3)
            log(QStringLiteral("Start"), action);
        if (st.CommandMode != 0) {
            log(QStringLiteral("Simulate"), action);
            BoxRequest box;
            box.title = productTitle() + QStringLiteral(" Simulate ") + action;
            box.text = QStringLiteral("Test Real ") + action;
            box.buttons = BoxButtons::Ok;
            svc.boxes.show(box);
        }
        if (type > 4)
            RestartMonitoring();
        if (type == 5 && st.CommandMode == 0)
            mdShut::Hibernate(power);
        if (type == 6 && st.CommandMode == 0)
            mdShut::Standby(power);
    } catch (const mdShut::ShutdownError &e) {
        m_inCountdownEnd = false;
        m_deferLogFailures = false;
        fatalExit(*this, productTitle() + QStringLiteral(" Power Action Error"),
                  {QStringLiteral("The power action \"") + action + QStringLiteral("\" could not be carried out."),
                   QStringLiteral("Error Number: ") + errorNumberText(e.number),
                   QStringLiteral("Error Source: ") + e.source,
                   QStringLiteral("Error Description: ") + e.description,
                   QStringLiteral("The program will now terminate.")},
                  BoxIcon::Critical);
    }

    if (type < 5) {
        log(QStringLiteral("Close"), action);
    } else {
        log(QStringLiteral("Restart"), action);
        log(QStringLiteral("----------"), QStringLiteral("----------"));
        log(QStringLiteral("----------"), QStringLiteral("----------"));
    }
    m_inCountdownEnd = false;
    endLogDeferral();
    if (type < 5 || type == 7) {
        closeLink();
        svc.tray.remove();
        svc.end.endProgram(0);
    }
}

void MonitorWindow::endLogDeferral()
{
    m_deferLogFailures = false;
    if (!m_logFailed)
        return;
    m_logFailed = false;
    const CommonConfig &cfg = common();
    // A missing folder or file gets its own box; anything else the write error.
    mdInit::CheckLogDirectory(*this, cfg.LogPath);
    mdInit::CheckWorkFile(*this, QStringLiteral("log"), cfg.LogPath, cfg.LogName);
    fatalExit(*this, productTitle() + QStringLiteral(" Log File Write Error"),
              {QStringLiteral("Unable to write to the log file ") + cfg.LogName + QStringLiteral("."),
               QStringLiteral("This may be a permissions problem."),
               QStringLiteral("The program will now terminate.")},
              BoxIcon::Exclamation);
}

} // namespace tolvex
