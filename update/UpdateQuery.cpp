#include "UpdateQuery.h"
#include <sys/utsname.h>

namespace tolvex::update {

namespace {

// The decimal number at the start of `part`; 0 when there is none or it does not fit.
int leadingWhole(QStringView part)
{
    qsizetype digits = 0;
    while (digits < part.size() && part[digits] >= QLatin1Char('0') && part[digits] <= QLatin1Char('9'))
        ++digits;
    bool ok = false;
    const int value = part.left(digits).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

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

QString osVersionText(int platformId, const QString &kernelRelease)
{
    const qsizetype dot = kernelRelease.indexOf(QLatin1Char('.'));
    const QStringView release(kernelRelease);
    const int major = leadingWhole(dot < 0 ? release : release.left(dot));
    const int minor = dot < 0 ? 0 : leadingWhole(release.mid(dot + 1));
    return QString::number(platformId) + QLatin1Char('.') + QString::number(major) + QLatin1Char('.')
        + QString::number(minor);
}

bool checkDue(int commandMode, const QDateTime &now, const QDateTime &nextCheck, int updateOn, bool updaterBusy)
{
    const bool switchAllows = commandMode == 0 || commandMode == 5 || commandMode == 6;
    // Whole seconds: the moment is kept to the second, so a cycle that runs a few
    // milliseconds earlier in its second than the one that set it still fires.
    const bool reached = nextCheck.isValid() && now.toSecsSinceEpoch() >= nextCheck.toSecsSinceEpoch();
    return switchAllows && reached && updateOn == 2 && !updaterBusy;
}

QDateTime nextCheckAfter(const QDateTime &now, int commandMode)
{
    return commandMode == 5 ? now.addSecs(7) : now.addSecs(24 * 3600);
}

} // namespace tolvex::update

QString clsGetOSVer::getVersion() const
{
    struct utsname info {};
    if (::uname(&info) != 0)
        return QStringLiteral("0.0.0");
    return tolvex::update::osVersionText(tolvex::update::kLinuxPlatformId, QString::fromLocal8Bit(info.release));
}
