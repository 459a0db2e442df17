#pragma once
#include <QDateTime>
#include <QString>

// The request that asks the maker's web server for its update document: when the
// master asks by itself, and what every request sends.
namespace tolvex::update {

// The path of the update document below the maker's web root.
inline constexpr char kUpdateDocument[] = "software/misc/updatecheck.xml";

// The program's own version as the request and the window show it: "major.minor"
// ("1.0"); "0.9" with "-ShortUpdateTime" (command mode 5), so that every published
// version from 1.0 on is newer.
QString localMajor(int versionMajor, int versionMinor, int commandMode);
// The second half of the version the request sends; always "0.0".
QString localMinor();

// webRoot (ending in "/") + the document + "?PName=Tolvex&ampPVer=" + major + "." +
// minor + "&ampOSVer=" + osVer. The separators are the five characters "&amp" before
// the key, as the server reads them; nothing is escaped.
QString requestUrl(const QString &webRoot, const QString &major, const QString &minor, const QString &osVer);

// The platform number the update request sends for Linux, ahead of the kernel's
// major and minor release ("4.6.1" on a 6.1 kernel). Fixed here, once; the server
// tells the kinds of system apart by it.
inline constexpr int kLinuxPlatformId = 4;

// "platform.major.minor" from a kernel release text such as "6.1.0-26-amd64": the
// leading digits before and after its first point. A part without digits, or too
// large for a number, reads 0.
QString osVersionText(int platformId, const QString &kernelRelease);

// When the master's automatic check falls due: once the present second has reached or
// passed the second of `nextCheck` (so a cycle that comes late still runs the check,
// and one early in its second runs it in that second), with Update_On 2, no check
// running, and no switch other than 5 ("-ShortUpdateTime") or 6 ("-InhibitUpdate")
// given.
bool checkDue(int commandMode, const QDateTime &now, const QDateTime &nextCheck, int updateOn, bool updaterBusy);

// The next automatic check, counted from the moment one fired: 24 hours on, 7 seconds
// with "-ShortUpdateTime" (command mode 5).
QDateTime nextCheckAfter(const QDateTime &now, int commandMode);

} // namespace tolvex::update

// The operating-system version sent with the update request.
class clsGetOSVer {
public:
    // kLinuxPlatformId and the running kernel's release (uname); "0.0.0" when the
    // system does not tell.
    QString getVersion() const;
};
