#include "AppStartup.h"
#include "AltLetterGuard.h"
#include "CommandLine.h"
#include "MonitorWindow.h"
#include "mdAdminTest.h"
#include "mdMain.h"
#include "mdMisc.h"
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

namespace {

// The boxes and the desktop of a program: on screen, or recorded and echoed to
// standard error when there is no screen (nothing is ever started from a headless run).
struct ScreenServices {
    QtMessageBoxService screenBoxes;
    ScriptedMessageBoxService headlessBoxes;
    QtDesktopService screenDesktop;
    RecordingDesktopService headlessDesktop;

    ScreenServices()
    {
        scriptFromEnvironment(headlessBoxes);
        headlessDesktop.setEchoToStderr(true);
    }
    MessageBoxService &boxes()
    {
        return isHeadless() ? static_cast<MessageBoxService &>(headlessBoxes) : screenBoxes;
    }
    DesktopService &desktop()
    {
        return isHeadless() ? static_cast<DesktopService &>(headlessDesktop) : screenDesktop;
    }
};

} // namespace

int runStartUpError(QApplication &app, MultiInst::Program program)
{
    guardAltLetters(app);
    ScreenServices screen;
    MultiInst window(program);
    window.setExitAction([&app] { app.quit(); });
    const QString title = program == MultiInst::Program::Master ? QStringLiteral("Tolvex") : QStringLiteral("Tolvex Slave");
    window.setLogoAction([&screen, title] { mdMisc::OpenWebPage(screen.boxes(), screen.desktop(), title, QString()); });
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
    // On every window: an Alt+letter that no enabled button takes is never typed text.
    guardAltLetters(app);
    const QString commandLine = cmdline::join(app.arguments().mid(1));

    InstanceLock lock;
    if (!mdMain::TakeInstanceLock(lock, commandLine, master ? QStringLiteral("TolvexM") : QStringLiteral("TolvexS")))
        return runStartUpError(app, program);

    ScreenServices screen;
    ProcessProgramEnd end;
    SystemClock clock;
    QtTrayService tray;
    ProgramServices services{screen.boxes(),
                             end,
                             clock,
                             tray,
                             power,
                             screen.desktop(),
                             &mdAdminTest::IsAdmin,
                             master ? QStringLiteral("TolvexMu") : QStringLiteral("TolvexSu")};

    const std::unique_ptr<MonitorWindow> window = createWindow(services, commandLine);
    startMainWindow(*window);
    return app.exec();
}

void startMainWindow(MonitorWindow &window)
{
    window.Form_Load();
    if (window.isMinimised() && window.svc.tray.isAvailable())
        return; // only the tray icon shows
    window.showAtStart();
}

} // namespace tolvex::app
