#include "HttpReplyReader.h"
#include <algorithm>
#include <utility>

namespace tolvex::update {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool allDigits(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

HttpReplyReader::State HttpReplyReader::feed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && (m_state == State::Head || m_state == State::Body)) {
        qsizetype used = bytes.size();
        if (m_state == State::Head) {
            used = feedHead(bytes);
        } else if (m_framing == Framing::Chunked) {
            used = feedChunked(bytes);
        } else if (m_framing == Framing::Length) {
            used = qsizetype(std::min<qint64>(m_remaining, bytes.size()));
            if (appendBody(bytes.first(used)) && (m_remaining -= used) == 0)
                m_state = State::Done;
        } else {
            appendBody(bytes);
        }
        bytes = bytes.sliced(used);
    }
    return m_state;
}

HttpReplyReader::State HttpReplyReader::closed()
{
    if (m_state == State::Body && m_framing == Framing::UntilClose)
        m_state = State::Done;
    else if (m_state == State::Head || m_state == State::Body)
        fail(Fault::CutShort);
    return m_state;
}

QByteArray HttpReplyReader::header(QByteArrayView name) const
{
    const QByteArray wanted = name.toByteArray().toLower();
    for (const auto &[fieldName, value] : m_fields) {
        if (fieldName == wanted)
            return value;
    }
    return QByteArray();
}

// Takes the bytes up to and including the next line feed; true with `line` set (without
// its line end) when a whole line is there. `used` tells how many bytes were taken.
bool HttpReplyReader::takeLine(QByteArrayView bytes, qsizetype &used, qsizetype limit, QByteArray &line)
{
    // Never more than one byte past the limit, so an endless line costs nothing.
    bytes = bytes.first(std::min<qsizetype>(bytes.size(), std::max<qsizetype>(limit - m_line.size(), 0) + 1));
    const qsizetype end = bytes.indexOf('\n');
    used = end < 0 ? bytes.size() : end + 1;
    m_line += bytes.first(used);
    if (end < 0)
        return false;
    line = std::exchange(m_line, QByteArray());
    line.chop(line.endsWith("\r\n") ? 2 : 1);
    return true;
}

qsizetype HttpReplyReader::feedHead(QByteArrayView bytes)
{
    qsizetype used = 0;
    QByteArray line;
    const bool whole = takeLine(bytes, used, kMaxHeadBytes - m_headBytes + m_line.size(), line);
    m_headBytes += used;
    if (m_headBytes > kMaxHeadBytes)
        fail(Fault::HeadTooLarge);
    else if (whole && !headLine(line))
        fail(Fault::BadReply);
    return used;
}

bool HttpReplyReader::headLine(const QByteArray &line)
{
    if (m_status == 0) {
        // "HTTP/1.x nnn" and an optional reason.
        const bool shape = line.size() >= 12 && line.startsWith("HTTP/1.") && line[7] >= '0' && line[7] <= '9'
            && line[8] == ' ' && (line.size() == 12 || line[12] == ' ');
        const QByteArray code = line.mid(9, 3);
        if (!shape || !allDigits(code) || code.toInt() < 100)
            return false;
        m_status = code.toInt();
        return true;
    }
    if (line.isEmpty()) {
        if (m_status < 200) {
            // An interim reply: the real one follows, and its head counts on.
            m_status = 0;
            m_fields.clear();
            return true;
        }
        m_headDone = true;
        return beginBody();
    }
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = line.left(colon);
    if (colon <= 0 || name.contains(' ') || name.contains('\t'))
        return false;
    m_fields.append({name.toLower(), line.mid(colon + 1).trimmed()});
    return true;
}

bool HttpReplyReader::beginBody()
{
    m_state = State::Body;
    if (m_status == 204 || m_status == 304) {
        m_state = State::Done;
        return true;
    }
    const QByteArray codings = header("transfer-encoding");
    if (!codings.isEmpty()) {
        const bool chunked = codings.split(',').last().trimmed().toLower() == "chunked";
        m_framing = chunked ? Framing::Chunked : Framing::UntilClose;
        return true;
    }
    qint64 length = -1;
    for (const auto &[name, value] : std::as_const(m_fields)) {
        if (name != "content-length")
            continue;
        if (!allDigits(value) || value.size() > 15 || (length >= 0 && value.toLongLong() != length))
            return false;
        length = value.toLongLong();
    }
    if (length < 0) {
        m_framing = Framing::UntilClose;
    } else if (length > m_bodyLimit) {
        fail(Fault::BodyTooLarge);
    } else {
        m_framing = Framing::Length;
        m_remaining = length;
        if (length == 0)
            m_state = State::Done;
    }
    return true;
}

qsizetype HttpReplyReader::feedChunked(QByteArrayView bytes)
{
    qsizetype used = 0;
    QByteArray line;
    switch (m_chunkStep) {
    case ChunkStep::Data:
        used = qsizetype(std::min<qint64>(m_remaining, bytes.size()));
        if (appendBody(bytes.first(used)) && (m_remaining -= used) == 0)
            m_chunkStep = ChunkStep::DataEnd;
        return used;
    case ChunkStep::Trailer:
        if (takeLine(bytes, used, kMaxChunkLineBytes, line) && line.isEmpty())
            m_state = State::Done;
        m_trailerBytes += used;
        if (m_line.size() > kMaxChunkLineBytes || m_trailerBytes > kMaxHeadBytes)
            fail(Fault::HeadTooLarge);
        return used;
    case ChunkStep::DataEnd:
        if (takeLine(bytes, used, kMaxChunkLineBytes, line) ? !line.isEmpty() : m_line.size() > 2)
            fail(Fault::BadReply);
        else if (m_line.isEmpty())
            m_chunkStep = ChunkStep::Size;
        return used;
    case ChunkStep::Size:
        break;
    }
    if (!takeLine(bytes, used, kMaxChunkLineBytes, line)) {
        if (m_line.size() > kMaxChunkLineBytes)
            fail(Fault::BadReply);
        return used;
    }
    // Hexadecimal digits, then nothing, blanks or ";" and extensions.
    qint64 size = 0;
    qsizetype digits = 0;
    for (; digits < line.size() && hexValue(line[digits]) >= 0; ++digits) {
        size = size * 16 + hexValue(line[digits]);
        if (size > m_bodyLimit - m_body.size()) {
            fail(Fault::BodyTooLarge);
            return used;
        }
    }
    const char next = digits < line.size() ? line[digits] : ';';
    if (digits == 0 || (next != ';' && next != ' ' && next != '\t')) {
        fail(Fault::BadReply);
    } else if (size == 0) {
        m_chunkStep = ChunkStep::Trailer;
    } else {
        m_remaining = size;
        m_chunkStep = ChunkStep::Data;
    }
    return used;
}

bool HttpReplyReader::appendBody(QByteArrayView bytes)
{
    if (m_body.size() + bytes.size() > m_bodyLimit) {
        fail(Fault::BodyTooLarge);
        return false;
    }
    m_body += bytes;
    return true;
}

void HttpReplyReader::fail(Fault fault)
{
    if (m_state == State::Failed)
        return;
    m_state = State::Failed;
    m_fault = fault;
}

} // namespace tolvex::update
