#include "ConfigScan.h"

namespace tolvex::configscan {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

ConfigDump::ConfigDump()
    : m_text(kCrLf + QStringLiteral("Configuration") + kCrLf + QStringLiteral("-------------"))
{
}

// Section lines stand after an empty line; lines shorter than 24 characters go two
// to a row, the first padded to 25 columns; longer lines get a row of their own.
void ConfigDump::add(const QString &line)
{
    if (line.startsWith(QLatin1Char('['))) {
        m_text += kCrLf + kCrLf + line;
        m_pending = false;
    } else if (line.startsWith(QLatin1String("CMain="))) {
        return;
    } else if (line.size() >= 24) {
        m_text += kCrLf + line;
        m_pending = false;
    } else if (m_pending) {
        m_text += line;
        m_pending = false;
    } else {
        m_text += kCrLf + (line + QString(19, QLatin1Char(' '))).left(25);
        m_pending = true;
    }
}

} // namespace tolvex::configscan
