// The slave's update check: only by hand; the slave has no daily schedule.
#include "TolvexSMain.h"
#include "UpdateWindowHost.h"

using namespace tolvex;

void TolvexSMain::Update_Click()
{
    updates->beginCheck(true);
    updates->load(true);
}

void TolvexSMain::Update_Inhibit(bool UpdateControl)
{
    updates->inhibit(UpdateControl);
}
