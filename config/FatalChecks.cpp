#include "FatalChecks.h"
#include "FileSystem.h"

using tolvex::BoxIcon;
using tolvex::ProgramHost;

namespace mdInit {

namespace {

QString capitalised(const QString &word)
{
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

const QString kTerminate = QStringLiteral("The program will now terminate.");

} // namespace

void CheckDirectory(ProgramHost &host, const QString &n)
{
    if (tolvex::fs::folderExists(tolvex::fs::nativePath(n + QLatin1Char('\\'))))
        return;
    tolvex::fatalExit(host, host.productTitle() + QLatin1Char(' ') + capitalised(n) + QStringLiteral(" Directory Error"),
                      {QStringLiteral("The ") + n + QStringLiteral(" directory does not exist."),
                       QStringLiteral("To restore the ") + n + QStringLiteral(" directory"),
                       QStringLiteral("reinstall the program."), kTerminate},
                      BoxIcon::Critical);
}

void CheckLogDirectory(ProgramHost &host, const QString &p)
{
    if (tolvex::fs::folderExists(tolvex::fs::nativePath(p)))
        return;
    tolvex::fatalExit(host, host.productTitle() + QStringLiteral(" Log Directory Error"),
                      {QStringLiteral("The log directory does not exist. This"),
                       QStringLiteral("directory must be created manually if"),
                       QStringLiteral("it is not the default one. To restore"),
                       QStringLiteral("the default log directory reinstall"), QStringLiteral("the program."),
                       kTerminate},
                      BoxIcon::Critical);
}

void CheckWorkFile(ProgramHost &host, const QString &k, const QString &f, const QString &m)
{
    if (tolvex::fs::fileExists(tolvex::fs::nativePath(f + m)))
        return;
    tolvex::fatalExit(host, host.productTitle() + QLatin1Char(' ') + capitalised(k) + QStringLiteral(" File Error"),
                      {QStringLiteral("The ") + k + QStringLiteral(" file is either missing or"),
                       QStringLiteral("corrupted. Delete the ") + k + QStringLiteral(" file if"),
                       QStringLiteral("it exists and restart the program."), kTerminate},
                      BoxIcon::Exclamation);
}

void CheckInstalledFile(ProgramHost &host, const QString &k, const QString &f, const QString &m)
{
    if (tolvex::fs::fileExists(tolvex::fs::nativePath(f + m)))
        return;
    tolvex::fatalExit(host, host.productTitle() + QLatin1Char(' ') + capitalised(k) + QStringLiteral(" File Error"),
                      {QStringLiteral("The ") + k + QStringLiteral(" file is either missing or"),
                       QStringLiteral("corrupted. To restore the ") + k + QStringLiteral(" file"),
                       QStringLiteral("reinstall the program."), kTerminate},
                      BoxIcon::Exclamation);
}

} // namespace mdInit
