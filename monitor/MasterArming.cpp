// Initialisation and arming of a monitoring run in the master.
#include "ConfigFile.h"
#include "FatalChecks.h"
#include "ShutTypes.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"
#include <QAction>

using namespace tolvex;

namespace mdInit {

void Initialise(TolvexMMain &m)
{
    m.st.AppTitle = QStringLiteral("Tolvex");
    m.st.NotConfigured = false;
    m.st.DialogOpen = false;
    ReadConfigFile(m);
    ValidateConfig(m);
    m.st.CycleTick = 2;
    m.st.AboutCountdown = 30;
    m.st.ConfigCountdown = 30;
    m.st.CommsSummary = QStringLiteral("-, -, -, -");
    m.st.ConfigSaved = false;
    m.st.NetworkOK = true;
    m.st.ApplyStartMin = true;
}

void ReadConfigFile(TolvexMMain &m)
{
    const QString title = m.st.AppTitle + QStringLiteral(" Configuration File Error");
    CheckDirectory(m, QStringLiteral("data"));
    CheckInstalledFile(m, QStringLiteral("configuration"), QStringLiteral("Data\\"), QStringLiteral("TolvexM.ini"));
    const ConfigReadResult r = readMasterConfig(QStringLiteral("Data\\TolvexM.ini"), m.cfg);
    m.st.LogText = r.logText;
    if (r.status == ConfigReadStatus::ReadError) {
        fatalExit(m, title,
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
        fatalExit(m, title, lines, BoxIcon::Critical, false);
    }
}

void ValidateConfig(TolvexMMain &m)
{
    const ConfigCheck check = validateMasterConfig(m.cfg);
    if (check.notConfigured)
        m.st.NotConfigured = true;
    if (check.errors > 0) {
        fatalExit(m, m.st.AppTitle + QStringLiteral(" Configuration File Error"),
                  {QStringLiteral("The configuration file is corrupted."),
                   QStringLiteral("Reinstall the program to restore the file."),
                   QStringLiteral("The program will now terminate.")},
                  BoxIcon::Critical, false);
    }
}

void ResetRun(TolvexMMain &m)
{
    MasterState &st = m.st;
    MasterConfig &cfg = m.cfg;
    st.TestMode = false;
    m.setTimerEnabled(false);

    st.NoComms = 1;
    st.Count = cfg.StartDelay;
    st.RunState = 0;

    if (st.CommandMode == 1 || st.CommandMode == 3 || st.CommandMode == 4)
        cfg.CPUDelay = 6;
    if (st.CommandMode == 1 || st.CommandMode == 4)
        cfg.ShutTime = 6;

    st.CommsLimit = cfg.CPUDelay;
    st.DelLimit = cfg.DelTime;
    st.DelElapsed = 0;
    st.StopReached = 0;

    if (cfg.StartTime == 2) {
        const QTime now = m.svc.clock.now().time();
        st.Count = shut::secondsOfDay(cfg.StartDelay) - (now.hour() * 60 + now.minute()) * 60;
        if (st.Count < 1)
            st.Count = 1;
    }
    if (cfg.Stop_On == 2)
        st.StopSeconds = shut::secondsOfDay(cfg.StopTime);

    const QString name = shut::actionName(cfg.ShutType);
    if (!name.isNull())
        st.ActionName = name;

    Ui::TolvexMMain &ui = *m.ui;
    colors::setBackColor(ui.Counter, colors::kButtonFace);
    colors::setForeColor(ui.Counter, colors::kBlue);
    colors::setBold(ui.Counter, false);
    colors::setForeColor(ui.Title, colors::kButtonText);
    colors::setBold(ui.Title, false);
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
