#include "DesktopService.h"
#include <QDesktopServices>
#include <cstdio>

namespace tolvex {

bool QtDesktopService::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool RecordingDesktopService::openUrl(const QUrl &url)
{
    const QString address = url.toString(QUrl::FullyEncoded);
    m_opened << address;
    if (m_echo) {
        std::fprintf(stderr, "[open] %s\n", qPrintable(address));
        std::fflush(stderr);
    }
    return m_result;
}

} // namespace tolvex
