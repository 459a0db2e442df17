// The two log buttons of the configuration screens. Both act on the running log
// (LogPath & LogName of the configuration in use), never on the values typed.
#include "Clock.h"
#include "ConfigScreen.h"
#include "DesktopService.h"
#include "FatalChecks.h"
#include "FileSystem.h"
#include "LogArchive.h"
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QUrl>

namespace tolvex {

namespace {

BoxAnswer ask(ProgramHost &program, const QString &title, const QStringList &lines, BoxIcon icon, BoxButtons buttons)
{
    BoxRequest box;
    box.title = title;
    box.text = joinCrLf(lines);
    box.icon = icon;
    box.buttons = buttons;
    return program.boxes().show(box);
}

} // namespace

void ConfigScreen::Archive_Click()
{
    const Busy busy(*this);
    parkFocus();
    ProgramHost &program = host.programHost();
    mdInit::CheckLogDirectory(program, running.LogPath);
    mdInit::CheckWorkFile(program, QStringLiteral("log"), running.LogPath, running.LogName);
    const QString log = running.LogPath + running.LogName;
    const QString errorTitle = traits.product + QStringLiteral(" Log File Error");
    auto failed = [&] {
        ask(program, errorTitle,
            {QStringLiteral("Unable to archive the log file ") + running.LogName + QLatin1Char('.'),
             QStringLiteral("This may be a permissions problem.")},
            BoxIcon::Exclamation, BoxButtons::Ok);
    };

    const std::optional<bool> hasData = logarchive::holdsData(log);
    if (!hasData) {
        failed();
        return;
    }
    const BoxAnswer answer = ask(program, QStringLiteral("Archive ") + traits.product + QStringLiteral(" Log File"),
                                 {QStringLiteral("Do you want to archive the log file?"),
                                  QStringLiteral("To Archive the log file and create a new one click Yes"),
                                  QStringLiteral("To Clear the results log file without archiving it click No"),
                                  QStringLiteral("Click Cancel to return")},
                                 BoxIcon::Exclamation, BoxButtons::YesNoCancel);
    if (answer != BoxAnswer::Yes && answer != BoxAnswer::No)
        return;

    if (answer == BoxAnswer::Yes) {
        if (!*hasData) {
            ask(program, errorTitle, {QStringLiteral("There is no data to archive!"), QStringLiteral("Log file not archived.")},
                BoxIcon::Exclamation, BoxButtons::Ok);
            return;
        }
        // The copy is made first: the log is started afresh only once it is kept.
        const QString copy = logarchive::archiveName(running.LogPath, running.LogName, program.clock().now().date());
        if (copy.isEmpty() || !QFile::copy(fs::nativePath(log), fs::nativePath(copy))) {
            failed();
            return;
        }
    } else if (*hasData
               && ask(program, traits.product + QStringLiteral(" Create New Log File"),
                      {QStringLiteral("Are you sure you want to create a new log file?")}, BoxIcon::None,
                      BoxButtons::YesNo)
                   == BoxAnswer::No) {
        return;
    }
    // The fresh log takes the old one's place in one step, so the program is never
    // left without a log. A log that could not be started afresh is not reported as
    // cleared: it still holds its lines.
    const bool fresh = fs::replaceWithText(log, logarchive::freshLogText(traits.product, program.clock().now()));
    if (answer == BoxAnswer::Yes || fresh) {
        c.Status->setText(answer == BoxAnswer::Yes ? QStringLiteral("Log File Archived") : QStringLiteral("Log File Cleared"));
        Timer2->start();
    }
    if (!fresh)
        failed();
}

void ConfigScreen::ViewL_Click()
{
    const Busy busy(*this);
    ProgramHost &program = host.programHost();
    const QString errorTitle = traits.product + QStringLiteral(" Log File Error");
    if (running.LogLevel <= 1) {
        ask(program, errorTitle,
            {QStringLiteral("Logging is set to None. There"), QStringLiteral("is no information to display.")},
            BoxIcon::Information, BoxButtons::Ok);
        return;
    }
    parkFocus();
    mdInit::CheckLogDirectory(program, running.LogPath);
    mdInit::CheckWorkFile(program, QStringLiteral("log"), running.LogPath, running.LogName);
    // The desktop's viewer for text files opens the file itself: nothing of the
    // configuration ever becomes part of a command.
    const QString file = QFileInfo(fs::nativePath(running.LogPath + running.LogName)).absoluteFilePath();
    if (!program.desktop().openUrl(QUrl::fromLocalFile(file))) {
        ask(program, errorTitle,
            {QStringLiteral("Unable to run the text viewer"), QStringLiteral("Check that it exists and"),
             QStringLiteral("is working properly.")},
            BoxIcon::Exclamation, BoxButtons::Ok);
    }
}

} // namespace tolvex
