// The master's configuration screen and what leaving it after a save does: the
// start-up chain runs again, so that the new file takes effect at once.
#include "FatalChecks.h"
#include "TolvexMMain.h"
#include "frmConfig.h"
#include <QLineEdit>

using namespace tolvex;

ConfigScreen *TolvexMMain::createConfigScreen()
{
    return new frmConfig(*this, cfg, this);
}

void TolvexMMain::applyConfiguration()
{
    setTimerEnabled(false);
    mdInit::Initialise(*this);
    mdInit::ResetRun(*this);
    mdInit::StartLogFile(*this, logSettings());
    mdInit::InitComms(*this);
    if (cfg.LogLevel == 2)
        mdInit::WriteLogLine(*this, QString(), QString());
    logConfigUpdated();
    mdInit::ShowStatusText(*this);
    st.ApplyStartMin = false;
    if (!st.NotConfigured) {
        for (int i = 1; i <= 4; ++i)
            Shut1[i]->clear();
        mdInit::RefreshComputerList(*this);
    }
}
