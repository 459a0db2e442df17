#include "UpdateQuery.h"

namespace tolvex::update {

QString localMajor(int versionMajor, int versionMinor, int commandMode)
{
    if (commandMode == 5)
        return QStringLiteral("0.9");
    return QString::number(versionMajor) + QLatin1Char('.') + QString::number(versionMinor);
}

QString localMinor()
{
    return QStringLiteral("0.0");
}

QString requestUrl(const QString &webRoot, const QString &major, const QString &minor, const QString &osVer)
{
    return webRoot + QLatin1String(kUpdateDocument) + QStringLiteral("?PName=") + QStringLiteral("Tolvex")
        + QStringLiteral("&ampPVer=") + major + QLatin1Char('.') + minor + QStringLiteral("&ampOSVer=") + osVer;
}

} // namespace tolvex::update
