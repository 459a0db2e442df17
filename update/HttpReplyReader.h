#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <utility>

namespace tolvex::update {

// Reads one HTTP/1.x reply from the bytes of its connection, piece by piece as they
// arrive, and keeps no more than its limits allow: a head (status line and header
// fields, interim 1xx heads included) of at most kMaxHeadBytes and a body of at most
// the limit it is given. Bodies framed by Content-Length, by chunks, or by the end of
// the connection are read; content codings are not undone (none is asked for).
class HttpReplyReader {
public:
    // The most the head of a reply may take, line ends included.
    static constexpr int kMaxHeadBytes = 16 * 1024;
    // The most one chunk-size or trailer line may take.
    static constexpr int kMaxChunkLineBytes = 1024;

    enum class State {
        Head,   // reading the status line and header fields
        Body,   // the head is complete; reading the body
        Done,   // the whole reply has been read
        Failed, // see fault()
    };
    enum class Fault {
        None,
        BadReply,     // not an HTTP reply, or a malformed head or chunk
        HeadTooLarge, // a head longer than kMaxHeadBytes
        BodyTooLarge, // a body longer than the limit
        CutShort,     // the connection ended before the reply did
    };

    explicit HttpReplyReader(qsizetype bodyLimit) : m_bodyLimit(bodyLimit) {}

    // Takes the next bytes of the connection; bytes after the end of the reply are
    // ignored. Returns the state after them.
    State feed(QByteArrayView bytes);
    // The connection has ended: a body that runs to the end of the connection is
    // complete; any other unfinished reply fails.
    State closed();

    State state() const { return m_state; }
    Fault fault() const { return m_fault; }
    // The head has been read (the state is Body or Done, or a body fault came later).
    bool headComplete() const { return m_status != 0 && m_headDone; }
    // The final status code; 0 until the status line has been read.
    int status() const { return m_status; }
    // The value of the first header field of this name (any letter case), blanks
    // removed at both ends; empty when there is none.
    QByteArray header(QByteArrayView name) const;
    // The body received so far.
    const QByteArray &body() const { return m_body; }

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkStep { Size, Data, DataEnd, Trailer };

    qsizetype feedHead(QByteArrayView bytes);
    qsizetype feedChunked(QByteArrayView bytes);
    bool takeLine(QByteArrayView bytes, qsizetype &used, qsizetype limit, QByteArray &line);
    bool headLine(const QByteArray &line);
    bool beginBody();
    bool appendBody(QByteArrayView bytes);
    void fail(Fault fault);

    qsizetype m_bodyLimit;
    State m_state = State::Head;
    Fault m_fault = Fault::None;
    QByteArray m_line;      // the unfinished line
    qsizetype m_headBytes = 0;
    bool m_headDone = false;
    int m_status = 0;
    QList<std::pair<QByteArray, QByteArray>> m_fields;
    Framing m_framing = Framing::None;
    qint64 m_remaining = 0; // of a Content-Length body or of the current chunk
    ChunkStep m_chunkStep = ChunkStep::Size;
    qsizetype m_trailerBytes = 0;
    QByteArray m_body;
};

} // namespace tolvex::update
