#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches one URL in the background for the window that holds it, and tells that
// window what happens through its three signals, all on the window thread. One
// download runs at a time: starting another, cancelling or destroying the control
// drops the running one, and nothing of a dropped download is reported.
class urlGet : public QObject {
    Q_OBJECT
public:
    // The most a reply may hold; a longer one is a failed download.
    static constexpr int kMaxBytes = 64 * 1024;
    // Mode bit asking for a fresh copy from the server rather than a cached one.
    static constexpr int kFreshCopy = 16;
    // The error number of a reply longer than kMaxBytes.
    static constexpr int kTooLarge = -1;

    explicit urlGet(QObject *parent = nullptr);
    ~urlGet() override;

    // True while a download runs.
    bool Busy() const { return !m_reply.isNull(); }
    // A copy of the bytes of the last progress or completion (empty after a failure).
    QByteArray Bytes() const { return m_data; }
    // The duration of the last finished download in ms; 0 while one runs.
    int Duration() const { return m_durationMs; }

    // Drops the running download, if any; nothing is reported for it.
    void DownloadCancel();
    // Starts a download of `URL` (an empty URL does nothing); `Mode` kFreshCopy asks
    // for a fresh copy.
    void DownloadStart(const QString &URL, int Mode = 0);

signals:
    void DownloadComplete(int nBytes);
    void DownloadFailed(int ErrNum, const QString &ErrDesc);
    void DownloadProgress(int nBytes);

private:
    void takeBytes(QNetworkReply *reply);
    void finish(QNetworkReply *reply);
    void fail(int number, const QString &description);
    void dropReply();

    QNetworkAccessManager *m_net = nullptr;
    QPointer<QNetworkReply> m_reply;
    QElapsedTimer m_started;
    QByteArray m_data;
    int m_durationMs = 0;
};
