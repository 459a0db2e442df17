// The master's update check: by hand with the Update button, and once a day by the
// schedule that the monitoring cycle runs every second.
#include "TolvexMMain.h"
#include "UpdateSchedule.h"
#include "UpdateWindowHost.h"
#include "ui_TolvexMMain.h"

using namespace tolvex;

void TolvexMMain::Update_Click()
{
    updates->beginCheck(true);
    if (isNormalState())
        ui->Park->setFocus();
    updates->load(true);
    st.NextUpdateCheck = svc.clock.now().addSecs(24 * 3600);
}

void TolvexMMain::CheckUpdateSchedule()
{
    const QDateTime now = svc.clock.now();
    if (!update::checkDue(st.CommandMode, now, st.NextUpdateCheck, cfg.Update_On, st.UpdaterBusy))
        return;
    updates->beginCheck(false);
    updates->load(false);
    st.NextUpdateCheck = update::nextCheckAfter(now, st.CommandMode);
}

void TolvexMMain::Update_Inhibit(bool UpdateControl)
{
    updates->inhibit(UpdateControl);
}
