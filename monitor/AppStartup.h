#pragma once
#include "MessageBoxService.h"
#include "MultiInst.h"

class QApplication;

// What both programs do in main() around their main window.
namespace tolvex::app {

// True under the offscreen platform: no screen, nobody to answer a box.
bool isHeadless();

// Boxes of a headless run are written to standard error and answered from the
// environment variable TOLVEX_BOX_ANSWERS, a comma-separated list of Ok, Yes and
// No used in order (a Yes/No box answers No when the list is used up).
void scriptFromEnvironment(ScriptedMessageBoxService &boxes);

// Shows the start-up error window and runs until it is closed or Exit is pressed.
int runStartUpError(QApplication &app, MultiInst::Program program);

} // namespace tolvex::app
