#pragma once
#include "MessageBoxService.h"
#include "MultiInst.h"
#include "ProgramServices.h"
#include <functional>
#include <memory>

class QApplication;

namespace tolvex { class MonitorWindow; class PowerBackend; }

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

// Loads the main window and shows it as the program starts: hidden behind its tray
// icon when the start-up rule minimised it and there is a notification area, else on
// screen (minimised on the task bar when the rule asks for it), so that the window is
// always reachable.
void startMainWindow(MonitorWindow &window);

using WindowFactory = std::function<std::unique_ptr<MonitorWindow>(ProgramServices, QString commandLine)>;

// The whole life of a program after its application object exists: the lock, the
// start-up error window or the main window with its real services, the event loop.
int runProgram(QApplication &app, MultiInst::Program program, PowerBackend &power, const WindowFactory &createWindow);

} // namespace tolvex::app
