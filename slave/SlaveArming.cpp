// Initialisation and arming of a monitoring run in the slave.
#include "ConfigFile.h"
#include "FatalChecks.h"
#include "ShutTypes.h"
#include "TolvexSMain.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"
#include <QAction>

using namespace tolvex;

namespace {

const QString kConfigErrorTitle = QStringLiteral("Tolvex Slave Configuration File Error");

// The receive port could not be bound: Yes ends the program through the window's
// unload, No leaves it running unconfigured.
void reportPortError(TolvexSMain &m)
{
    BoxRequest box;
    box.title = QStringLiteral("Tolvex Slave Port Error");
    box.text = joinCrLf({QStringLiteral("The RX Port ") + QString::number(m.cfg.Port2) + QStringLiteral(" Is Already In Use."),
                         QStringLiteral("This Error Must Be Resolved Before"),
                         QStringLiteral("You Can Use Tolvex Slave."),
                         QStringLiteral("Use The Configuration Screen"),
                         QStringLiteral("To Change The RX Port."),
                         QStringLiteral("Do You Want To End The Program?")});
    box.icon = BoxIcon::Critical;
    box.buttons = BoxButtons::YesNo;
    if (m.svc.boxes.show(box) == BoxAnswer::Yes) {
        // At the first start the log does not exist yet; the "Exit" line must not
        // turn this end into a log error.
        m.Form_Unload(mdInit::LogFailure::Report);
    }
    m.st.NotConfigured = true;
}

} // namespace

namespace mdInit {

void Initialise(TolvexSMain &m)
{
    m.st.NotConfigured = false;
    ReadConfigFile(m);
    ValidateConfig(m);
    m.st.AboutCountdown = 30;
    m.st.ConfigCountdown = 30;
    m.udpServ->close();
    if (!m.udpServ->bind(m.cfg.IPAdd, m.cfg.Port2)) {
        reportPortError(m);
        return;
    }
    m.st.ConfigSaved = false;
    m.st.ApplyStartMin = true;
}

void ReadConfigFile(TolvexSMain &m)
{
    CheckDirectory(m, QStringLiteral("data"));
    CheckInstalledFile(m, QStringLiteral("configuration"), QStringLiteral("Data\\"), QStringLiteral("TolvexS.ini"));
    const ConfigReadResult r = readSlaveConfig(QStringLiteral("Data\\TolvexS.ini"), m.cfg);
    m.st.LogText = r.logText;
    if (r.status == ConfigReadStatus::ReadError) {
        fatalExit(m, kConfigErrorTitle,
                  {QStringLiteral("Unable to read the configuration file. "),
                   QStringLiteral("This may be a permissions problem."),
                   QStringLiteral("The program will now terminate.")},
                  BoxIcon::Exclamation, false);
    }
    if (r.status == ConfigReadStatus::Corrupted) {
        QStringList lines;
        if (m.st.CommandMode != 0) {
            lines << QString::number(r.sectionErrors) + QStringLiteral(" Section Errors")
                  << QString::number(r.keyErrors) + QStringLiteral(" Key Errors");
        }
        lines << QStringLiteral("The configuration file is corrupted.")
              << QStringLiteral("Reinstall the program to restore the file.")
              << QStringLiteral("The program will now terminate.");
        fatalExit(m, kConfigErrorTitle, lines, BoxIcon::Critical, false);
    }
}

void ValidateConfig(TolvexSMain &m)
{
    const ConfigCheck check = validateSlaveConfig(m.cfg);
    if (check.notConfigured)
        m.st.NotConfigured = true;
    if (check.errors > 0) {
        fatalExit(m, kConfigErrorTitle,
                  {QStringLiteral("The configuration file is missing or corrupted."),
                   QStringLiteral("Reinstall the program to restore the file."),
                   QStringLiteral("The program will now terminate.")},
                  BoxIcon::Critical, false);
    }
}

void ResetRun(TolvexSMain &m)
{
    SlaveState &st = m.st;
    SlaveConfig &cfg = m.cfg;
    st.TestMode = false;
    m.setTimerEnabled(false);

    st.NoComms = 1;
    st.RunState = 0;
    st.Count = cfg.StartDelay;

    if (st.CommandMode == 1 || st.CommandMode == 3 || st.CommandMode == 4)
        cfg.CPUDelay = 6;
    if (st.CommandMode == 1 || st.CommandMode == 4)
        cfg.ShutTime = 6;
    st.CommsLimit = cfg.CPUDelay;
    st.LinkStatus = QStringLiteral("....");

    if (cfg.StartTime == 2) {
        const QTime now = m.svc.clock.now().time();
        st.Count = shut::secondsOfDay(cfg.StartDelay) - (now.hour() * 60 + now.minute()) * 60;
        if (st.Count < 1)
            st.Count = 1;
    }
    // A stop reached in an earlier run never carries over into a new one, whatever
    // the stop setting is now.
    st.StopReached = 0;
    if (cfg.Stop_On == 2)
        st.StopSeconds = shut::secondsOfDay(cfg.StopTime);

    const QString name = shut::actionName(cfg.ShutType);
    if (!name.isNull())
        st.ActionName = name;

    Ui::TolvexSMain &ui = *m.ui;
    colors::setBackColor(ui.CPULoad, colors::kButtonFace);
    colors::setBackColor(ui.Counter, colors::kButtonFace);
    colors::setForeColor(ui.CPULoad, colors::kButtonText);
    colors::setForeColor(ui.Counter, colors::kBlue);
    colors::setForeColor(ui.Title, colors::kButtonText);
    colors::setBold(ui.Title, false);
    colors::setBold(ui.Counter, false);
    ui.About->setEnabled(true);
    ui.Reset->setEnabled(true);
    if (!st.UpdaterBusy) {
        ui.Update->setEnabled(true);
        m.mPopUpUpdate->setEnabled(true);
    }
    if (m.IsAdmin() || cfg.UserExitA == 2) {
        ui.TestS->setEnabled(true);
        ui.Config->setEnabled(true);
        ui.Exit->setEnabled(true);
        mdMisc::DisableFormClose(m, true);
        m.mPopUpExit->setEnabled(true);
        m.mPopUpTest->setEnabled(true);
        m.mPopUpConfig->setEnabled(true);
    } else {
        mdMisc::DisableFormClose(m, false);
    }
}

} // namespace mdInit
