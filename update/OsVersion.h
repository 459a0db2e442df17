#pragma once
#include <QString>

namespace tolvex::update {

// The platform number the update request sends for Linux, ahead of the kernel's
// major and minor release ("4.6.1" on a 6.1 kernel). Fixed here, once; the server
// tells the kinds of system apart by it.
inline constexpr int kLinuxPlatformId = 4;

// "platform.major.minor" from a kernel release text such as "6.1.0-26-amd64": the
// leading digits before and after its first point. A part without digits, or too
// large for a number, reads 0.
QString osVersionText(int platformId, const QString &kernelRelease);

} // namespace tolvex::update

// The operating-system version sent with the update request.
class clsGetOSVer {
public:
    // kLinuxPlatformId and the running kernel's release (uname); "0.0.0" when the
    // system does not tell.
    QString getVersion() const;
};
