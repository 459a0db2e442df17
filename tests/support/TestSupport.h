#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

namespace tolvex::test {

// Test windows are shown by the programs' own start path, and the offscreen platform
// that runs them has no window manager: it says so on every show and raise. From the
// first call on, those two warnings are dropped and every other message goes where it
// went before (the test framework's log).
void quietOffscreenWindowWarnings();

// Writes `text` to `dir`/`relativePath` (folders created), bytes as given.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// While it is in force, no file this process writes may grow beyond `bytes`: a write
// across the limit is cut short and the next one fails, as on a full disk (the signal
// the kernel sends then is ignored meanwhile). Lifted at the latest when it goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool inForce() const { return m_inForce; }
    void lift();

private:
    struct rlimit m_previous {};
    struct sigaction m_previousAction {};
    bool m_inForce = false;
};

// Counts the times the widgets it watches are shown (installEventFilter).
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace tolvex::test
