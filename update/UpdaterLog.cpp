#include "UpdaterLog.h"
#include "Clock.h"
#include "FatalChecks.h"
#include "FileSystem.h"
#include "LogFile.h"

namespace tolvex::update {

namespace {

QString lines(const QStringList &parts)
{
    return parts.join(QStringLiteral("\r\n"));
}

const QString kPermissions = QStringLiteral("This may be a permissions problem.");
const QString kTerminate = QStringLiteral("The program will now terminate.");

} // namespace

QString updaterLogHeader(int versionMajor, int versionMinor, const QDateTime &now)
{
    return lines({QStringLiteral("Updater"),
                  QStringLiteral("Version ") + QString::number(versionMajor) + QLatin1Char('.')
                      + QString::number(versionMinor),
                  QStringLiteral("File Created"), logStamp(now), QString(), QString()})
        + QStringLiteral("\r\n");
}

QString requestEntry(const QDateTime &now, const QString &url)
{
    return lines({logStamp(now), QStringLiteral("Update Check"), QString(), QStringLiteral("Web URL"),
                  QStringLiteral("-------"), url, QString()});
}

QString programEntry(int commandMode, const QString &displayName, const QString &major, const QString &minor,
                     const QString &osVer)
{
    return lines({QStringLiteral("Program Data"), QStringLiteral("------------"),
                  QStringLiteral("Control Mode :  ") + QString::number(commandMode),
                  QStringLiteral("Program Name :  ") + displayName, QStringLiteral("Major Version:  ") + major,
                  QStringLiteral("Minor Version:  ") + minor, QStringLiteral("OS Version:     ") + osVer, QString()});
}

QString replyHeading()
{
    return lines({QStringLiteral("Web Page xml"), QStringLiteral("------------")});
}

QString replyPageEntry(const QString &page)
{
    return lines({serverText(trimSpaces(page)), QString()});
}

QString replyDataEntry(const UpdateReply &r)
{
    return lines({QStringLiteral("Web Page Data"), QStringLiteral("-------------"),
                  QStringLiteral("Program Name :  ") + serverText(r.Name),
                  QStringLiteral("Major Version:  ") + serverText(r.Version1),
                  QStringLiteral("Minor Version:  ") + serverText(r.Version2),
                  QStringLiteral("Contact url  :  ") + serverText(r.Contact),
                  QStringLiteral("Download url :  ") + serverText(r.Download),
                  QStringLiteral("Known Issues :  ") + serverText(r.KIssues),
                  QStringLiteral("History      :  ") + serverText(r.History),
                  QStringLiteral("Home Page    :  ") + serverText(r.Index),
                  QStringLiteral("Message      :  ") + serverText(r.Message),
                  QStringLiteral("Uninstall    :  ") + serverText(r.Uninstall),
                  QStringLiteral("Error Count  :  ") + QString::number(r.ErrCount), QString(), QString(), QString()});
}

QString serverText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) {
            out += QStringLiteral("\r\n");
            i += c == u'\r' ? 1 : 0;
        } else if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
            // C0, DEL and C1: all of them can start or steer a terminal's sequences.
            out += QStringLiteral("\\x") + QStringLiteral("%1").arg(int(c), 2, 16, QLatin1Char('0'));
        } else {
            out += text[i];
        }
    }
    return out;
}

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool updaterLogOn(const QString &logPath)
{
    return fs::fileExists(logPath + QStringLiteral("LogOn.txt"));
}

// The updater's log only tells of the update checks: during a countdown a failure to
// keep it never ends the program before its power action; the entry is left out, and
// the failure ends the program as usual at the next entry after the countdown.
void createUpdaterLog(ProgramHost &host, const QString &logPath, int versionMajor, int versionMinor)
{
    const bool spare = host.countdownUnderWay();
    if (!spare)
        mdInit::CheckLogDirectory(host, logPath);
    const QString path = logPath + QStringLiteral("Updater.log");
    if (fs::fileExists(path))
        return;
    if (fs::replaceWithText(path, updaterLogHeader(versionMajor, versionMinor, host.clock().now())) || spare)
        return;
    fatalExit(host, QStringLiteral("Updater Log File Error"),
              {QStringLiteral("Unable to create the log file Updater.log."), kPermissions, kTerminate},
              BoxIcon::Exclamation);
}

void writeUpdaterLog(ProgramHost &host, const QString &logPath, const QString &text)
{
    if (!updaterLogOn(logPath))
        return;
    const bool spare = host.countdownUnderWay();
    if (!spare)
        mdInit::CheckWorkFile(host, QStringLiteral("log"), logPath, QStringLiteral("Updater.log"));
    if (fs::appendText(logPath + QStringLiteral("Updater.log"), text + QStringLiteral("\r\n")) || spare)
        return;
    fatalExit(host, QStringLiteral("Updater Log File Write Error"),
              {QStringLiteral("Unable to write to the log file Updater.log."), kPermissions, kTerminate},
              BoxIcon::Exclamation);
}

} // namespace tolvex::update
