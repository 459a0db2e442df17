#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <functional>
#include <thread>
#include <sys/resource.h>

class QUdpSocket;

namespace tolvex::test {

// Test windows are shown by the programs' own start path, and the offscreen platform
// that runs them has no window manager: it says so on every show and raise. From the
// first call on, those two warnings are dropped and every other message goes where it
// went before (the test framework's log).
void quietOffscreenWindowWarnings();

// Writes `bytes` to `path` (folders created), as given.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// A UDP port that, with the `count` - 1 ports after it, was free a moment ago.
int freeUdpPort(int count = 1);

// Datagrams sent from a thread of its own, as fast as `send` goes, while this thread
// runs on, its event loop too, until stop(). `send` gets the sending thread's socket and
// the number of its call, and returns the datagrams that left in that call.
class Flood {
public:
    using Send = std::function<int(QUdpSocket &socket, long call)>;
    explicit Flood(Send send);
    ~Flood() { stop(); }
    Flood(const Flood &) = delete;
    Flood &operator=(const Flood &) = delete;
    long stop(); // waits for the thread; the datagrams sent in all
    // A flood for `ms` while the event loop runs; the datagrams sent.
    static long during(int ms, Send send);

private:
    std::atomic<bool> m_running{true};
    std::atomic<long> m_sent{0};
    std::thread m_thread;
};

// The event and detail words of a log's event lines, as "Event|Detail" (a test run's
// "*" kept), from the first pair equal to `from` on: all of them when `from` is empty,
// none when no pair equals it.
QStringList eventPairs(const QString &log, const QString &from = QString());

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

// Counts the events of one type that reach the objects it watches (installEventFilter).
struct EventCounter : QObject {
    explicit EventCounter(QEvent::Type counted) : type(counted) {}
    QEvent::Type type;
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == type)
            ++count;
        return false;
    }
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
