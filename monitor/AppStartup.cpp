#include "AppStartup.h"
#include "CommandLine.h"
#include "MonitorWindow.h"
#include "mdAdminTest.h"
#include "mdMain.h"
#include <QApplication>
#include <QLabel>
#include <cstdio>

namespace tolvex::app {

bool isHeadless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

void scriptFromEnvironment(ScriptedMessageBoxService &boxes)
{
    boxes.setEchoToStderr(true);
    const QString answers = qEnvironmentVariable("TOLVEX_BOX_ANSWERS");
    for (const QString &word : answers.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString w = word.trimmed().toLower();
        if (w == QLatin1String("yes"))
            boxes.setNextAnswer(BoxAnswer::Yes);
        else if (w == QLatin1String("no"))
            boxes.setNextAnswer(BoxAnswer::No);
        else if (w == QLatin1String("cancel"))
            boxes.setNextAnswer(BoxAnswer::Cancel);
        else
            boxes.setNextAnswer(BoxAnswer::Ok);
    }
}

int runStartUpError(QApplication &app, MultiInst::Program program)
{
    MultiInst window(program);
    window.setExitAction([&app] { app.quit(); });
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    window.show();
    if (isHeadless()) {
        const QString text = window.findChild<QLabel *>(QStringLiteral("ErrorMess"))->text();
        std::fprintf(stderr, "[window] %s | %s\n", qPrintable(window.windowTitle()),
                     qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "))));
        std::fflush(stderr);
    }
    return app.exec();
}

int runProgram(QApplication &app, MultiInst::Program program, PowerBackend &power, const WindowFactory &createWindow)
{
    const bool master = program == MultiInst::Program::Master;
    app.setQuitOnLastWindowClosed(false); // a watchdog keeps running without a window
    const QString commandLine = cmdline::join(app.arguments().mid(1));

    InstanceLock lock;
    if (!mdMain::TakeInstanceLock(lock, commandLine, master ? QStringLiteral("TolvexM") : QStringLiteral("TolvexS")))
        return runStartUpError(app, program);

    QtMessageBoxService screenBoxes;
    ScriptedMessageBoxService headlessBoxes;
    scriptFromEnvironment(headlessBoxes);
    ProcessProgramEnd end;
    SystemClock clock;
    QtTrayService tray;
    QtDesktopService screenDesktop;
    RecordingDesktopService headlessDesktop; // headless runs start nothing: the address goes to stderr
    headlessDesktop.setEchoToStderr(true);
    ProgramServices services{isHeadless() ? static_cast<MessageBoxService &>(headlessBoxes) : screenBoxes,
                             end,
                             clock,
                             tray,
                             power,
                             isHeadless() ? static_cast<DesktopService &>(headlessDesktop) : screenDesktop,
                             &mdAdminTest::IsAdmin,
                             master ? QStringLiteral("TolvexMu") : QStringLiteral("TolvexSu")};

    const std::unique_ptr<MonitorWindow> window = createWindow(services, commandLine);
    window->Form_Load();
    if (!window->isMinimised())
        window->show();
    return app.exec();
}

} // namespace tolvex::app
