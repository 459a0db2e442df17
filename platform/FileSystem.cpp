#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvex::fs {

namespace {

// The one entry of `folder` whose name equals `name` without regard to case;
// empty when there is none or more than one.
QString caseInsensitiveEntry(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString found;
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return QString();
        found = entry;
    }
    return found;
}

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// Splits bytes into lines at LF, CR LF or a lone CR. A line end at the very end
// starts no further line.
QByteArrayList splitLines(const QByteArray &bytes)
{
    QByteArrayList result;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = bytes.at(i);
        if (!isLineEnd(c)) {
            ++i;
            continue;
        }
        result.append(bytes.mid(start, i - start));
        i += (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') ? 2 : 1;
        start = i;
    }
    if (start < n)
        result.append(bytes.mid(start));
    return result;
}

// UTF-8 when all the lines together are valid UTF-8, else Latin-1, so that no
// byte is ever refused or lost for its encoding.
QStringList decodeLines(const QByteArrayList &raw)
{
    QStringList lines;
    lines.reserve(raw.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const QByteArray &line : raw) {
        QString text = utf8.decode(line);
        if (utf8.hasError()) {
            lines.clear();
            for (const QByteArray &l : raw)
                lines.append(QString::fromLatin1(l));
            return lines;
        }
        lines.append(text);
    }
    return lines;
}

QByteArray withoutByteOrderMark(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    return bytes;
}

bool isTextByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 || b == '\t' || b == '\r' || b == '\n';
}

} // namespace

QString nativePath(const QString &path)
{
    QString slashed = path;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (slashed.isEmpty() || QFileInfo::exists(slashed))
        return slashed;

    const bool absolute = slashed.startsWith(QLatin1Char('/'));
    QStringList parts = slashed.split(QLatin1Char('/'));
    QString folder = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            if (!part.isEmpty())
                folder += QLatin1Char('/') + part;
            continue;
        }
        const QString exact = folder + QLatin1Char('/') + part;
        if (!QFileInfo::exists(exact)) {
            const QString match = caseInsensitiveEntry(folder, part);
            if (match.isEmpty())
                break; // nothing below a missing name can exist either
            part = match;
        }
        folder += QLatin1Char('/') + part;
    }
    return parts.join(QLatin1Char('/'));
}

bool folderExists(const QString &path)
{
    return QFileInfo(nativePath(path)).isDir();
}

bool fileExists(const QString &path)
{
    return QFileInfo(nativePath(path)).isFile();
}

ReadStatus readTextLines(const QString &path, QStringList &lines, qint64 maxBytes, int maxLineLength)
{
    lines.clear();
    const QString native = nativePath(path);
    if (!QFileInfo(native).isFile())
        return ReadStatus::CannotOpen;
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::CannotOpen;
    // Read one byte past the limit, so that a file growing while it is read is
    // refused as well.
    const QByteArray bytes = withoutByteOrderMark(file.read(maxBytes + 1));
    if (bytes.size() > maxBytes)
        return ReadStatus::TooLarge;
    for (const char c : bytes) {
        if (!isTextByte(c))
            return ReadStatus::NotText;
    }
    const QStringList decoded = decodeLines(splitLines(bytes));
    for (const QString &line : decoded) {
        if (line.size() > maxLineLength)
            return ReadStatus::TooLarge;
    }
    lines = decoded;
    return ReadStatus::Ok;
}

bool readFirstLines(const QString &path, int count, QStringList &lines)
{
    constexpr qint64 kHeadLimit = 64 * 1024;
    lines.clear();
    const QString native = nativePath(path);
    if (!QFileInfo(native).isFile())
        return false;
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (count <= 0)
        return true;
    const QByteArray head = withoutByteOrderMark(file.read(kHeadLimit));
    QByteArrayList raw = splitLines(head);
    // A line cut by the read limit is not a whole line.
    if (!file.atEnd() && !head.isEmpty() && !isLineEnd(head.back()) && !raw.isEmpty())
        raw.removeLast();
    if (raw.size() > count)
        raw = raw.mid(0, count);
    lines = decodeLines(raw);
    return true;
}

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false; // a file system that takes nothing would keep this loop going
        data += written;
        left -= written;
    }
    return true;
}

// The line end a file still needs before a new line: nothing when it is empty or ends
// with LF, LF after a lone CR, CR LF after anything else. Unknown (a file that cannot
// be read) counts as nothing needed.
QByteArray missingLineEnd(int fd, off_t size)
{
    char last = '\n';
    if (size <= 0 || ::pread(fd, &last, 1, size - 1) != 1 || last == '\n')
        return {};
    return last == '\r' ? QByteArray("\n") : QByteArray("\r\n");
}

bool append(const QString &path, const QString &text, bool freshLine)
{
    const QByteArray native = QFile::encodeName(nativePath(path));
    // No O_CREAT: a missing file is an error, never created here. O_NONBLOCK keeps a
    // pipe without reader from blocking the open; only a regular file is written.
    // Read access is only needed to look at the last byte; a write-only file is
    // appended to without that look.
    constexpr int kFlags = O_APPEND | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(native.constData(), O_RDWR | kFlags);
    if (fd < 0 && errno == EACCES)
        fd = ::open(native.constData(), O_WRONLY | kFlags);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    QByteArray bytes = text.toUtf8();
    if (freshLine)
        bytes.prepend(missingLineEnd(fd, info.st_size));
    bool ok = writeAll(fd, bytes);
    // A full disk or a size limit can take part of the text: cut it off again, so that
    // no torn line stays behind for the next append to continue.
    if (!ok)
        (void)::ftruncate(fd, info.st_size);
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace

bool appendText(const QString &path, const QString &text)
{
    return append(path, text, false);
}

bool appendLines(const QString &path, const QString &text)
{
    return append(path, text, true);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(nativePath(a)).constData(), &first) == 0
        && ::stat(QFile::encodeName(nativePath(b)).constData(), &second) == 0 && S_ISREG(first.st_mode)
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

namespace {

// The new file takes the old one's owner, group and mode where this process may set
// them: root keeps all three, anybody else the mode, and the group when he belongs to
// it. The owner comes first, since a change of owner may clear set-id bits.
bool keepOwnerAndMode(int fd, const struct stat &old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

} // namespace

bool replaceWithText(const QString &path, const QString &text)
{
    const QString native = nativePath(path);
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(native).constData(), &old) == 0 && S_ISREG(old.st_mode);
    QSaveFile file(native);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    // The text is flushed here, where a short write is seen: the commit that follows
    // would rename a cut temporary file over the old one without noticing.
    if ((replacing && !keepOwnerAndMode(file.handle(), old)) || file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

bool removeFile(const QString &path)
{
    return QFile::remove(nativePath(path));
}

bool renameFile(const QString &from, const QString &to)
{
    return QFile::rename(nativePath(from), nativePath(to));
}

} // namespace tolvex::fs
