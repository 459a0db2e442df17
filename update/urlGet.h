#pragma once
#include "HttpGet.h"
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

// Fetches one URL in the background for the window that holds it, and tells that
// window what happens through its three signals, all on the window thread. One
// download runs at a time: starting another, cancelling or destroying the control
// drops the running one at once, and nothing of a dropped download is reported.
// The transfer keeps to the limits of tolvex::update::HttpGet: redirects only within
// the first address's server, a bounded head and body, and one time-out for all of it.
class urlGet : public QObject {
    Q_OBJECT
public:
    // The most a reply may hold; a longer one is a failed download.
    static constexpr int kMaxBytes = 64 * 1024;
    // The time-out of a whole download, from its start to its last byte.
    static constexpr int kTimeoutMs = 60 * 1000;
    // Mode bit asking for a fresh copy from the server rather than a cached one.
    static constexpr int kFreshCopy = 16;
    // The error numbers of the control's own failures; a failed connection reports
    // the socket's error number (0 or more).
    static constexpr int kTooLarge = tolvex::update::HttpGet::TooLarge;
    static constexpr int kBadReply = tolvex::update::HttpGet::BadReply;
    static constexpr int kRedirectRefused = tolvex::update::HttpGet::RedirectRefused;
    static constexpr int kTimedOut = tolvex::update::HttpGet::TimedOut;
    static constexpr int kBadAddress = tolvex::update::HttpGet::BadAddress;

    explicit urlGet(QObject *parent = nullptr);
    ~urlGet() override;

    // True while a download runs.
    bool Busy() const { return m_busy; }
    // A copy of the bytes of the last progress or completion (empty after a failure).
    QByteArray Bytes() const { return m_data; }
    // The duration of the last finished download in ms; 0 while one runs.
    int Duration() const { return m_durationMs; }

    // Drops the running download, if any; nothing is reported for it.
    void DownloadCancel();
    // Starts a download of `URL` (an empty URL does nothing); `Mode` kFreshCopy asks
    // for a fresh copy.
    void DownloadStart(const QString &URL, int Mode = 0);

    // The time-out of the downloads started from now on (kTimeoutMs unless changed).
    void setTimeout(int ms) { m_timeoutMs = ms; }

signals:
    void DownloadComplete(int nBytes);
    void DownloadFailed(int ErrNum, const QString &ErrDesc);
    void DownloadProgress(int nBytes);

private:
    void ended();

    tolvex::update::HttpGet *m_get = nullptr;
    QElapsedTimer m_started;
    QByteArray m_data;
    int m_durationMs = 0;
    int m_timeoutMs = kTimeoutMs;
    bool m_busy = false;
};
