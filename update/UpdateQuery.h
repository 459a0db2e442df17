#pragma once
#include <QString>

// The request that asks the maker's web server for its update document.
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

} // namespace tolvex::update
