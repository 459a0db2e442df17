#include "ConfigBoxes.h"

namespace tolvex {

void endOnBadRead(ProgramHost &host, const ConfigReadResult &result, int commandMode, const QString &readErrorTitle)
{
    // The reader runs while the main timer is stopped, so these boxes leave it alone.
    if (result.status == ConfigReadStatus::ReadError) {
        fatalExit(host, readErrorTitle,
                  {QStringLiteral("Unable to read the configuration file. "),
                   QStringLiteral("This may be a permissions problem."),
                   QStringLiteral("The program will now terminate.")},
                  BoxIcon::Exclamation, false);
    }
    if (result.status == ConfigReadStatus::Corrupted) {
        QStringList lines;
        if (commandMode != 0) {
            lines << QString::number(result.sectionErrors) + QStringLiteral(" Section Errors")
                  << QString::number(result.keyErrors) + QStringLiteral(" Key Errors");
        }
        lines << QStringLiteral("The configuration file is corrupted.")
              << QStringLiteral("Reinstall the program to restore the file.")
              << QStringLiteral("The program will now terminate.");
        fatalExit(host, host.productTitle() + QStringLiteral(" Configuration File Error"), lines, BoxIcon::Critical,
                  false);
    }
}

void endOnBadCheck(ProgramHost &host, const ConfigCheck &check, const QString &firstLine)
{
    if (check.errors == 0)
        return;
    fatalExit(host, host.productTitle() + QStringLiteral(" Configuration File Error"),
              {firstLine, QStringLiteral("Reinstall the program to restore the file."),
               QStringLiteral("The program will now terminate.")},
              BoxIcon::Critical, false);
}

} // namespace tolvex
