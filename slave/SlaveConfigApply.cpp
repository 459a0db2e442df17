// The slave's configuration screen and what leaving it after a save does: the
// slave's start-up chain runs again (the socket is bound anew by its initialisation).
#include "LogFile.h"
#include "TolvexSMain.h"
#include "frmSlaveConfig.h"

using namespace tolvex;

ConfigScreen *TolvexSMain::createConfigScreen()
{
    return new frmSlaveConfig(*this, cfg, this);
}

void TolvexSMain::applyConfiguration()
{
    mdInit::Initialise(*this);
    mdInit::ResetRun(*this);
    mdInit::StartLogFile(*this, logSettings());
    logConfigUpdated();
    mdInit::ShowStatusText(*this);
    st.ApplyStartMin = false;
}
