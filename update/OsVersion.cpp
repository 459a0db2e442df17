#include "OsVersion.h"
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

QString osVersionText(int platformId, const QString &kernelRelease)
{
    const qsizetype dot = kernelRelease.indexOf(QLatin1Char('.'));
    const QStringView release(kernelRelease);
    const int major = leadingWhole(dot < 0 ? release : release.left(dot));
    const int minor = dot < 0 ? 0 : leadingWhole(release.mid(dot + 1));
    return QString::number(platformId) + QLatin1Char('.') + QString::number(major) + QLatin1Char('.')
        + QString::number(minor);
}

} // namespace tolvex::update

QString clsGetOSVer::getVersion() const
{
    struct utsname info {};
    if (::uname(&info) != 0)
        return QStringLiteral("0.0.0");
    return tolvex::update::osVersionText(tolvex::update::kLinuxPlatformId, QString::fromLocal8Bit(info.release));
}
