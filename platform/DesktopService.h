#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tolvex {

// Hands an address to the desktop: a web page to the default browser, a local file
// (the log) to the desktop's viewer for its type. Tests and headless runs record the
// address instead, so that nothing is ever started from them.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    // False when the desktop could not open it.
    virtual bool openUrl(const QUrl &url) = 0;
};

class QtDesktopService : public DesktopService {
public:
    bool openUrl(const QUrl &url) override;
};

// Records every address and answers `setResult` (true until set). When echoing, each
// address is also written to standard error as one line "[open] <address>".
class RecordingDesktopService : public DesktopService {
public:
    bool openUrl(const QUrl &url) override;

    void setResult(bool opens) { m_result = opens; }
    void setEchoToStderr(bool echo) { m_echo = echo; }
    const QStringList &opened() const { return m_opened; }
    void clear() { m_opened.clear(); }

private:
    QStringList m_opened;
    bool m_result = true;
    bool m_echo = false;
};

} // namespace tolvex
