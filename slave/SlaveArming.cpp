// Initialisation and arming of a monitoring run in the slave.
#include "ConfigBoxes.h"
#include "FatalChecks.h"
#include "TolvexSMain.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"

using namespace tolvex;

namespace {

// The receive port could not be bound: Yes ends the program through the window's
// unload, No leaves it running unconfigured.
void reportPortError(TolvexSMain &m)
{
    if (m.portErrorEndsProgram(m.cfg.Port2, true)) {
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
    endOnBadRead(m, r, m.st.CommandMode, QStringLiteral("Tolvex Slave Configuration File Read Error"));
}

void ValidateConfig(TolvexSMain &m)
{
    const ConfigCheck check = validateSlaveConfig(m.cfg);
    if (check.notConfigured)
        m.st.NotConfigured = true;
    endOnBadCheck(m, check, QStringLiteral("The configuration file is missing or corrupted."));
}

void ResetRun(TolvexSMain &m)
{
    m.armRun();
    m.st.LinkStatus = QStringLiteral("....");

    Ui::TolvexSMain &ui = *m.ui;
    colors::setBackColor(ui.CPULoad, colors::kButtonFace);
    colors::setBackColor(ui.Counter, colors::kButtonFace);
    colors::setForeColor(ui.CPULoad, colors::kButtonText);
    colors::setForeColor(ui.Counter, colors::kBlue);
    colors::setForeColor(ui.Title, colors::kButtonText);
    colors::setBold(ui.Title, false);
    colors::setBold(ui.Counter, false);
}

} // namespace mdInit
