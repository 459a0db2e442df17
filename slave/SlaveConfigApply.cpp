// The slave's configuration screen. Not built yet: Configure opens nothing.
#include "TolvexSMain.h"

using namespace tolvex;

ConfigScreen *TolvexSMain::createConfigScreen()
{
    return nullptr;
}

void TolvexSMain::applyConfiguration()
{
}
