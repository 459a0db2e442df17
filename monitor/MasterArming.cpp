// Initialisation and arming of a monitoring run in the master.
#include "ConfigBoxes.h"
#include "FatalChecks.h"
#include "TolvexMMain.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"

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
    CheckDirectory(m, QStringLiteral("data"));
    CheckInstalledFile(m, QStringLiteral("configuration"), QStringLiteral("Data\\"), QStringLiteral("TolvexM.ini"));
    const ConfigReadResult r = readMasterConfig(QStringLiteral("Data\\TolvexM.ini"), m.cfg);
    m.st.LogText = r.logText;
    endOnBadRead(m, r, m.st.CommandMode, m.st.AppTitle + QStringLiteral(" Configuration File Error"));
}

void ValidateConfig(TolvexMMain &m)
{
    const ConfigCheck check = validateMasterConfig(m.cfg);
    if (check.notConfigured)
        m.st.NotConfigured = true;
    endOnBadCheck(m, check, QStringLiteral("The configuration file is corrupted."));
}

void ResetRun(TolvexMMain &m)
{
    m.armRun();
    m.st.DelLimit = m.cfg.DelTime;
    m.st.DelElapsed = 0;

    Ui::TolvexMMain &ui = *m.ui;
    colors::setBackColor(ui.Counter, colors::kButtonFace);
    colors::setForeColor(ui.Counter, colors::kBlue);
    colors::setBold(ui.Counter, false);
    colors::setForeColor(ui.Title, colors::kButtonText);
    colors::setBold(ui.Title, false);
}

} // namespace mdInit
