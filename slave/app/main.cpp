// TolvexSu: the slave program.
#include "AppStartup.h"
#include "CommandLine.h"
#include "LogindPowerBackend.h"
#include "TolvexSMain.h"
#include "mdAdminTest.h"
#include "mdMain.h"
#include <QApplication>

using namespace tolvex;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // a watchdog keeps running without a window
    const QString commandLine = cmdline::join(app.arguments().mid(1));

    InstanceLock lock;
    if (!mdMain::TakeInstanceLock(lock, commandLine, QStringLiteral("TolvexS")))
        return app::runStartUpError(app, MultiInst::Program::Slave);

    QtMessageBoxService screenBoxes;
    ScriptedMessageBoxService headlessBoxes;
    app::scriptFromEnvironment(headlessBoxes);
    ProcessProgramEnd end;
    SystemClock clock;
    QtTrayService tray;
    LogindPowerBackend power;
    ProgramServices services{app::isHeadless() ? static_cast<MessageBoxService &>(headlessBoxes) : screenBoxes,
                             end, clock, tray, power, &mdAdminTest::IsAdmin, QStringLiteral("TolvexSu")};

    TolvexSMain window(services, commandLine);
    window.Form_Load();
    if (!window.isMinimised())
        window.show();
    return app.exec();
}
